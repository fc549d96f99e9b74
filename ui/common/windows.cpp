#include "common/windows.h"

#include <QCoreApplication>
#include <QWidget>
#include <initializer_list>

#include "bartable/form2.h"
#include "common/singlewindow.h"
#include "form1/form1.h"
#include "info/frmprint.h"
#include "splash/frmsplash.h"

namespace windows {
namespace {

// The one program-wide instance of each window.
template <class Window>
SingleWindow<Window>& slot() {
    static SingleWindow<Window> instance;
    return instance;
}

}  // namespace

Form1* form1() {
    return slot<Form1>().get();
}
FrmSplash* splash() {
    return slot<FrmSplash>().get();
}
FrmPrint* info() {
    return slot<FrmPrint>().get();
}
Form2* barTable() {
    return slot<Form2>().get();
}

Form1* loadedForm1() {
    return slot<Form1>().loaded();
}
FrmSplash* loadedSplash() {
    return slot<FrmSplash>().loaded();
}
FrmPrint* loadedInfo() {
    return slot<FrmPrint>().loaded();
}
Form2* loadedBarTable() {
    return slot<Form2>().loaded();
}

void showForm1() {
    slot<Form1>().show();
}
void showSplash() {
    slot<FrmSplash>().show();
}
void showInfo() {
    slot<FrmPrint>().show();
}
void showBarTable() {
    slot<Form2>().show();
}

void unloadAll() {
    slot<FrmSplash>().unload();
    slot<FrmPrint>().unload();
    slot<Form2>().unload();
    slot<Form1>().unload();
}

void endProgram() {
    // Hidden now, destroyed once the event loop has returned: the command that ends the
    // program runs inside one of these windows.
    for (QWidget* w : std::initializer_list<QWidget*>{loadedSplash(), loadedInfo(),
                                                      loadedBarTable(), loadedForm1()})
        if (w) w->hide();
    QCoreApplication::exit(0);
}

}  // namespace windows

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

SingleWindow<Form1>& form1Slot() {
    static SingleWindow<Form1> slot;
    return slot;
}
SingleWindow<FrmSplash>& splashSlot() {
    static SingleWindow<FrmSplash> slot;
    return slot;
}
SingleWindow<FrmPrint>& infoSlot() {
    static SingleWindow<FrmPrint> slot;
    return slot;
}
SingleWindow<Form2>& barTableSlot() {
    static SingleWindow<Form2> slot;
    return slot;
}

}  // namespace

Form1* form1() {
    return form1Slot().get();
}
FrmSplash* splash() {
    return splashSlot().get();
}
FrmPrint* info() {
    return infoSlot().get();
}
Form2* barTable() {
    return barTableSlot().get();
}

Form1* loadedForm1() {
    return form1Slot().loaded();
}
FrmSplash* loadedSplash() {
    return splashSlot().loaded();
}
FrmPrint* loadedInfo() {
    return infoSlot().loaded();
}
Form2* loadedBarTable() {
    return barTableSlot().loaded();
}

void showForm1() {
    form1Slot().show();
}
void showSplash() {
    splashSlot().show();
}
void showInfo() {
    infoSlot().show();
}
void showBarTable() {
    barTableSlot().show();
}

void unloadAll() {
    splashSlot().unload();
    infoSlot().unload();
    barTableSlot().unload();
    form1Slot().unload();
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

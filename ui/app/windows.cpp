#include "app/windows.h"

#include <QCoreApplication>
#include <QWidget>
#include <initializer_list>

#include "app/singlewindow.h"
#include "bartablewindow/bartablewindow.h"
#include "infowindow/infowindow.h"
#include "layoutwindow/layoutwindow.h"
#include "mainwindow/mainwindow.h"
#include "splashwindow/splashwindow.h"

namespace windows {
namespace {

// The one program-wide instance of each window.
template <class Window>
SingleWindow<Window>& slot() {
    static SingleWindow<Window> instance;
    return instance;
}

}  // namespace

MainWindow* loadedMainWindow() {
    return slot<MainWindow>().loaded();
}
SplashWindow* loadedSplash() {
    return slot<SplashWindow>().loaded();
}
InfoWindow* loadedInfo() {
    return slot<InfoWindow>().loaded();
}
BarTableWindow* loadedBarTable() {
    return slot<BarTableWindow>().loaded();
}
LayoutWindow* loadedLayoutWindow() {
    return slot<LayoutWindow>().loaded();
}

void showMainWindow() {
    slot<MainWindow>().show();
}
void showSplash() {
    slot<SplashWindow>().show();
}
void showInfo() {
    slot<InfoWindow>().show();
}
void showBarTable() {
    slot<BarTableWindow>().show();
}
void showLayoutWindow() {
    slot<LayoutWindow>().show();
}

void unloadAll() {
    slot<SplashWindow>().unload();
    slot<InfoWindow>().unload();
    slot<BarTableWindow>().unload();
    slot<LayoutWindow>().unload();
    slot<MainWindow>().unload();
}

void endProgram() {
    // Hidden now, destroyed once the event loop has returned: the command that ends the
    // program runs inside one of these windows.
    for (QWidget* w :
         std::initializer_list<QWidget*>{loadedSplash(), loadedInfo(), loadedBarTable(),
                                         loadedLayoutWindow(), loadedMainWindow()})
        if (w) w->hide();
    QCoreApplication::exit(0);
}

}  // namespace windows

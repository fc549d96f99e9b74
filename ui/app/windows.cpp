#include "app/windows.h"

#include <QCoreApplication>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <utility>

#include "app/filecommands.h"
#include "app/singlewindow.h"
#include "bartablewindow/bartablewindow.h"
#include "beamwindow/beamwindow.h"
#include "infowindow/infowindow.h"
#include "layoutwindow/layoutwindow.h"
#include "mainwindow/mainwindow.h"
#include "project/project.h"
#include "splashwindow/splashwindow.h"

namespace windows {
namespace {

project::Project*& handedProject() {
    static project::Project* project = nullptr;
    return project;
}

project::Project& currentProject() {
    if (project::Project* project = handedProject()) return *project;
    static std::unique_ptr<project::Project> own;
    if (!own) own = std::make_unique<project::Project>();
    return *own;
}

// Windows that work on the project get it when created.
template <class Window>
Window* createWindow() {
    if constexpr (std::is_constructible_v<Window, project::Project*>)
        return new Window(&currentProject());
    else
        return new Window;
}

// The one program-wide instance of each window.
template <class Window>
SingleWindow<Window>& slot() {
    static SingleWindow<Window> instance(&createWindow<Window>);
    return instance;
}

LayoutWindow* loadedLayoutWindow() {
    return slot<LayoutWindow>().loaded();
}

BeamWindow* loadedBeamWindow() {
    return slot<BeamWindow>().loaded();
}

QString& startupFile() {
    static QString path;
    return path;
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
void useProject(project::Project* project) {
    handedProject() = project;
}

// The start-up file opens from the event loop, once whatever showed the window is done.
void showMainWindow() {
    slot<MainWindow>().show();
    if (startupFile().isEmpty()) return;
    MainWindow* window = loadedMainWindow();
    QTimer::singleShot(0, window, [window, path = std::exchange(startupFile(), QString())] {
        window->fileCommands()->openFile(path);
    });
}

void openAtStart(const QString& path) {
    startupFile() = path;
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
void closeLayoutWindow() {
    if (LayoutWindow* window = loadedLayoutWindow()) window->close();
}
void showBeamWindow() {
    slot<BeamWindow>().show();
}

void unloadAll() {
    slot<SplashWindow>().unload();
    slot<InfoWindow>().unload();
    slot<BarTableWindow>().unload();
    slot<LayoutWindow>().unload();
    slot<BeamWindow>().unload();
    slot<MainWindow>().unload();
}

void endProgram() {
    // Hidden now, destroyed once the event loop has returned: the command that ends the
    // program runs inside one of these windows.
    for (QWidget* w :
         std::initializer_list<QWidget*>{loadedSplash(), loadedInfo(), loadedBarTable(),
                                         loadedLayoutWindow(), loadedBeamWindow(),
                                         loadedMainWindow()})
        if (w) w->hide();
    QCoreApplication::exit(0);
}

}  // namespace windows

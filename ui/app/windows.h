#pragma once

class QString;
class MainWindow;
namespace project {
class Project;
}
class SplashWindow;
class InfoWindow;
class BarTableWindow;
class LayoutWindow;

// The program's windows, each one program-wide instance. Showing loads a window that is
// not loaded; closing it unloads it. The registry only creates, shows and closes windows: the
// windows that work on the project are handed it when created, and share their data through it.
namespace windows {

// The project the windows work on, owned by the caller and outliving every window. Until one
// is handed over (a test that shows windows directly), the registry keeps one of its own.
void useProject(project::Project* project);

// The loaded instance or nullptr, without loading.
MainWindow* loadedMainWindow();
SplashWindow* loadedSplash();
InfoWindow* loadedInfo();
BarTableWindow* loadedBarTable();

// Shown modeless and without owner; an open window is only raised and activated.
void showMainWindow();
void showSplash();
void showInfo();
void showBarTable();
void showLayoutWindow();
void showBeamWindow();

// Closes the window when it is open.
void closeLayoutWindow();

// A project file for the main window to open the first time it is shown (the file named on
// the command line, opened once the splash hands over).
void openAtStart(const QString& path);

// Destroys every loaded window at once (program end, and between tests).
void unloadAll();

// Ends the program at once with exit status 0, whatever windows are open.
void endProgram();

}  // namespace windows

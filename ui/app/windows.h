#pragma once

class QString;
class MainWindow;
class SplashWindow;
class InfoWindow;
class BarTableWindow;
class LayoutWindow;
class BeamWindow;

// The program's windows, each one program-wide instance. Showing loads a window that is
// not loaded; closing it unloads it.
namespace windows {

// The loaded instance or nullptr, without loading.
MainWindow* loadedMainWindow();
SplashWindow* loadedSplash();
InfoWindow* loadedInfo();
BarTableWindow* loadedBarTable();
LayoutWindow* loadedLayoutWindow();
BeamWindow* loadedBeamWindow();

// Shown modeless and without owner; an open window is only raised and activated.
void showMainWindow();
void showSplash();
void showInfo();
void showBarTable();
void showLayoutWindow();
void showBeamWindow();

// A project file for the main window to open the first time it is shown (the file named on
// the command line, opened once the splash hands over).
void openAtStart(const QString& path);

// Destroys every loaded window at once (program end, and between tests).
void unloadAll();

// Ends the program at once with exit status 0, whatever windows are open.
void endProgram();

}  // namespace windows

#pragma once

class Form1;
class FrmSplash;
class FrmPrint;
class Form2;

// The program's four windows, each one program-wide instance. A reference loads a window that
// is not loaded; closing it unloads it.
namespace windows {

Form1* form1();
FrmSplash* splash();
FrmPrint* info();
Form2* barTable();

// The loaded instance or nullptr, without loading.
Form1* loadedForm1();
FrmSplash* loadedSplash();
FrmPrint* loadedInfo();
Form2* loadedBarTable();

// Shown modeless and without owner; an open window is only raised and activated.
void showForm1();
void showSplash();
void showInfo();
void showBarTable();

// Destroys every loaded window at once (program end, and between tests).
void unloadAll();

// Ends the program at once with exit status 0, whatever windows are open.
void endProgram();

}  // namespace windows

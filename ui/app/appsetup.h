#pragma once

class QApplication;

// Program-wide settings made once at start-up, before the first window: the application's
// name, version and icon, and the free fonts that stand in for the Windows fonts the
// windows are drawn with.
void setupApplication(QApplication& app);

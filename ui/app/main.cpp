#include <QApplication>

#include "app/appsetup.h"
#include "app/windows.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setupApplication(app);
    windows::showSplash();
    const int status = QApplication::exec();
    windows::unloadAll();
    return status;
}

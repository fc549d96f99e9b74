#include <QApplication>
#include <QStringList>

#include "app/appsetup.h"
#include "app/windows.h"
#include "project/project.h"

// `quintaral [FILE]`: the one argument, when given, is a project file opened at start-up.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setupApplication(app);
    // The project the windows work on lives as long as the program.
    project::Project project;
    windows::useProject(&project);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) windows::openAtStart(arguments.at(1));
    windows::showSplash();
    const int status = QApplication::exec();
    windows::unloadAll();
    return status;
}

// A small program on the real windows that test_windows runs as a child process, to watch how
// the program ends: it plays one scenario, reports what it saw on standard output, one line per
// observation, and returns the status of its event loop as the real program does.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <functional>
#include <map>

#include "app/appsetup.h"
#include "app/windows.h"
#include "bartablewindow/bartablewindow.h"
#include "mainwindow/mainwindow.h"
#include "splashwindow/splashwindow.h"

namespace {

void say(const QString& line) {
    QTextStream out(stdout);
    out << line << Qt::endl;
}

void at(int milliseconds, const std::function<void()>& step) {
    QTimer::singleShot(milliseconds, qApp, step);
}

template <class T>
T* named(QWidget* window, const char* name) {
    return window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

bool isShown(QWidget* window) {
    return window && window->isVisible();
}

void reportMainWindow() {
    MainWindow* mainWindow = windows::loadedMainWindow();
    if (!isShown(mainWindow)) return say(QStringLiteral("no MainWindow"));
    auto* widthEdit = named<QLineEdit>(mainWindow, "widthEdit");
    say(QStringLiteral("MainWindow shown, widthEdit = ") +
        (widthEdit ? widthEdit->text() : QStringLiteral("?")));
}

// The three ways out of the splash window that need no waiting.
void leaveSplash(const QString& how) {
    SplashWindow* splash = windows::loadedSplash();
    if (!splash) return say(QStringLiteral("no splash"));
    if (how == QLatin1String("key"))
        QTest::keyClick(named<QWidget>(splash, "okButton"), Qt::Key_A);
    else if (how == QLatin1String("ok"))
        named<QAbstractButton>(splash, "okButton")->click();
    else
        QTest::mouseClick(named<QWidget>(splash, "creditsFrame"), Qt::LeftButton, {},
                          QPoint(465, 100));
}

void openAll() {
    windows::showMainWindow();
    windows::showInfo();
    windows::showBarTable();
    windows::showSplash();
}

void salir(bool button) {
    MainWindow* mainWindow = windows::loadedMainWindow();
    say(QStringLiteral("salir"));
    if (button)
        named<QAbstractButton>(mainWindow, "exitButton")->click();
    else
        named<QAction>(mainWindow, "exitAction")->trigger();
    at(1000, [] { say(QStringLiteral("still running")); });
}

const std::map<QString, std::function<void()>>& scenarios() {
    static const std::map<QString, std::function<void()>> all = {
        {QStringLiteral("salir-menu"),
         [] {
             openAll();
             at(100, [] { salir(false); });
         }},
        {QStringLiteral("salir-button"),
         [] {
             openAll();
             at(100, [] { salir(true); });
         }},
        {QStringLiteral("last-window"),
         [] {
             windows::showMainWindow();
             windows::showBarTable();
             at(100, [] { windows::loadedMainWindow()->close(); });
             at(400, [] {
                 say(isShown(windows::loadedBarTable())
                         ? QStringLiteral("running with BarTableWindow")
                         : QStringLiteral("no BarTableWindow"));
                 windows::loadedBarTable()->close();
             });
         }},
        {QStringLiteral("start-key"), [] { windows::showSplash(); }},
        {QStringLiteral("start-ok"), [] { windows::showSplash(); }},
        {QStringLiteral("start-frame"), [] { windows::showSplash(); }},
        {QStringLiteral("about-after-close"),
         [] {
             windows::showMainWindow();
             named<QLineEdit>(windows::loadedMainWindow(), "widthEdit")
                 ->setText(QStringLiteral("37"));
             windows::showSplash();
             at(100, [] { windows::loadedMainWindow()->close(); });
             at(400, [] {
                 say(isShown(windows::loadedSplash()) ? QStringLiteral("running with splash")
                                                      : QStringLiteral("no splash"));
             });
         }},
    };
    return all;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto found = scenarios().find(scenario);
    if (found == scenarios().end()) return 2;
    found->second();

    // Scenarios that pass through the splash leave it by the way their name says, then look
    // at the main window and close it, which must end the program.
    if (scenario.startsWith(QLatin1String("start-")) ||
        scenario == QLatin1String("about-after-close")) {
        const QString how =
            scenario.startsWith(QLatin1String("start-")) ? scenario.mid(6) : QStringLiteral("key");
        at(500, [how] { leaveSplash(how); });
        at(800, [] {
            reportMainWindow();
            if (MainWindow* mainWindow = windows::loadedMainWindow()) mainWindow->close();
        });
    }
    // A scenario that does not end by itself fails with a status of its own.
    at(8000, [] { QCoreApplication::exit(3); });

    const int status = QApplication::exec();
    say(QStringLiteral("ended"));
    windows::unloadAll();
    return status;
}

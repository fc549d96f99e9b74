// The window lifetime of all four windows, the splash window and its hand-over to the main
// window, and the commands of the main window that open the other windows or end the program.
#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <array>

#include "app/windows.h"
#include "bartablewindow/bartablewindow.h"
#include "guitest.h"
#include "infowindow/infowindow.h"
#include "mainwindow/mainwindow.h"
#include "quintaral/version.h"
#include "splashwindow/splashwindow.h"

namespace {

template <class T = QWidget>
T* named(QObject* parent, const char* name) {
    return parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// The four windows as the registry offers them.
struct WindowEntry {
    const char* objectName;
    void (*show)();
    QWidget* (*loaded)();
};

const std::array<WindowEntry, 4> windowEntries = {{
    {"MainWindow", windows::showMainWindow,
     [] { return static_cast<QWidget*>(windows::loadedMainWindow()); }},
    {"SplashWindow", windows::showSplash,
     [] { return static_cast<QWidget*>(windows::loadedSplash()); }},
    {"InfoWindow", windows::showInfo, [] { return static_cast<QWidget*>(windows::loadedInfo()); }},
    {"BarTableWindow", windows::showBarTable,
     [] { return static_cast<QWidget*>(windows::loadedBarTable()); }},
}};

int topLevelCount(const QString& objectName) {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName) ++count;
    return count;
}

void processDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

enum class SplashExit { OkButton, Key, FrameClick };

// Leaves the splash window the given way; keys go to "O.K.", which holds the focus.
void leaveSplash(SplashWindow* splash, SplashExit exit, int key) {
    switch (exit) {
        case SplashExit::OkButton:
            QTest::mouseClick(named(splash, "okButton"), Qt::LeftButton);
            break;
        case SplashExit::Key:
            QTest::keyClick(named(splash, "okButton"), Qt::Key(key));
            break;
        case SplashExit::FrameClick:
            QTest::mouseClick(named(splash, "creditsFrame"), Qt::LeftButton, {}, QPoint(465, 100));
            break;
    }
}

// Records, at the moment the splash window receives its close, whether the main window is
// already on screen: the program ends when its last window closes, so it must be.
class CloseProbe : public QObject {
  public:
    bool closed = false;
    bool mainWindowShownAtClose = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed = true;
            mainWindowShownAtClose =
                windows::loadedMainWindow() && windows::loadedMainWindow()->isVisible();
        }
        return false;
    }
};

QString childProgram() {
    return QStringLiteral(WINDOWS_CHILD);
}

}  // namespace

class TestWindows : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void showingTwiceKeepsOneWindow_data();
    void showingTwiceKeepsOneWindow();
    void closingUnloadsAndNextReferenceLoadsAfresh_data();
    void closingUnloadsAndNextReferenceLoadsAfresh();
    void splashOpensWaiting_data();
    void splashOpensWaiting();
    void splashLayout();
    void fractionalFontSizes_data();
    void fractionalFontSizes();
    void splashExits_data();
    void splashExits();
    void splashTimerExitAfterFourSeconds();
    void splashIgnoresKeysThatTypeNothing_data();
    void splashIgnoresKeysThatTypeNothing();
    void clicksInsideCreditsFrameDoNothing_data();
    void clicksInsideCreditsFrameDoNothing();
    void aboutReturnsToTheOpenMainWindow_data();
    void aboutReturnsToTheOpenMainWindow();
    void aboutLoadsAFreshMainWindowAfterItWasClosed_data();
    void aboutLoadsAFreshMainWindowAfterItWasClosed();
    void commandsShowTheirWindows_data();
    void commandsShowTheirWindows();
    void ctrlTOpensTheBarTableOnce();
    void programEndings_data();
    void programEndings();
};

void TestWindows::showingTwiceKeepsOneWindow_data() {
    QTest::addColumn<int>("entry");
    for (int i = 0; i < int(windowEntries.size()); ++i)
        QTest::newRow(windowEntries[i].objectName) << i;
}

void TestWindows::showingTwiceKeepsOneWindow() {
    QFETCH(int, entry);
    const WindowEntry& window = windowEntries[entry];
    window.show();
    QPointer<QWidget> first = window.loaded();
    QVERIFY(first);
    QCOMPARE(first->objectName(), QString::fromLatin1(window.objectName));
    QVERIFY(first->isVisible());
    QVERIFY(first->isWindow());
    QCOMPARE(first->parentWidget(), nullptr);
    QCOMPARE(first->windowModality(), Qt::NonModal);
    first->setProperty("seen", true);

    window.show();
    QCOMPARE(window.loaded(), first.data());
    QVERIFY(first->property("seen").toBool());
    QCOMPARE(topLevelCount(first->objectName()), 1);
}

void TestWindows::closingUnloadsAndNextReferenceLoadsAfresh_data() {
    showingTwiceKeepsOneWindow_data();
}

void TestWindows::closingUnloadsAndNextReferenceLoadsAfresh() {
    QFETCH(int, entry);
    const WindowEntry& window = windowEntries[entry];
    window.show();
    QPointer<QWidget> first = window.loaded();
    first->setProperty("seen", true);

    QVERIFY(first->close());
    // Forgotten at once, even before the deferred deletion has run.
    QCOMPARE(window.loaded(), nullptr);
    processDeferredDeletes();
    QVERIFY(!first);

    window.show();
    QWidget* second = window.loaded();
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QVERIFY(!second->property("seen").isValid());
    QCOMPARE(topLevelCount(second->objectName()), 1);
}

void TestWindows::splashOpensWaiting_data() {
    QTest::addColumn<bool>("reopened");
    QTest::newRow("at start") << false;
    QTest::newRow("reopened as about window") << true;
}

void TestWindows::splashOpensWaiting() {
    QFETCH(bool, reopened);
    if (reopened) {
        windows::showSplash();
        auto* progress = named<QProgressBar>(windows::loadedSplash(), "progressBar");
        QTest::mouseClick(named(windows::loadedSplash(), "okButton"), Qt::LeftButton);
        QCOMPARE(progress->value(), 100);
        processDeferredDeletes();
    }
    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    QVERIFY(QTest::qWaitForWindowActive(splash));

    auto* progress = named<QProgressBar>(splash, "progressBar");
    QVERIFY(progress);
    QVERIFY(progress->isHidden());
    QCOMPARE(progress->value(), 0);
    QCOMPARE(progress->minimum(), 0);
    QCOMPARE(progress->maximum(), 100);
    QCOMPARE(named<QLabel>(splash, "percentLabel")->text(), QString());
    QCOMPARE(QApplication::focusWidget(), named(splash, "okButton"));

    auto* timer = named<QTimer>(splash, "closeTimer");
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 4000);
    QVERIFY(timer->remainingTime() > 3000);
}

void TestWindows::splashLayout() {
    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash->size(), QSize(492, 349));
    QCOMPARE(splash->minimumSize(), splash->maximumSize());
    QCOMPARE(named<QPushButton>(splash, "okButton")->text(), QStringLiteral("O.K."));
    QCOMPARE(named<QLabel>(splash, "productNameLabel")->text(), QStringLiteral("Quintaral"));
    QCOMPARE(named<QLabel>(splash, "warningLabel")->text(),
             QString::fromUtf8("Advertencia: el Autor no se hace responsable de la utilización "
                               "que pueda hacer de este programa"));

    const QString credits = named<QLabel>(splash, "copyrightLabel")->text() + QLatin1Char(' ') +
                            named<QLabel>(splash, "companyLabel")->text();
    QVERIFY2(credits.contains(QStringLiteral("Quintaral")), qPrintable(credits));
    QVERIFY2(credits.contains(QStringLiteral(QUINTARAL_VERSION)), qPrintable(credits));
    QVERIFY2(credits.contains(QStringLiteral(QUINTARAL_YEAR)), qPrintable(credits));
    QVERIFY2(credits.contains(QStringLiteral("@example.org")), qPrintable(credits));

    // The panel and its rules sit inside the frame, the progress controls below it.
    QWidget* frame1 = named(splash, "creditsFrame");
    for (const char* inside : {"productNameLabel", "iconLabel", "ornamentFrame", "copyrightLabel",
                               "companyLabel", "warningLabel"})
        QCOMPARE(named(splash, inside)->parentWidget(), frame1);
    QCOMPARE(named(splash, "ornamentTopLine")->parentWidget(), named(splash, "ornamentFrame"));
    QCOMPARE(named(splash, "progressBar")->geometry(), QRect(48, 288, 385, 17));
    QCOMPARE(named(splash, "okButton")->geometry(), QRect(360, 312, 113, 25));
}

// Sizes such as 8.25 points, which a form cannot hold, reach the controls all the same.
void TestWindows::fractionalFontSizes_data() {
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("points");
    QTest::newRow("product name") << 1 << "productNameLabel" << 21.75;
    QTest::newRow("copyright") << 1 << "copyrightLabel" << 8.25;
    QTest::newRow("warning") << 1 << "warningLabel" << 8.25;
    QTest::newRow("grid") << 3 << "barGrid" << 9.75;
    QTest::newRow("column caption") << 3 << "areaHeading" << 8.25;
    QTest::newRow("phi sign") << 0 << "tensionPhiLabel" << 9.75;
}

void TestWindows::fractionalFontSizes() {
    QFETCH(int, window);
    QFETCH(QString, control);
    QFETCH(double, points);
    const WindowEntry& entry = windowEntries[std::size_t(window)];
    entry.show();
    QWidget* widget = named(entry.loaded(), qPrintable(control));
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSizeF(), points);
}

void TestWindows::splashExits_data() {
    QTest::addColumn<SplashExit>("exit");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("progressRuns");
    QTest::newRow("O.K.") << SplashExit::OkButton << 0 << true;
    QTest::newRow("creditsFrame click") << SplashExit::FrameClick << 0 << false;
    const std::array<std::pair<const char*, Qt::Key>, 8> keys = {{
        {"letter", Qt::Key_Q},
        {"digit", Qt::Key_7},
        {"Space", Qt::Key_Space},
        {"Return", Qt::Key_Return},
        {"Enter", Qt::Key_Enter},
        {"Esc", Qt::Key_Escape},
        {"Backspace", Qt::Key_Backspace},
        {"comma", Qt::Key_Comma},
    }};
    for (const auto& [name, key] : keys)
        QTest::newRow(name) << SplashExit::Key << int(key) << false;
}

void TestWindows::splashExits() {
    QFETCH(SplashExit, exit);
    QFETCH(int, key);
    QFETCH(bool, progressRuns);
    windows::showSplash();
    QPointer<SplashWindow> splash = windows::loadedSplash();
    QVERIFY(QTest::qWaitForWindowActive(splash));
    CloseProbe probe;
    splash->installEventFilter(&probe);
    auto* progress = named<QProgressBar>(splash, "progressBar");
    QSignalSpy steps(progress, &QProgressBar::valueChanged);
    QCOMPARE(windows::loadedMainWindow(), nullptr);

    leaveSplash(splash, exit, key);

    // Closed at once, with the main window already shown when the splash closed.
    QVERIFY(probe.closed);
    QVERIFY(probe.mainWindowShownAtClose);
    QCOMPARE(windows::loadedSplash(), nullptr);
    QVERIFY(windows::loadedMainWindow());
    QVERIFY(windows::loadedMainWindow()->isVisible());
    QVERIFY(splash);  // not yet deleted: its last state can still be read
    if (progressRuns) {
        QCOMPARE(steps.count(), 100);
        for (int n = 1; n <= 100; ++n) QCOMPARE(steps.at(n - 1).at(0).toInt(), n);
        QVERIFY(!progress->isHidden());
        QCOMPARE(named<QLabel>(splash, "percentLabel")->text(), QStringLiteral("Cargando100 %"));
    } else {
        QCOMPARE(steps.count(), 0);
        QVERIFY(progress->isHidden());
        QCOMPARE(named<QLabel>(splash, "percentLabel")->text(), QString());
    }
    QTRY_COMPARE(QApplication::activeWindow(), windows::loadedMainWindow());
    QVERIFY(!splash);
}

void TestWindows::splashTimerExitAfterFourSeconds() {
    QElapsedTimer clock;
    clock.start();
    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    CloseProbe probe;
    splash->installEventFilter(&probe);
    auto* progress = named<QProgressBar>(splash, "progressBar");
    QSignalSpy steps(progress, &QProgressBar::valueChanged);

    // Connected after the splash's own handler, so it sees the state that handler left.
    qint64 tickedAfter = -1;
    QString label;
    bool progressShown = false;
    connect(named<QTimer>(splash, "closeTimer"), &QTimer::timeout, this, [&] {
        tickedAfter = clock.elapsed();
        label = named<QLabel>(splash, "percentLabel")->text();
        progressShown = !progress->isHidden();
    });

    QTest::qWait(3500);
    QVERIFY(windows::loadedSplash());
    QCOMPARE(windows::loadedMainWindow(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!windows::loadedSplash(), 3000);

    QVERIFY2(tickedAfter >= 3995 && tickedAfter < 6000, qPrintable(QString::number(tickedAfter)));
    QCOMPARE(steps.count(), 1);
    QCOMPARE(steps.at(0).at(0).toInt(), 100);
    QVERIFY(progressShown);
    QCOMPARE(label, QStringLiteral("Cargando100 %"));
    QVERIFY(probe.mainWindowShownAtClose);
    MainWindow* mainWindow = windows::loadedMainWindow();
    QVERIFY(mainWindow && mainWindow->isVisible());
    QCOMPARE(named<QLineEdit>(mainWindow, "widthEdit")->text(), QStringLiteral("100"));
}

void TestWindows::splashIgnoresKeysThatTypeNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier);
    QTest::newRow("Left") << int(Qt::Key_Left) << 0;
    QTest::newRow("F2") << int(Qt::Key_F2) << 0;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0;
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier);
}

void TestWindows::splashIgnoresKeysThatTypeNothing() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    QTest::keyClick(named(splash, "okButton"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(windows::loadedSplash(), splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(windows::loadedMainWindow(), nullptr);
}

void TestWindows::clicksInsideCreditsFrameDoNothing_data() {
    QTest::addColumn<QString>("target");
    for (const char* name :
         {"productNameLabel", "warningLabel", "copyrightLabel", "companyLabel", "iconLabel",
          "ornamentFrame", "ornamentBox", "ornamentTopLine", "ornamentTopRightTick"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestWindows::clicksInsideCreditsFrameDoNothing() {
    QFETCH(QString, target);
    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    auto* control = splash->findChild<QWidget*>(target);
    QVERIFY(control);
    QTest::mouseClick(control, Qt::LeftButton);
    QTest::mouseDClick(control, Qt::LeftButton);
    QCOMPARE(windows::loadedSplash(), splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(windows::loadedMainWindow(), nullptr);

    // A press inside a label and a release on the bare frame is no click of the frame either.
    QWidget* frame1 = named(splash, "creditsFrame");
    const QPoint onLabel = named(splash, "warningLabel")->geometry().center();
    QTest::mousePress(frame1, Qt::LeftButton, {}, onLabel);
    QTest::mouseRelease(frame1, Qt::LeftButton, {}, QPoint(465, 100));
    QCOMPARE(windows::loadedSplash(), splash);
}

void TestWindows::aboutReturnsToTheOpenMainWindow_data() {
    QTest::addColumn<SplashExit>("exit");
    QTest::newRow("O.K.") << SplashExit::OkButton;
    QTest::newRow("key") << SplashExit::Key;
    QTest::newRow("creditsFrame click") << SplashExit::FrameClick;
}

void TestWindows::aboutReturnsToTheOpenMainWindow() {
    QFETCH(SplashExit, exit);
    windows::showMainWindow();
    QPointer<MainWindow> mainWindow = windows::loadedMainWindow();
    auto* widthEdit = named<QLineEdit>(mainWindow, "widthEdit");
    QVERIFY(widthEdit);
    widthEdit->selectAll();
    QTest::keyClicks(widthEdit, QStringLiteral("37"));
    QCOMPARE(widthEdit->text(), QStringLiteral("37"));

    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    QVERIFY(QTest::qWaitForWindowActive(splash));
    QVERIFY(mainWindow->isVisible());
    leaveSplash(splash, exit, Qt::Key_X);

    QCOMPARE(windows::loadedSplash(), nullptr);
    QCOMPARE(windows::loadedMainWindow(), mainWindow.data());
    QCOMPARE(widthEdit->text(), QStringLiteral("37"));
    QTRY_COMPARE(QApplication::activeWindow(), mainWindow.data());
    processDeferredDeletes();
    QVERIFY(mainWindow);
    QCOMPARE(topLevelCount(QStringLiteral("MainWindow")), 1);
}

void TestWindows::aboutLoadsAFreshMainWindowAfterItWasClosed_data() {
    aboutReturnsToTheOpenMainWindow_data();
}

void TestWindows::aboutLoadsAFreshMainWindowAfterItWasClosed() {
    QFETCH(SplashExit, exit);
    windows::showMainWindow();
    QPointer<MainWindow> old = windows::loadedMainWindow();
    named<QLineEdit>(old, "widthEdit")->setText(QStringLiteral("37"));
    windows::showSplash();
    SplashWindow* splash = windows::loadedSplash();
    old->close();
    processDeferredDeletes();
    QVERIFY(!old);
    QCOMPARE(windows::loadedMainWindow(), nullptr);
    QVERIFY(splash->isVisible());

    leaveSplash(splash, exit, Qt::Key_Escape);

    MainWindow* fresh = windows::loadedMainWindow();
    QVERIFY(fresh);
    QVERIFY(fresh->isVisible());
    QCOMPARE(named<QLineEdit>(fresh, "widthEdit")->text(), QStringLiteral("100"));
    QCOMPARE(topLevelCount(QStringLiteral("MainWindow")), 1);
}

void TestWindows::commandsShowTheirWindows_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::newRow("@") << "atAction"
                       << "SplashWindow";
    QTest::newRow("Acerca de...") << "aboutAction"
                                  << "SplashWindow";
    QTest::newRow("flag button") << "aboutButton"
                                 << "SplashWindow";
    QTest::newRow("Informacion") << "infoAction"
                                 << "InfoWindow";
    QTest::newRow("Tabla de Dimensiones de Acero") << "barTableAction"
                                                   << "BarTableWindow";
    QTest::newRow("Diametros") << "barTableButton"
                               << "BarTableWindow";
}

void TestWindows::commandsShowTheirWindows() {
    QFETCH(QString, command);
    QFETCH(QString, window);
    windows::showMainWindow();
    MainWindow* mainWindow = windows::loadedMainWindow();
    auto run = [&] {
        if (auto* action = mainWindow->findChild<QAction*>(command))
            action->trigger();
        else if (auto* button = mainWindow->findChild<QAbstractButton*>(command))
            button->click();
        else
            QFAIL(qPrintable(QStringLiteral("no command ") + command));
    };
    run();
    QCOMPARE(topLevelCount(window), 1);
    QWidget* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == window) shown = w;
    QVERIFY(shown->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), shown);
    QVERIFY(mainWindow->isVisible());

    // Again, with the main window in front: the same window comes forward.
    mainWindow->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), mainWindow);
    run();
    QCOMPARE(topLevelCount(window), 1);
    QTRY_COMPARE(QApplication::activeWindow(), shown);
}

void TestWindows::ctrlTOpensTheBarTableOnce() {
    windows::showMainWindow();
    MainWindow* mainWindow = windows::loadedMainWindow();
    QVERIFY(QTest::qWaitForWindowActive(mainWindow));
    QTest::keyClick(mainWindow, Qt::Key_T, Qt::ControlModifier);
    QPointer<BarTableWindow> table = windows::loadedBarTable();
    QVERIFY(table);
    QVERIFY(table->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), table.data());

    mainWindow->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), mainWindow);
    QTest::keyClick(mainWindow, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(windows::loadedBarTable(), table.data());
    QCOMPARE(topLevelCount(QStringLiteral("BarTableWindow")), 1);
    QTRY_COMPARE(QApplication::activeWindow(), table.data());
}

void TestWindows::programEndings_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QStringList>("expected");
    const QString fresh = QStringLiteral("MainWindow shown, widthEdit = 100");
    const QString ended = QStringLiteral("ended");
    QTest::newRow("Salir menu with all windows open")
        << "salir-menu" << QStringList{QStringLiteral("salir"), ended};
    QTest::newRow("Salir button with all windows open")
        << "salir-button" << QStringList{QStringLiteral("salir"), ended};
    QTest::newRow("main window closed first, bar table last")
        << "last-window" << QStringList{QStringLiteral("running with BarTableWindow"), ended};
    QTest::newRow("start-up, key") << "start-key" << QStringList{fresh, ended};
    QTest::newRow("start-up, O.K.") << "start-ok" << QStringList{fresh, ended};
    QTest::newRow("start-up, creditsFrame click") << "start-frame" << QStringList{fresh, ended};
    QTest::newRow("about window outlives the main window")
        << "about-after-close" << QStringList{QStringLiteral("running with splash"), fresh, ended};
}

// Each ending runs in a child process: a program that ends leaves no event loop to test in.
void TestWindows::programEndings() {
    QFETCH(QString, scenario);
    QFETCH(QStringList, expected);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(childProgram(), {scenario});
    QVERIFY2(child.waitForFinished(20000), qPrintable(child.errorString()));
    const QStringList seen = QString::fromLocal8Bit(child.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(seen, expected);
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

QUINTARAL_GUI_TEST_MAIN(TestWindows)
#include "test_windows.moc"

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

#include "bartable/form2.h"
#include "common/windows.h"
#include "form1/form1.h"
#include "guitest.h"
#include "info/frmprint.h"
#include "splash/frmsplash.h"

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
    {"Form1", windows::showForm1, [] { return static_cast<QWidget*>(windows::loadedForm1()); }},
    {"frmSplash", windows::showSplash,
     [] { return static_cast<QWidget*>(windows::loadedSplash()); }},
    {"frmprint", windows::showInfo, [] { return static_cast<QWidget*>(windows::loadedInfo()); }},
    {"Form2", windows::showBarTable,
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
void leaveSplash(FrmSplash* splash, SplashExit exit, int key) {
    switch (exit) {
        case SplashExit::OkButton:
            QTest::mouseClick(named(splash, "Command1"), Qt::LeftButton);
            break;
        case SplashExit::Key:
            QTest::keyClick(named(splash, "Command1"), Qt::Key(key));
            break;
        case SplashExit::FrameClick:
            QTest::mouseClick(named(splash, "Frame1"), Qt::LeftButton, {}, QPoint(465, 100));
            break;
    }
}

// Records, at the moment the splash window receives its close, whether the main window is
// already on screen: the program ends when its last window closes, so it must be.
class CloseProbe : public QObject {
  public:
    bool closed = false;
    bool form1ShownAtClose = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed = true;
            form1ShownAtClose = windows::loadedForm1() && windows::loadedForm1()->isVisible();
        }
        return false;
    }
};

QString childProgram() {
    return QStringLiteral(WINDOWS_CHILD);
}

}  // namespace

class Test_windows : public GuiTestCase {
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
    void clicksInsideFrame1DoNothing_data();
    void clicksInsideFrame1DoNothing();
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

void Test_windows::showingTwiceKeepsOneWindow_data() {
    QTest::addColumn<int>("entry");
    for (int i = 0; i < int(windowEntries.size()); ++i)
        QTest::newRow(windowEntries[i].objectName) << i;
}

void Test_windows::showingTwiceKeepsOneWindow() {
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

void Test_windows::closingUnloadsAndNextReferenceLoadsAfresh_data() {
    showingTwiceKeepsOneWindow_data();
}

void Test_windows::closingUnloadsAndNextReferenceLoadsAfresh() {
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

void Test_windows::splashOpensWaiting_data() {
    QTest::addColumn<bool>("reopened");
    QTest::newRow("at start") << false;
    QTest::newRow("reopened as about window") << true;
}

void Test_windows::splashOpensWaiting() {
    QFETCH(bool, reopened);
    if (reopened) {
        windows::showSplash();
        auto* progress = named<QProgressBar>(windows::splash(), "ProgressBar1");
        QTest::mouseClick(named(windows::splash(), "Command1"), Qt::LeftButton);
        QCOMPARE(progress->value(), 100);
        processDeferredDeletes();
    }
    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    QVERIFY(QTest::qWaitForWindowActive(splash));

    auto* progress = named<QProgressBar>(splash, "ProgressBar1");
    QVERIFY(progress);
    QVERIFY(progress->isHidden());
    QCOMPARE(progress->value(), 0);
    QCOMPARE(progress->minimum(), 0);
    QCOMPARE(progress->maximum(), 100);
    QCOMPARE(named<QLabel>(splash, "lblporcent")->text(), QString());
    QCOMPARE(QApplication::focusWidget(), named(splash, "Command1"));

    auto* timer = named<QTimer>(splash, "Timer1");
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 4000);
    QVERIFY(timer->remainingTime() > 3000);
}

void Test_windows::splashLayout() {
    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash->size(), QSize(492, 349));
    QCOMPARE(splash->minimumSize(), splash->maximumSize());
    QCOMPARE(named<QPushButton>(splash, "Command1")->text(), QStringLiteral("O.K."));
    QCOMPARE(named<QLabel>(splash, "lblProductName")->text(), QStringLiteral("Quintaral"));
    QCOMPARE(named<QLabel>(splash, "lblWarning")->text(),
             QString::fromUtf8("Advertencia: el Autor no se hace responsable de la utilización "
                               "que pueda hacer de este programa"));

    const QString credits = named<QLabel>(splash, "lblCopyright")->text() + QLatin1Char(' ') +
                            named<QLabel>(splash, "lblCompany")->text();
    QVERIFY2(credits.contains(QStringLiteral("Quintaral")), qPrintable(credits));
    QVERIFY2(credits.contains(QStringLiteral(QUINTARAL_VERSION)), qPrintable(credits));
    QVERIFY2(credits.contains(QStringLiteral(QUINTARAL_YEAR)), qPrintable(credits));
    QVERIFY2(credits.contains(QStringLiteral("@example.org")), qPrintable(credits));

    // The panel and its rules sit inside the frame, the progress controls below it.
    QWidget* frame1 = named(splash, "Frame1");
    for (const char* inside :
         {"lblProductName", "Picture1", "Frame2", "lblCopyright", "lblCompany", "lblWarning"})
        QCOMPARE(named(splash, inside)->parentWidget(), frame1);
    QCOMPARE(named(splash, "Line1")->parentWidget(), named(splash, "Frame2"));
    QCOMPARE(named(splash, "ProgressBar1")->geometry(), QRect(48, 288, 385, 17));
    QCOMPARE(named(splash, "Command1")->geometry(), QRect(360, 312, 113, 25));
}

// Sizes such as 8.25 points, which a form cannot hold, reach the controls all the same.
void Test_windows::fractionalFontSizes_data() {
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("points");
    QTest::newRow("product name") << 1 << "lblProductName" << 21.75;
    QTest::newRow("copyright") << 1 << "lblCopyright" << 8.25;
    QTest::newRow("warning") << 1 << "lblWarning" << 8.25;
    QTest::newRow("grid") << 3 << "MSFlexGrid1" << 9.75;
    QTest::newRow("column caption") << 3 << "Label2_3" << 8.25;
    QTest::newRow("phi sign") << 0 << "Label15_0" << 9.75;
}

void Test_windows::fractionalFontSizes() {
    QFETCH(int, window);
    QFETCH(QString, control);
    QFETCH(double, points);
    const WindowEntry& entry = windowEntries[std::size_t(window)];
    entry.show();
    QWidget* widget = named(entry.loaded(), qPrintable(control));
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSizeF(), points);
}

void Test_windows::splashExits_data() {
    QTest::addColumn<SplashExit>("exit");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("progressRuns");
    QTest::newRow("O.K.") << SplashExit::OkButton << 0 << true;
    QTest::newRow("Frame1 click") << SplashExit::FrameClick << 0 << false;
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

void Test_windows::splashExits() {
    QFETCH(SplashExit, exit);
    QFETCH(int, key);
    QFETCH(bool, progressRuns);
    windows::showSplash();
    QPointer<FrmSplash> splash = windows::loadedSplash();
    QVERIFY(QTest::qWaitForWindowActive(splash));
    CloseProbe probe;
    splash->installEventFilter(&probe);
    auto* progress = named<QProgressBar>(splash, "ProgressBar1");
    QSignalSpy steps(progress, &QProgressBar::valueChanged);
    QCOMPARE(windows::loadedForm1(), nullptr);

    leaveSplash(splash, exit, key);

    // Closed at once, with the main window already shown when the splash closed.
    QVERIFY(probe.closed);
    QVERIFY(probe.form1ShownAtClose);
    QCOMPARE(windows::loadedSplash(), nullptr);
    QVERIFY(windows::loadedForm1());
    QVERIFY(windows::loadedForm1()->isVisible());
    QVERIFY(splash);  // not yet deleted: its last state can still be read
    if (progressRuns) {
        QCOMPARE(steps.count(), 100);
        for (int n = 1; n <= 100; ++n) QCOMPARE(steps.at(n - 1).at(0).toInt(), n);
        QVERIFY(!progress->isHidden());
        QCOMPARE(named<QLabel>(splash, "lblporcent")->text(), QStringLiteral("Cargando100 %"));
    } else {
        QCOMPARE(steps.count(), 0);
        QVERIFY(progress->isHidden());
        QCOMPARE(named<QLabel>(splash, "lblporcent")->text(), QString());
    }
    QTRY_COMPARE(QApplication::activeWindow(), windows::loadedForm1());
    QVERIFY(!splash);
}

void Test_windows::splashTimerExitAfterFourSeconds() {
    QElapsedTimer clock;
    clock.start();
    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    CloseProbe probe;
    splash->installEventFilter(&probe);
    auto* progress = named<QProgressBar>(splash, "ProgressBar1");
    QSignalSpy steps(progress, &QProgressBar::valueChanged);

    // Connected after the splash's own handler, so it sees the state that handler left.
    qint64 tickedAfter = -1;
    QString label;
    bool progressShown = false;
    connect(named<QTimer>(splash, "Timer1"), &QTimer::timeout, this, [&] {
        tickedAfter = clock.elapsed();
        label = named<QLabel>(splash, "lblporcent")->text();
        progressShown = !progress->isHidden();
    });

    QTest::qWait(3500);
    QVERIFY(windows::loadedSplash());
    QCOMPARE(windows::loadedForm1(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!windows::loadedSplash(), 3000);

    QVERIFY2(tickedAfter >= 3995 && tickedAfter < 6000, qPrintable(QString::number(tickedAfter)));
    QCOMPARE(steps.count(), 1);
    QCOMPARE(steps.at(0).at(0).toInt(), 100);
    QVERIFY(progressShown);
    QCOMPARE(label, QStringLiteral("Cargando100 %"));
    QVERIFY(probe.form1ShownAtClose);
    Form1* form1 = windows::loadedForm1();
    QVERIFY(form1 && form1->isVisible());
    QCOMPARE(named<QLineEdit>(form1, "Text1")->text(), QStringLiteral("100"));
}

void Test_windows::splashIgnoresKeysThatTypeNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier);
    QTest::newRow("Left") << int(Qt::Key_Left) << 0;
    QTest::newRow("F2") << int(Qt::Key_F2) << 0;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0;
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier);
}

void Test_windows::splashIgnoresKeysThatTypeNothing() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    QTest::keyClick(named(splash, "Command1"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(windows::loadedSplash(), splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(windows::loadedForm1(), nullptr);
}

void Test_windows::clicksInsideFrame1DoNothing_data() {
    QTest::addColumn<QString>("target");
    for (const char* name : {"lblProductName", "lblWarning", "lblCopyright", "lblCompany",
                             "Picture1", "Frame2", "Shape1", "Line1", "Line5"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void Test_windows::clicksInsideFrame1DoNothing() {
    QFETCH(QString, target);
    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    auto* control = splash->findChild<QWidget*>(target);
    QVERIFY(control);
    QTest::mouseClick(control, Qt::LeftButton);
    QTest::mouseDClick(control, Qt::LeftButton);
    QCOMPARE(windows::loadedSplash(), splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(windows::loadedForm1(), nullptr);

    // A press inside a label and a release on the bare frame is no click of the frame either.
    QWidget* frame1 = named(splash, "Frame1");
    const QPoint onLabel = named(splash, "lblWarning")->geometry().center();
    QTest::mousePress(frame1, Qt::LeftButton, {}, onLabel);
    QTest::mouseRelease(frame1, Qt::LeftButton, {}, QPoint(465, 100));
    QCOMPARE(windows::loadedSplash(), splash);
}

void Test_windows::aboutReturnsToTheOpenMainWindow_data() {
    QTest::addColumn<SplashExit>("exit");
    QTest::newRow("O.K.") << SplashExit::OkButton;
    QTest::newRow("key") << SplashExit::Key;
    QTest::newRow("Frame1 click") << SplashExit::FrameClick;
}

void Test_windows::aboutReturnsToTheOpenMainWindow() {
    QFETCH(SplashExit, exit);
    windows::showForm1();
    QPointer<Form1> form1 = windows::loadedForm1();
    auto* text1 = named<QLineEdit>(form1, "Text1");
    QVERIFY(text1);
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("37"));
    QCOMPARE(text1->text(), QStringLiteral("37"));

    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    QVERIFY(QTest::qWaitForWindowActive(splash));
    QVERIFY(form1->isVisible());
    leaveSplash(splash, exit, Qt::Key_X);

    QCOMPARE(windows::loadedSplash(), nullptr);
    QCOMPARE(windows::loadedForm1(), form1.data());
    QCOMPARE(text1->text(), QStringLiteral("37"));
    QTRY_COMPARE(QApplication::activeWindow(), form1.data());
    processDeferredDeletes();
    QVERIFY(form1);
    QCOMPARE(topLevelCount(QStringLiteral("Form1")), 1);
}

void Test_windows::aboutLoadsAFreshMainWindowAfterItWasClosed_data() {
    aboutReturnsToTheOpenMainWindow_data();
}

void Test_windows::aboutLoadsAFreshMainWindowAfterItWasClosed() {
    QFETCH(SplashExit, exit);
    windows::showForm1();
    QPointer<Form1> old = windows::loadedForm1();
    named<QLineEdit>(old, "Text1")->setText(QStringLiteral("37"));
    windows::showSplash();
    FrmSplash* splash = windows::loadedSplash();
    old->close();
    processDeferredDeletes();
    QVERIFY(!old);
    QCOMPARE(windows::loadedForm1(), nullptr);
    QVERIFY(splash->isVisible());

    leaveSplash(splash, exit, Qt::Key_Escape);

    Form1* fresh = windows::loadedForm1();
    QVERIFY(fresh);
    QVERIFY(fresh->isVisible());
    QCOMPARE(named<QLineEdit>(fresh, "Text1")->text(), QStringLiteral("100"));
    QCOMPARE(topLevelCount(QStringLiteral("Form1")), 1);
}

void Test_windows::commandsShowTheirWindows_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::newRow("@") << "arroba"
                       << "frmSplash";
    QTest::newRow("Acerca de...") << "acerca"
                                  << "frmSplash";
    QTest::newRow("flag button") << "Command1"
                                 << "frmSplash";
    QTest::newRow("Informacion") << "info"
                                 << "frmprint";
    QTest::newRow("Tabla de Dimensiones de Acero") << "tabla"
                                                   << "Form2";
    QTest::newRow("Diametros") << "Command4"
                               << "Form2";
}

void Test_windows::commandsShowTheirWindows() {
    QFETCH(QString, command);
    QFETCH(QString, window);
    windows::showForm1();
    Form1* form1 = windows::loadedForm1();
    auto run = [&] {
        if (auto* action = form1->findChild<QAction*>(command))
            action->trigger();
        else if (auto* button = form1->findChild<QAbstractButton*>(command))
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
    QVERIFY(form1->isVisible());

    // Again, with the main window in front: the same window comes forward.
    form1->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), form1);
    run();
    QCOMPARE(topLevelCount(window), 1);
    QTRY_COMPARE(QApplication::activeWindow(), shown);
}

void Test_windows::ctrlTOpensTheBarTableOnce() {
    windows::showForm1();
    Form1* form1 = windows::loadedForm1();
    QVERIFY(QTest::qWaitForWindowActive(form1));
    QTest::keyClick(form1, Qt::Key_T, Qt::ControlModifier);
    QPointer<Form2> table = windows::loadedBarTable();
    QVERIFY(table);
    QVERIFY(table->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), table.data());

    form1->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), form1);
    QTest::keyClick(form1, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(windows::loadedBarTable(), table.data());
    QCOMPARE(topLevelCount(QStringLiteral("Form2")), 1);
    QTRY_COMPARE(QApplication::activeWindow(), table.data());
}

void Test_windows::programEndings_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QStringList>("expected");
    const QString fresh = QStringLiteral("Form1 shown, Text1 = 100");
    const QString ended = QStringLiteral("ended");
    QTest::newRow("Salir menu with all windows open")
        << "salir-menu" << QStringList{QStringLiteral("salir"), ended};
    QTest::newRow("Salir button with all windows open")
        << "salir-button" << QStringList{QStringLiteral("salir"), ended};
    QTest::newRow("main window closed first, bar table last")
        << "last-window" << QStringList{QStringLiteral("running with Form2"), ended};
    QTest::newRow("start-up, key") << "start-key" << QStringList{fresh, ended};
    QTest::newRow("start-up, O.K.") << "start-ok" << QStringList{fresh, ended};
    QTest::newRow("start-up, Frame1 click") << "start-frame" << QStringList{fresh, ended};
    QTest::newRow("about window outlives the main window")
        << "about-after-close" << QStringList{QStringLiteral("running with splash"), fresh, ended};
}

// Each ending runs in a child process: a program that ends leaves no event loop to test in.
void Test_windows::programEndings() {
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

QUINTARAL_GUI_TEST_MAIN(Test_windows)
#include "test_windows.moc"

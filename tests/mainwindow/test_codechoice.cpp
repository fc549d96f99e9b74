// The design code choice of the main window: the "Norma" menu, its panel in the status bar, the
// saved choice, and which code the shown, stored and printed reports follow.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>

#include "app/windows.h"
#include "engine/run.h"
#include "guitest.h"
#include "mainwindow/mainwindow.h"

namespace {

const QString codeKey = QStringLiteral("design/code");

MainWindow* openMainWindow() {
    windows::showMainWindow();
    return windows::loadedMainWindow();
}

void closeMainWindow() {
    windows::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void choose(const MainWindow* form, const char* actionName) {
    form->findChild<QAction*>(QString::fromLatin1(actionName))->trigger();
}

QString shownReport(const MainWindow* form) {
    return form->findChild<QPlainTextEdit*>(QStringLiteral("resultsBox"))->toPlainText();
}

QString codePanel(const MainWindow* form) {
    return form->findChild<QLabel*>(QStringLiteral("codePanel"))->text();
}

// Leaves NSR-98, the default, saved when a test ends, however it ends.
struct DefaultCodeGuard {
    ~DefaultCodeGuard() {
        closeMainWindow();
        QSettings().remove(codeKey);
    }
};

}  // namespace

class TestCodeChoice : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void savedChoiceOpensTheWindow_data();
    void savedChoiceOpensTheWindow();
    void choicePersists();
    void reportsFollowTheCodeOfTheirRun_data();
    void reportsFollowTheCodeOfTheirRun();
};

void TestCodeChoice::savedChoiceOpensTheWindow_data() {
    QTest::addColumn<QString>("saved");  // empty: nothing saved
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("panel");
    QTest::newRow("nothing saved") << ""
                                   << "nsr98Action"
                                   << "NSR-98";
    QTest::newRow("NSR-10") << "NSR-10"
                            << "nsr10Action"
                            << "NSR-10";
    QTest::newRow("NSR-98") << "NSR-98"
                            << "nsr98Action"
                            << "NSR-98";
    QTest::newRow("unknown name") << "NSR-2050"
                                  << "nsr98Action"
                                  << "NSR-98";
    QTest::newRow("other case") << "nsr-10"
                                << "nsr98Action"
                                << "NSR-98";
}

void TestCodeChoice::savedChoiceOpensTheWindow() {
    QFETCH(QString, saved);
    QFETCH(QString, checked);
    QFETCH(QString, panel);
    const DefaultCodeGuard guard;
    if (!saved.isEmpty()) QSettings().setValue(codeKey, saved);
    const MainWindow* form = openMainWindow();
    QCOMPARE(codePanel(form), panel);
    const auto* chosen = form->findChild<QAction*>(checked);
    QVERIFY(chosen && chosen->isChecked());
    for (const char* name : {"nsr98Action", "nsr10Action"}) {
        const auto* action = form->findChild<QAction*>(QString::fromLatin1(name));
        QCOMPARE(action->isChecked(), action == chosen);
    }
}

void TestCodeChoice::choicePersists() {
    const DefaultCodeGuard guard;
    const QStatusBar* bar = openMainWindow()->statusBar();
    const QRect barGeometry = bar->geometry();
    choose(windows::loadedMainWindow(), "nsr10Action");
    QCOMPARE(codePanel(windows::loadedMainWindow()), QStringLiteral("NSR-10"));
    // The panel fits beside the others: the status bar keeps its place and size.
    QCOMPARE(bar->geometry(), barGeometry);
    closeMainWindow();

    MainWindow* form = openMainWindow();
    QCOMPARE(form->designCode(), engine::DesignCode::Nsr10);
    QVERIFY(form->findChild<QAction*>(QStringLiteral("nsr10Action"))->isChecked());
    choose(form, "nsr98Action");
    closeMainWindow();
    QCOMPARE(openMainWindow()->designCode(), engine::DesignCode::Nsr98);
}

void TestCodeChoice::reportsFollowTheCodeOfTheirRun_data() {
    QTest::addColumn<QStringList>("inputs");  // b, h, d', f'c, Fy, Mu, d''
    QTest::addColumn<bool>("doublyUnderNsr10");
    QTest::newRow("default beam, Mu 1")
        << QStringList{"100", "15", "5", "210", "4200", "1", "5"} << false;
    QTest::newRow("doubly reinforced under both")
        << QStringList{"38.10", "76.20", "5.08", "281.2", "4218.4", "142.40", "7.62"} << true;
}

void TestCodeChoice::reportsFollowTheCodeOfTheirRun() {
    QFETCH(QStringList, inputs);
    QFETCH(bool, doublyUnderNsr10);
    const DefaultCodeGuard guard;
    const LocaleGuard locale(QLocale::c());
    MainWindow* form = openMainWindow();
    const char* const names[] = {"widthEdit", "heightEdit", "coverEdit",           "fcEdit",
                                 "fyEdit",    "momentEdit", "compressionCoverEdit"};
    for (int i = 0; i < 7; ++i)
        form->findChild<QLineEdit*>(QString::fromLatin1(names[i]))->setText(inputs.at(i));
    const auto* frame = form->findChild<QGroupBox*>(QStringLiteral("compressionSteelFrame"));

    // Before any design the print command prints the blank form of the code in force.
    choose(form, "nsr10Action");
    QCOMPARE(form->printedReport().toStdString(),
             engine::blankPrintedReport(engine::DesignCode::Nsr10));
    choose(form, "nsr98Action");
    form->calculate();
    const QString nsr98Report = shownReport(form);
    const QString nsr98Printed = form->printedReport();
    QVERIFY(!nsr98Report.contains(QStringLiteral("Norma")));

    // Switching shows nothing new until the next calculation.
    choose(form, "nsr10Action");
    QCOMPARE(shownReport(form), nsr98Report);
    QCOMPARE(form->printedReport(), nsr98Printed);
    QCOMPARE(form->lastDesign()->run.code(), engine::DesignCode::Nsr98);

    form->calculate();
    QCOMPARE(form->lastDesign()->run.code(), engine::DesignCode::Nsr10);
    const QString nsr10Report = shownReport(form);
    QVERIFY2(nsr10Report.contains(QStringLiteral("\n Norma : NSR-10\n")), qPrintable(nsr10Report));
    QCOMPARE(QString(nsr10Report).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString(),
             engine::resultsReport(form->lastDesign()->run, '.'));
    QVERIFY(form->printedReport().contains(QStringLiteral("\r\n Norma : NSR-10\r\n")));
    QCOMPARE(form->printedReport().toStdString(),
             engine::printedReport(form->lastDesign()->run, '.'));
    QCOMPARE(frame->isVisible(), doublyUnderNsr10);

    choose(form, "nsr98Action");
    QCOMPARE(shownReport(form), nsr10Report);
    form->calculate();
    QCOMPARE(shownReport(form), nsr98Report);
    QCOMPARE(form->printedReport(), nsr98Printed);
}

QUINTARAL_GUI_TEST_MAIN(TestCodeChoice)
#include "test_codechoice.moc"

// The beam window: a 3-span DES beam typed into it shows its schedule and checks; a bad value is
// reported and changes nothing; the menu entries that open it and export its DXF sit where the
// issue puts them, with keys no other entry uses.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/windows.h"
#include "beamwindow/beamwindow.h"
#include "guitest.h"
#include "mainwindow/mainwindow.h"
#include "project/project.h"

namespace {

// The beam window on show, found as a user finds it (the registry hands out no window).
BeamWindow* shownBeamWindow() {
    return openWindow<BeamWindow>();
}

// Answers a file dialog with `path`; closes any other window that comes up.
std::function<void(QWidget*)> typeFile(const QString& path) {
    return [path](QWidget* modal) {
        auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            modal->close();
            return;
        }
        name->setText(path);
        static_cast<QDialog*>(modal)->accept();
    };
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The 3-span beam of the despiece example: 30 x 50, spans 5, 6 and 5 m between 40 cm columns.
void typeThreeSpans(BeamWindow& window) {
    const QString section[][2] = {{"widthEdit", "30"}, {"heightEdit", "50"}, {"dPrimeEdit", "6"},
                                  {"dSecondEdit", "6"}, {"fcEdit", "210"}, {"fyEdit", "4200"}};
    for (const auto& [name, text] : section)
        typeInto(childNamed<QLineEdit>(&window, name.toLatin1()), text);
    auto* add = childNamed<QPushButton>(&window, "addSpanButton");
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    auto* model =
        qobject_cast<QStandardItemModel*>(childNamed<QTableView>(&window, "spansView")->model());
    const QString rows[3][6] = {{"5", "40", "40", "12", "8", "14"},
                                {"6", "40", "40", "15", "10", "15"},
                                {"5", "40", "40", "14", "8", "12"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c) model->item(r, c)->setText(rows[r][c]);
    window.designNow();
}

}  // namespace

class TestBeamWindow : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void threeSpansShowASchedule();
    void checksFollowTheLocale();
    void badValueChangesNothing();
    void stationsImported();
    void menuEntries();
    void exportDxf();
    void closingKeepsTheBeam();
    void columnWidthsSharedAndOptional();
};

// A column's width typed on one side of a support is the other span's too; empty cells are
// square columns, and a beam with none typed has no widths at all.
void TestBeamWindow::columnWidthsSharedAndOptional() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    typeThreeSpans(window);
    QVERIFY(window.input()->columns.empty());
    auto* model =
        qobject_cast<QStandardItemModel*>(childNamed<QTableView>(&window, "spansView")->model());
    const int rightColumn = model->columnCount() - 1;
    QCOMPARE(model->headerData(rightColumn, Qt::Horizontal).toString(),
             QStringLiteral("Columna der. (cm)"));
    model->item(0, rightColumn)->setText(QStringLiteral("30"));
    QCOMPARE(model->item(1, rightColumn - 1)->text(), QStringLiteral("30"));
    window.designNow();
    QCOMPARE(window.input()->columns, (std::vector<double>{0, 30, 0, 0}));
    model->item(1, rightColumn - 1)->setText(QString());
    window.designNow();
    QVERIFY(window.input()->columns.empty());
}

void TestBeamWindow::threeSpansShowASchedule() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    typeThreeSpans(window);
    QCOMPARE(childNamed<QLabel>(&window, "messageLabel")->text(), QString());
    QVERIFY(window.design().has_value());
    QCOMPARE(window.input()->spans.size(), std::size_t{3});
    const QAbstractItemModel* schedule = childNamed<QTableView>(&window, "scheduleView")->model();
    // A row a bar mark, then a row a stirrup mark.
    QCOMPARE(schedule->rowCount(), static_cast<int>(window.design()->bars.size() +
                                                    window.design()->stirrups.size()));
    QVERIFY(schedule->rowCount() >= 4);  // two continuous marks a face at least
    QCOMPARE(schedule->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Longitud (m)"));
    QCOMPARE(schedule->index(0, 0).data().toString(),
             QString::fromStdString(window.design()->bars.front().mark));
    const QAbstractItemModel* checks = childNamed<QTableView>(&window, "checksView")->model();
    QCOMPARE(checks->rowCount(), static_cast<int>(window.design()->checks.size()));
    // The place in its column, once: the text beside it starts with the check's words.
    for (int row = 0; row < checks->rowCount(); ++row) {
        const QString place = checks->index(row, 1).data().toString();
        const QString text = checks->index(row, 2).data().toString();
        QVERIFY2(!text.startsWith(place), qPrintable(place + QStringLiteral(" | ") + text));
    }
    QVERIFY(
        childNamed<QLabel>(&window, "massLabel")->text().contains(QStringLiteral("Masa total")));
    // The beam's name, "V-1" until another is typed; none at all is refused.
    QCOMPARE(window.input()->name, std::string("V-1"));
    auto* name = childNamed<QLineEdit>(&window, "nameEdit");
    typeInto(name, QStringLiteral("VP-7"));
    window.designNow();
    QCOMPARE(window.input()->name, std::string("VP-7"));
    QCOMPARE(window.design()->name, std::string("VP-7"));
    name->clear();
    window.designNow();
    QVERIFY(childNamed<QLabel>(&window, "messageLabel")->text().startsWith(QStringLiteral("Nombre:")));
}

// Under a locale with a decimal comma the checks' figures show the comma, as the other cells do.
void TestBeamWindow::checksFollowTheLocale() {
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    BeamWindow window;
    typeThreeSpans(window);
    QVERIFY(window.design().has_value());
    const QAbstractItemModel* checks = childNamed<QTableView>(&window, "checksView")->model();
    // An article of the code ("C.12.10.5") keeps its points.
    const QRegularExpression pointFigure(QStringLiteral("(?<![C.\\d])\\d+\\.\\d"));
    const QRegularExpression commaFigure(QStringLiteral("\\d,\\d"));
    // An article of the code ("C.9.5") is a name, not a figure.
    const QRegularExpression article(QStringLiteral("C\\.\\d+(\\.\\d+)*"));
    for (int row = 0; row < checks->rowCount(); ++row) {
        const QString text = checks->index(row, 2).data().toString();
        QVERIFY2(!QString(text).remove(article).contains(pointFigure), qPrintable(text));
    }
    QVERIFY(checks->index(0, 2).data().toString().contains(commaFigure));
}

void TestBeamWindow::badValueChangesNothing() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    typeThreeSpans(window);
    const int rows = childNamed<QTableView>(&window, "scheduleView")->model()->rowCount();
    const double total = window.design()->totalMass;
    typeInto(childNamed<QLineEdit>(&window, "widthEdit"), QStringLiteral("3O"));
    window.designNow();
    QVERIFY(childNamed<QLabel>(&window, "messageLabel")
                ->text()
                .contains(QStringLiteral("no es un número")));
    QCOMPARE(childNamed<QTableView>(&window, "scheduleView")->model()->rowCount(), rows);
    QCOMPARE(window.design()->totalMass, total);

    auto* model =
        qobject_cast<QStandardItemModel*>(childNamed<QTableView>(&window, "spansView")->model());
    typeInto(childNamed<QLineEdit>(&window, "widthEdit"), QStringLiteral("30"));
    model->item(1, 0)->setText(QStringLiteral("-6"));
    window.designNow();
    QVERIFY(childNamed<QLabel>(&window, "messageLabel")
                ->text()
                .startsWith(QStringLiteral("Vano 2, Luz libre")));
    QCOMPARE(window.design()->totalMass, total);
}

// Stations replace the typed moments; a file with a bad row is refused with its line number.
void TestBeamWindow::stationsImported() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    typeThreeSpans(window);
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("estaciones.csv"));
    const QString bad = folder.filePath(QStringLiteral("mala.csv"));
    {
        QFile file(good);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("span,x,mu\n");
        for (int span = 1; span <= 3; ++span) {
            const double ln = span == 2 ? 6 : 5;
            for (int i = 0; i <= 10; ++i) {
                const double x = ln * i / 10;
                const double mu = 30 * x * (ln - x) / (ln * ln) * 4 - 20;  // -20 at the faces
                file.write(QStringLiteral("%1,%2,%3\n").arg(span).arg(x).arg(mu).toUtf8());
            }
        }
        QFile wrong(bad);
        QVERIFY(wrong.open(QIODevice::WriteOnly));
        wrong.write("span,x,mu\n1,0,-10\n1,abc,5\n");
    }
    const double typedMass = window.design()->totalMass;
    window.importStations(bad);
    QVERIFY(
        childNamed<QLabel>(&window, "messageLabel")->text().contains(QStringLiteral("línea 3")));
    QVERIFY(window.input()->stations.empty());
    window.importStations(good);
    window.designNow();
    QCOMPARE(childNamed<QLabel>(&window, "messageLabel")->text(), QString());
    QCOMPARE(window.input()->stations.size(), std::size_t{33});
    QVERIFY(window.design()->totalMass != typedMass);
}

void TestBeamWindow::menuEntries() {
    windows::showMainWindow();
    MainWindow* main = windows::loadedMainWindow();
    auto* refuerzo = childNamed<QMenu>(main->menuBar(), "layoutMenu");
    const QList<QAction*> entries = refuerzo->actions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0]->objectName(), QStringLiteral("layoutAction"));
    QCOMPARE(entries[1]->text(), QStringLiteral("&Viga y despiece..."));
    QCOMPARE(entries[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    QVERIFY(entries[1]->isEnabled());
    entries[1]->trigger();
    QVERIFY(shownBeamWindow());
    entries[1]->trigger();  // one instance
    int beamWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<BeamWindow*>(w) && !w->testAttribute(Qt::WA_WState_Hidden)) ++beamWindows;
    QCOMPARE(beamWindows, 1);

    // "Exportar a DXF..." right under "Exportar a PDF...", its access key used by no other entry.
    const QList<QAction*> file = childNamed<QMenu>(main->menuBar(), "fileMenu")->actions();
    int pdf = -1;
    for (int i = 0; i < file.size(); ++i)
        if (file[i]->objectName() == QLatin1String("exportPdfAction")) pdf = i;
    QVERIFY(pdf >= 0 && pdf + 1 < file.size());
    QCOMPARE(file[pdf + 1]->objectName(), QStringLiteral("exportDxfAction"));
    auto key = [](const QString& text) {
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        return amp < 0 ? QChar() : text.at(amp + 1).toLower();
    };
    const QChar dxfKey = key(file[pdf + 1]->text());
    QVERIFY(!dxfKey.isNull());
    for (QAction* other : file)
        if (other != file[pdf + 1] && !other->isSeparator()) QVERIFY(key(other->text()) != dxfKey);
}

// "Exportar a DXF...": with no beam it says so; with one, the file named in the dialog is written
// (".dxf" added). Failed writes are tested with the writer (beamdrawing/write_fixture_dxf).
void TestBeamWindow::exportDxf() {
    const LocaleGuard locale(QLocale::c());
    windows::showMainWindow();
    MainWindow* main = windows::loadedMainWindow();
    QAction* exportAction = childNamed<QAction>(main, "exportDxfAction");
    const auto nothing = ModalWatcher::instance().answerMessageBox([&] { exportAction->trigger(); });
    QVERIFY(nothing && nothing->text.contains(QStringLiteral("No hay una viga")));

    childNamed<QAction>(main, "beamAction")->trigger();
    BeamWindow* window = shownBeamWindow();
    typeThreeSpans(*window);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("despiece"));
    QCOMPARE(ModalWatcher::instance().answerModal([&] { exportAction->trigger(); }, typeFile(path)),
             std::optional<QString>(QStringLiteral("QFileDialog")));
    QFile written(path + QStringLiteral(".dxf"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains("REFUERZO"));
}

// The beam belongs to the project: typed, then the window closed, it is still there when the
// window opens again, in the saved file and on the exported PDF (the beam's pages alone, as there
// is no section design).
void TestBeamWindow::closingKeepsTheBeam() {
    const LocaleGuard locale(QLocale::c());
    windows::showMainWindow();
    MainWindow* main = windows::loadedMainWindow();
    // The registry's project outlives the windows: the next test starts from a new one.
    struct NewProjectAfter {
        project::Project* project;
        ~NewProjectAfter() { project->clear(); }
    } newProjectAfter{main->project()};
    // Looking is not editing: a project keeps no beam (and its file format 1) until one is typed.
    childNamed<QAction>(main, "beamAction")->trigger();
    QVERIFY(shownBeamWindow()->close());
    QVERIFY(!main->project()->beam());
    childNamed<QAction>(main, "beamAction")->trigger();
    typeThreeSpans(*shownBeamWindow());
    const double mass = shownBeamWindow()->design()->totalMass;
    QVERIFY(shownBeamWindow()->close());
    QVERIFY(!shownBeamWindow());
    QVERIFY(main->project()->isModified());

    childNamed<QAction>(main, "beamAction")->trigger();
    BeamWindow* again = shownBeamWindow();
    QVERIFY(again);
    QCOMPARE(childNamed<QTableView>(again, "spansView")->model()->rowCount(), 3);
    QCOMPARE(again->design()->totalMass, mass);
    QVERIFY(again->close());

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("viga.quintaral"));
    QCOMPARE(main->project()->saveAs(file), QString());
    project::Project reopened;
    QCOMPARE(reopened.open(file), QString());
    QVERIFY(reopened.beam() && reopened.beamDesign());
    QCOMPARE(reopened.beam()->spans.size(), std::size_t{3});
    QCOMPARE(reopened.beamDesign()->totalMass, mass);

    // An open window follows the project: a new project, then the saved one opened.
    childNamed<QAction>(main, "beamAction")->trigger();
    const QAbstractItemModel* spans =
        childNamed<QTableView>(shownBeamWindow(), "spansView")->model();
    main->project()->clear();
    QCOMPARE(spans->rowCount(), 1);
    QCOMPARE(main->project()->open(file), QString());
    QCOMPARE(spans->rowCount(), 3);
    QCOMPARE(shownBeamWindow()->design()->totalMass, mass);
    QVERIFY(!main->project()->isModified());
    QVERIFY(shownBeamWindow()->close());

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString pdf = folder.filePath(QStringLiteral("hoja.pdf"));
    QCOMPARE(ModalWatcher::instance().answerModal(
                 [&] { childNamed<QAction>(main, "exportPdfAction")->trigger(); }, typeFile(pdf)),
             std::optional<QString>(QStringLiteral("QFileDialog")));
    QProcess process;
    process.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("Alzado de la viga")) &&
                 text.contains(QStringLiteral("Despiece")),
             qPrintable(text.left(400)));
}

QUINTARAL_GUI_TEST_MAIN(TestBeamWindow)
#include "test_beamwindow.moc"

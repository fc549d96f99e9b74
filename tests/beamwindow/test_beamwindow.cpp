// The beam window: a 3-span DES beam typed into it shows its schedule and checks; a bad value is
// reported, greys the results and keeps them out of the exports; the spans table pastes, copies,
// undoes and lets Tab out; the keys; the menu entries that open it and export its DXF.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "app/filecommands.h"
#include "app/windows.h"
#include "beamwindow/beamlist.h"
#include "beamwindow/beamplot.h"
#include "beamwindow/quantitiestab.h"
#include "beamwindow/beamwindow.h"
#include "beamwindow/spanstable.h"
#include "engine/numbers.h"
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

QStandardItemModel* spansModel(BeamWindow& window) {
    return qobject_cast<QStandardItemModel*>(childNamed<QTableView>(&window, "spansView")->model());
}

// The table's rows as text, cells joined by '|', for comparisons.
QStringList tableRows(const QStandardItemModel* model, int columns = SpansTable::ColumnCount) {
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) cells << model->item(r, c)->text();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
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
    void outOfDateBeamIsNotExported();
    void pasteFromASpreadsheet_data();
    void pasteFromASpreadsheet();
    void copyAndUndo();
    void tabLeavesTheTable();
    void keys();
    void numbersSayWhatIsWrong_data();
    void numbersSayWhatIsWrong();
    void newBeamStartsAsABeam();
    void opensInsideTheScreen();
    void zoomKeepsTheTextSize();
    void newColumnsRead();
    void beamList();
    void quantities();
    void importBeams();
};

// "abc" in a span's length: the drawings say the results are out of date and name the cell; the
// exports refuse, with that message, rather than write the last design; saving writes the beam as
// it last read, says so, and leaves the project changed.
void TestBeamWindow::outOfDateBeamIsNotExported() {
    const LocaleGuard locale(QLocale::c());
    windows::showMainWindow();
    MainWindow* main = windows::loadedMainWindow();
    struct NewProjectAfter {
        project::Project* project;
        ~NewProjectAfter() { project->clear(); }
    } newProjectAfter{main->project()};
    childNamed<QAction>(main, "beamAction")->trigger();
    BeamWindow* window = shownBeamWindow();
    typeThreeSpans(*window);
    QCOMPARE(childNamed<BeamPlot>(window, "elevationPlot")->outOfDate(), QString());
    spansModel(*window)->item(1, SpansTable::Length)->setText(QStringLiteral("abc"));
    window->designNow();
    const QString outOfDate = childNamed<BeamPlot>(window, "elevationPlot")->outOfDate();
    QVERIFY2(outOfDate.startsWith(QStringLiteral("Resultados desactualizados: corrija")) &&
                 outOfDate.contains(QStringLiteral("Vano 2, Luz libre")),
             qPrintable(outOfDate));
    QVERIFY(!childNamed<QTableView>(window, "scheduleView")->isEnabled());

    // Both exports, from the main window's menu and from the beam window's keys.
    for (QWidget* from : {static_cast<QWidget*>(main), static_cast<QWidget*>(window)}) {
        for (const char* name : {"exportDxfAction", "exportPdfAction"}) {
            const auto box = ModalWatcher::instance().answerMessageBox(
                [&] { childNamed<QAction>(from, name)->trigger(); });
            QVERIFY2(box && box->text == outOfDate, name);
        }
    }

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("viga.quintaral"));
    const auto saved = ModalWatcher::instance().answerMessageBox(
        [&] { QVERIFY(main->fileCommands()->saveTo(file)); });
    QVERIFY(saved && saved->text.contains(outOfDate));
    QVERIFY(main->project()->isModified());
    project::Project reopened;
    QCOMPARE(reopened.open(file), QString());
    QCOMPARE(reopened.beam()->spans.at(1).length, 6.0);

    // Closing asks first; the default keeps the window and what was typed.
    const auto asked =
        ModalWatcher::instance().answerMessageBox([&] { QVERIFY(!window->close()); });
    QVERIFY(asked && asked->text.startsWith(outOfDate));
    QCOMPARE(spansModel(*window)->item(1, SpansTable::Length)->text(), QStringLiteral("abc"));

    // Corrected, the results are current and go out again.
    spansModel(*window)->item(1, SpansTable::Length)->setText(QStringLiteral("6.5"));
    window->designNow();
    QCOMPARE(childNamed<BeamPlot>(window, "elevationPlot")->outOfDate(), QString());
    QVERIFY(childNamed<QTableView>(window, "scheduleView")->isEnabled());
    const QString dxf = folder.filePath(QStringLiteral("despiece.dxf"));
    QCOMPARE(ModalWatcher::instance().answerModal(
                 [&] { childNamed<QAction>(window, "exportDxfAction")->trigger(); }, typeFile(dxf)),
             std::optional<QString>(QStringLiteral("QFileDialog")));
    QVERIFY(QFile::exists(dxf));

    // A new project shows the starting beam: nothing out of date is left to refuse.
    spansModel(*window)->item(0, SpansTable::Length)->setText(QString());
    window->designNow();
    QVERIFY(!main->project()->beamNotRead().isEmpty());
    main->project()->clear();
    QCOMPARE(main->project()->beamNotRead(), QString());
}

// A block copied from a spreadsheet lands from the current cell, adding spans as it needs them;
// tabs or semicolons between cells, the locale's decimal separator in them.
void TestBeamWindow::pasteFromASpreadsheet_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QStringList>("rows");  // the first six columns afterwards
    QTest::newRow("tabs, three rows")
        << QLocale::c() << 0
        << QStringLiteral(
               "5\t40\t40\t12\t8\t14\r\n6\t40\t45\t15\t10.5\t15\r\n"
               "5\t45\t40\t14\t8\t12\r\n")
        << QStringList{"5|40|40|12|8|14", "6|40|45|15|10.5|15", "5|45|40|14|8|12"};
    QTest::newRow("semicolons, decimal commas")
        << QLocale(QLocale::Spanish, QLocale::Colombia) << 0
        << QStringLiteral("5,5;40;40;12;8;14\n6;40;40;15;10,5;15\n")
        << QStringList{"5,5|40|40|12|8|14", "6|40|40|15|10,5|15"};
    // From the third column: the right support written on the next span's left side.
    QTest::newRow("moments from the right support")
        << QLocale::c() << 2 << QStringLiteral("35\t9\t7\t9\n30\t11\t8\t11\n")
        << QStringList{"5|40|35|9|7|9", "5|35|30|11|8|11"};
}

void TestBeamWindow::pasteFromASpreadsheet() {
    QFETCH(QLocale, locale);
    QFETCH(int, column);
    QFETCH(QString, pasted);
    QFETCH(QStringList, rows);
    const LocaleGuard guard(locale);
    BeamWindow window;
    auto* view = childNamed<QTableView>(&window, "spansView");
    view->setCurrentIndex(view->model()->index(0, column));
    QApplication::clipboard()->setText(pasted);
    childNamed<QAction>(&window, "pasteSpansAction")->trigger();
    QCOMPARE(tableRows(spansModel(window), 6), rows);
    window.designNow();
    QCOMPARE(childNamed<QLabel>(&window, "messageLabel")->text(), QString());
    QCOMPARE(window.input()->spans.size(), static_cast<std::size_t>(rows.size()));
    // One value fills the selection.
    view->selectColumn(SpansTable::Wu);
    QApplication::clipboard()->setText(QStringLiteral("3\n"));
    childNamed<QAction>(&window, "pasteSpansAction")->trigger();
    window.designNow();
    for (const engine::beam::Span& span : window.input()->spans) QCOMPARE(span.wu, 3.0);
}

// Copied cells paste back as they were; every edit (a cell, a paste, a span added or removed)
// is undone and redone, and only another beam shown empties the stack.
void TestBeamWindow::copyAndUndo() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    typeThreeSpans(window);
    QStandardItemModel* model = spansModel(window);
    auto* view = childNamed<QTableView>(&window, "spansView");
    auto* undo = childNamed<QAction>(&window, "undoSpansAction");
    auto* redo = childNamed<QAction>(&window, "redoSpansAction");
    const QStringList typed = tableRows(model);

    view->selectRow(1);
    childNamed<QAction>(&window, "copySpansAction")->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("6\t40\t40\t15\t10\t15\t\t\t\t\t\t\n"));
    view->setCurrentIndex(model->index(2, 0));
    childNamed<QAction>(&window, "pasteSpansAction")->trigger();
    QCOMPARE(model->item(2, SpansTable::MuMid)->text(), QStringLiteral("10"));
    undo->trigger();
    QCOMPARE(tableRows(model), typed);
    view->selectRow(0);
    childNamed<QAction>(&window, "clearSpansAction")->trigger();
    QCOMPARE(model->item(0, SpansTable::MuMid)->text(), QString());
    QCOMPARE(model->item(1, SpansTable::LeftSupport)->text(), QString());  // the joint's other side
    undo->trigger();
    QCOMPARE(tableRows(model), typed);

    model->item(0, SpansTable::RightSupport)->setText(QStringLiteral("50"));  // and row 2's left
    QCOMPARE(model->item(1, SpansTable::LeftSupport)->text(), QStringLiteral("50"));
    childNamed<QPushButton>(&window, "addSpanButton")->click();
    view->setCurrentIndex(model->index(0, 0));
    childNamed<QPushButton>(&window, "removeSpanButton")->click();
    QCOMPARE(model->rowCount(), 3);
    for (int i = 0; i < 3; ++i) undo->trigger();
    QCOMPARE(tableRows(model), typed);
    window.designNow();
    QCOMPARE(window.input()->supports, (std::vector<double>{40, 40, 40, 40}));
    redo->trigger();
    QCOMPARE(model->item(1, SpansTable::LeftSupport)->text(), QStringLiteral("50"));
    window.designNow();
    QCOMPARE(window.input()->supports, (std::vector<double>{40, 50, 40, 40}));

    // Another beam shown: nothing to undo.
    window.setInput(*window.input());
    QVERIFY(!undo->isEnabled());
}

// Tab walks the cells and, from the last one, leaves the table (it wrapped to the first cell).
void TestBeamWindow::tabLeavesTheTable() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* view = childNamed<QTableView>(&window, "spansView");
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(view->currentIndex().column(), 1);
    QVERIFY(view->hasFocus());
    const QModelIndex last = view->model()->index(0, view->model()->columnCount() - 1);
    view->setCurrentIndex(last);
    QTest::keyClick(view, Qt::Key_Tab);
    QVERIFY(!view->hasFocus());
    QCOMPARE(view->currentIndex(), last);
    // Typing in the last cell, Tab ends the edit and leaves too.
    view->setFocus();
    view->edit(last);
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && editor != view);
    QTest::keyClicks(editor, QStringLiteral("30"));
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(spansModel(window)->item(0, last.column())->text(), QStringLiteral("30"));
    QVERIFY(!view->isAncestorOf(QApplication::focusWidget()) &&
            QApplication::focusWidget() != view);
}

// The main window's file keys, Ctrl+Q, and Ctrl+PgDn / Ctrl+PgUp through the result tabs from
// wherever the focus is.
void TestBeamWindow::keys() {
    BeamWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const struct {
        const char* action;
        QKeySequence key;
    } keys[] = {{"saveAction", QKeySequence(Qt::CTRL | Qt::Key_S)},
                {"exportPdfAction", QKeySequence(Qt::CTRL | Qt::Key_E)},
                {"exportDxfAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
                {"exitAction", QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const auto& [action, key] : keys)
        QVERIFY2(childNamed<QAction>(&window, action)->shortcuts().contains(key), action);
    auto* tabs = childNamed<QTabWidget>(&window, "outputTabs");
    for (const char* focused : {"widthEdit", "spansView"}) {
        auto* control = childNamed<QWidget>(&window, focused);
        control->setFocus();
        tabs->setCurrentIndex(0);
        QTest::keyClick(control, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::keyClick(control, Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(control, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
    }
    // The table's clipboard keys leave the text boxes' own alone.
    auto* width = childNamed<QLineEdit>(&window, "widthEdit");
    width->setFocus();
    width->selectAll();
    QApplication::clipboard()->clear();
    QTest::keyClick(width, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("30"));
    // Every caption of a field has its access key, each letter once.
    QSet<QChar> letters;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->buddy()) continue;
        const qsizetype amp = label->text().indexOf(QLatin1Char('&'));
        QVERIFY2(amp >= 0, qPrintable(label->text()));
        const QChar letter = label->text().at(amp + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(label->text()));
        letters.insert(letter);
    }
    QVERIFY(letters.size() >= 15);
}

void TestBeamWindow::numbersSayWhatIsWrong_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("comma where a point goes")
        << QLocale::c() << QStringLiteral("7,5")
        << QStringLiteral("Vano 1, Luz libre (m): «7,5» no es un número (use el punto decimal).");
    QTest::newRow("point where a comma goes")
        << QLocale(QLocale::Spanish, QLocale::Colombia) << QStringLiteral("7.5")
        << QStringLiteral("Vano 1, Luz libre (m): «7.5» no es un número (use la coma decimal).");
    QTest::newRow("empty") << QLocale::c() << QString()
                           << QStringLiteral("Vano 1, Luz libre (m): falta el valor.");
    QTest::newRow("negative") << QLocale::c() << QStringLiteral("-7")
                              << QStringLiteral(
                                     "Vano 1, Luz libre (m): el valor debe ser mayor que cero.");
}

void TestBeamWindow::numbersSayWhatIsWrong() {
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    const LocaleGuard guard(locale);
    BeamWindow window;
    spansModel(window)->item(0, SpansTable::Length)->setText(typed);
    window.designNow();
    QCOMPARE(childNamed<QLabel>(&window, "messageLabel")->text(), message);
}

// Not the main window's section (a slab 100 x 15 as often as a beam): 30 x 50 under the code the
// "Norma" menu shows.
void TestBeamWindow::newBeamStartsAsABeam() {
    const LocaleGuard locale(QLocale::c());
    project::Project project;
    project.setCode(engine::DesignCode::Nsr10);
    project::DesignInputs slab;
    slab.values = {100, 15, 3, 210, 4200, 2, 3};
    project.setInputs(slab);
    BeamWindow window(&project);
    QCOMPARE(childNamed<QLineEdit>(&window, "widthEdit")->text(), QStringLiteral("30"));
    QCOMPARE(childNamed<QLineEdit>(&window, "heightEdit")->text(), QStringLiteral("50"));
    QCOMPARE(window.input()->code, engine::DesignCode::Nsr10);
    QVERIFY(!project.beam());
}

// Whatever the screen, the window opens inside its available area.
void TestBeamWindow::opensInsideTheScreen() {
    BeamWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    QVERIFY2(available.contains(window.geometry()), qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                                                   .arg(window.width())
                                                                   .arg(window.height())
                                                                   .arg(available.width())
                                                                   .arg(available.height())));
}

// Zoomed, the drawing gets a larger area to paint in, moved, and the painter's font unchanged:
// the texts keep their size on screen.
void TestBeamWindow::zoomKeepsTheTextSize() {
    BeamPlot plot;
    plot.resize(400, 200);
    QRectF given;
    qreal fontSize = 0;
    plot.setPainter([&](QPainter& painter, const QRectF& area) {
        given = area;
        fontSize = painter.font().pointSizeF();
    });
    plot.grab();
    const QRectF whole = given;
    const qreal wholeFont = fontSize;
    plot.zoomIn();
    plot.zoomIn();
    plot.grab();
    QVERIFY(given.width() > 1.5 * whole.width());
    QVERIFY(given.left() < whole.left());  // zoomed about the middle
    QCOMPARE(fontSize, wholeFont);
    plot.fit();
    plot.grab();
    QCOMPARE(given, whole);
    plot.zoomOut();  // never smaller than the whole drawing
    QCOMPARE(plot.zoom(), 1.0);
}

// The columns that were hidden or missing read into the beam; empty optional cells give none;
// a negative column width is refused as a width, not as a moment.
void TestBeamWindow::newColumnsRead() {
    const LocaleGuard locale(QLocale::c());
    BeamWindow window;
    QStandardItemModel* model = spansModel(window);
    const struct {
        int column;
        const char* text;
    } cells[] = {{SpansTable::PosLeft, "2"},
                 {SpansTable::PosRight, "3"},
                 {SpansTable::MidMin, "-1.5"},
                 {SpansTable::Wu, "4.2"}};
    for (const auto& [column, text] : cells)
        model->item(0, column)->setText(QString::fromLatin1(text));
    childNamed<QLineEdit>(&window, "axisEdit")->setText(QStringLiteral("B"));
    childNamed<QLineEdit>(&window, "levelEdit")->setText(QStringLiteral("2"));
    auto* stirrup = childNamed<QComboBox>(&window, "stirrupCombo");
    stirrup->setCurrentIndex(stirrup->findData(4));
    window.designNow();
    const engine::beam::BeamInput& input = *window.input();
    QCOMPARE(input.spans[0].moments.posLeft, 2.0);
    QCOMPARE(input.spans[0].moments.posRight, 3.0);
    QCOMPARE(input.spans[0].moments.midMin, -1.5);
    QCOMPARE(input.spans[0].wu, 4.2);
    QCOMPARE(input.axis, std::string("B"));
    QCOMPARE(input.level, std::string("2"));
    QCOMPARE(input.settings.stirrupDesignation, 4);
    // Shown again, read again: the same beam.
    const engine::beam::BeamInput shown = input;
    window.setInput(shown);
    QCOMPARE(*window.input(), shown);
    model->item(0, SpansTable::Wu)->setText(QString());
    model->item(0, SpansTable::RightColumn)->setText(QStringLiteral("-30"));
    window.designNow();
    QCOMPARE(childNamed<QLabel>(&window, "messageLabel")->text(),
             QStringLiteral("Vano 1, Columna der. (cm): el valor debe ser mayor que cero."));
    model->item(0, SpansTable::RightColumn)->setText(QString());
    window.designNow();
    QVERIFY(!window.input()->spans[0].wu);
}

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
    // The moments typed are not in use: greyed and not editable, the others as they were.
    const QStandardItemModel* model = spansModel(window);
    for (int column : {int(SpansTable::MuLeft), int(SpansTable::MidMin)})
        QVERIFY(!(model->item(0, column)->flags() & Qt::ItemIsEditable));
    QVERIFY(model->item(0, SpansTable::Length)->flags() & Qt::ItemIsEditable);

    // Measured from the supports' centrelines, the same rows put the moments 20 cm further left.
    const double fromFaces = window.design()->totalMass;
    auto* measure = childNamed<QComboBox>(&window, "stationsFromCombo");
    measure->setCurrentIndex(1);
    Q_EMIT measure->activated(1);
    window.designNow();
    QCOMPARE(childNamed<QLabel>(&window, "messageLabel")->text(), QString());
    QVERIFY(window.input()->stationsFromCentreline);
    QCOMPARE(window.input()->stations.size(), std::size_t{33});
    QVERIFY(window.design()->totalMass != fromFaces);

    childNamed<QPushButton>(&window, "clearStationsButton")->click();
    QVERIFY(model->item(0, SpansTable::MuLeft)->flags() & Qt::ItemIsEditable);
    window.designNow();
    QCOMPARE(window.design()->totalMass, typedMass);
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


// The list of the project's beams: add, duplicate, group and ungroup, rename, delete (with
// "Cancelar" first), move; choosing a row shows that beam and starts the table's undo history
// afresh; a name another beam has does not read; the list survives a save and reopening.
void TestBeamWindow::beamList() {
    const LocaleGuard locale(QLocale::c());
    project::Project project;
    BeamWindow window(&project);
    window.show();
    typeThreeSpans(window);
    auto* list = childNamed<QTableView>(&window, "beamListView");
    const auto names = [list] {
        QStringList shown;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            shown << list->model()->index(r, BeamList::Name).data().toString();
        return shown;
    };
    const auto click = [&window](const char* name) {
        QTest::mouseClick(childNamed<QPushButton>(&window, name), Qt::LeftButton);
    };
    QCOMPARE(names(), QStringList({"V-1"}));
    QCOMPARE(list->model()->index(0, BeamList::Verdict).data().toString(),
             window.design()->passes ? QStringLiteral("Cumple") : QStringLiteral("No cumple"));
    auto* nameEdit = childNamed<QLineEdit>(&window, "nameEdit");

    click("duplicateBeamButton");
    QCOMPARE(names(), QStringList({"V-1", "V-2"}));
    QCOMPARE(nameEdit->text(), QStringLiteral("V-2"));
    QCOMPARE(spansModel(window)->rowCount(), 3);
    click("addBeamButton");
    QCOMPARE(names(), QStringList({"V-1", "V-2", "V-3"}));
    QCOMPARE(spansModel(window)->rowCount(), 1);

    // The two beams alike in one group, the one-span beam alone; then one taken out.
    const auto group = [list](int row) {
        return list->model()->index(row, BeamList::Group).data().toString();
    };
    click("groupBeamsButton");
    QVERIFY(!group(0).isEmpty());
    QCOMPARE(group(1), group(0));
    QCOMPARE(group(2), QString());
    list->setCurrentIndex(list->model()->index(1, BeamList::Name));
    click("ungroupBeamButton");
    QCOMPARE(group(0), QString());
    QCOMPARE(group(1), QString());
    list->setCurrentIndex(list->model()->index(2, BeamList::Name));

    // An edit of the new beam, then another beam chosen: its own table, nothing to undo.
    spansModel(window)->item(0, SpansTable::Length)->setText(QStringLiteral("4"));
    auto* undo = childNamed<QAction>(&window, "undoSpansAction");
    QVERIFY(undo->isEnabled());
    list->setCurrentIndex(list->model()->index(0, BeamList::Name));
    QCOMPARE(project.currentBeamIndex(), 0);
    QCOMPARE(nameEdit->text(), QStringLiteral("V-1"));
    QCOMPARE(spansModel(window)->rowCount(), 3);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(project.beams()[2].beam.input.spans[0].length, 4.0);

    list->setCurrentIndex(list->model()->index(2, BeamList::Name));
    QCOMPARE(
        ModalWatcher::instance().answerModal(
            [&] { click("renameBeamButton"); },
            [](QWidget* dialog) {
                childNamed<QLineEdit>(dialog, "beamNameEdit")->setText(QStringLiteral("V-201"));
                childNamed<QLineEdit>(dialog, "beamDescriptionEdit")
                    ->setText(QStringLiteral("Eje B, piso 2"));
                static_cast<QDialog*>(dialog)->accept();
            }),
        std::optional<QString>(QStringLiteral("QDialog")));
    QCOMPARE(names(), QStringList({"V-1", "V-2", "V-201"}));
    QCOMPARE(nameEdit->text(), QStringLiteral("V-201"));
    click("moveBeamUpButton");
    QCOMPARE(names(), QStringList({"V-1", "V-201", "V-2"}));
    QCOMPARE(project.currentBeamIndex(), 1);

    // A name another beam has: the editor says so and the project keeps the beam's own.
    typeInto(nameEdit, QStringLiteral("V-1"));
    window.designNow();
    QVERIFY2(window.outOfDate().contains(QStringLiteral("Ya hay una viga llamada \"V-1\"")),
             qPrintable(window.outOfDate()));
    QCOMPARE(names(), QStringList({"V-1", "V-201", "V-2"}));
    // Choosing another beam meanwhile asks; the default, "Seguir editando", keeps what was typed.
    const auto stay = ModalWatcher::instance().answerMessageBox(
        [&] { list->setCurrentIndex(list->model()->index(0, BeamList::Name)); });
    QVERIFY(stay && stay->buttons.contains(QStringLiteral("Seguir editando")));
    QCOMPARE(project.currentBeamIndex(), 1);
    QCOMPARE(nameEdit->text(), QStringLiteral("V-1"));
    QCOMPARE(list->currentIndex().row(), 1);
    typeInto(nameEdit, QStringLiteral("V-201"));
    window.designNow();
    QCOMPARE(window.outOfDate(), QString());

    // "Eliminar" asks; the default, "Cancelar", keeps the beam.
    const auto kept = ModalWatcher::instance().answerMessageBox([&] { click("removeBeamButton"); });
    QVERIFY(kept && kept->text.contains(QStringLiteral("\"V-201\"")) &&
            kept->buttons.contains(QStringLiteral("Cancelar")));
    QCOMPARE(names(), QStringList({"V-1", "V-201", "V-2"}));
    ModalWatcher::instance().answerModal([&] { click("removeBeamButton"); },
                                         [](QWidget* box) {
                                             for (auto* button : box->findChildren<QPushButton*>())
                                                 if (button->text() == QStringLiteral("Eliminar"))
                                                     button->click();
                                         });
    QCOMPARE(names(), QStringList({"V-1", "V-2"}));
    QCOMPARE(nameEdit->text(), QStringLiteral("V-2"));

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("edificio.quintaral"));
    QCOMPARE(project.saveAs(file), QString());
    project::Project reopened;
    QCOMPARE(reopened.open(file), QString());
    BeamWindow again(&reopened);
    again.show();
    auto* reopenedList = childNamed<QTableView>(&again, "beamListView");
    QCOMPARE(reopenedList->model()->rowCount(), 2);
    QCOMPARE(reopenedList->model()->index(1, BeamList::Name).data().toString(),
             QStringLiteral("V-2"));
    QCOMPARE(childNamed<QLineEdit>(&again, "nameEdit")->text(), QStringLiteral("V-1"));
    QCOMPARE(spansModel(again)->rowCount(), 3);
}

// "Cantidades": a row per beam and the total, which is the sum of the beams' masses; the table
// goes to a CSV file whole, or not at all where it cannot be written.
void TestBeamWindow::quantities() {
    const LocaleGuard locale(QLocale::c());
    project::Project project;
    BeamWindow window(&project);
    window.show();
    typeThreeSpans(window);
    QTest::mouseClick(childNamed<QPushButton>(&window, "duplicateBeamButton"), Qt::LeftButton);
    QTest::mouseClick(childNamed<QPushButton>(&window, "addBeamButton"), Qt::LeftButton);
    double mass = 0;
    for (const auto& beam : project.beams()) mass += beam.result.design->totalMass;
    const QAbstractItemModel* table = childNamed<QTableView>(&window, "quantitiesView")->model();
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(table->index(1, 0).data().toString(), QStringLiteral("V-2"));
    QCOMPARE(table->index(3, 0).data().toString(), QStringLiteral("Total"));
    int totalColumn = -1;
    for (int c = 0; c < table->columnCount(); ++c)
        if (table->headerData(c, Qt::Horizontal).toString() == QStringLiteral("Total (kg)"))
            totalColumn = c;
    QVERIFY(totalColumn > 0);
    QCOMPARE(table->index(3, totalColumn).data().toString(),
             QString::fromStdString(engine::formatFixed(mass, 1, '.')));

    auto* tab = childNamed<QuantitiesTab>(&window, "quantitiesTab");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cantidades.csv"));
    QCOMPARE(tab->exportTo(path), QString());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = written.readAll().split('\n');
    QVERIFY(lines.front().startsWith("Viga,"));
    QVERIFY(lines.at(4).startsWith("Total,"));
    const QString nowhere = folder.filePath(QStringLiteral("no/existe/cantidades.csv"));
    QVERIFY(!tab->exportTo(nowhere).isEmpty());
    QVERIFY(!QFile::exists(nowhere));
}

// An analysis export goes in as the project's next beams (semicolons and decimal commas, stations
// measured from the joint); the same export again would repeat their names and adds nothing.
void TestBeamWindow::importBeams() {
    const LocaleGuard locale(QLocale::c());
    project::Project project;
    BeamWindow window(&project);
    window.show();
    typeThreeSpans(window);
    QTemporaryDir folder;
    const auto write = [&folder](const char* name, const QByteArray& text) {
        QFile file(folder.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly)) return QString();
        file.write(text);
        return file.fileName();
    };
    const QString beams = write("vigas.csv",
                                "beam;span;length;support_left;support_right;b;h;cover;cover2;"
                                "fc;fy;description\n"
                                "V-201;1;5;40;40;30;50;6;6;210;4200;Eje B, piso 2\n"
                                "V-202;1;4,5;40;40;30;50;6;6;210;4200;\n");
    const QString stations = write("estaciones.csv",
                                   "beam;span;x;mu;v;combo\n"
                                   "V-201;1;0;-12;9;U1\nV-201;1;2,7;8;0;U1\nV-201;1;5,4;-12;-9;U1\n"
                                   "V-202;1;0;-9;7;U1\nV-202;1;2,45;6;0;U1\nV-202;1;4,9;-9;-7;U1\n");
    auto* list = window.findChild<BeamList*>();
    QVERIFY(list);
    QCOMPARE(list->importFiles(beams, stations, true), QString());
    QCOMPARE(int(project.beams().size()), 3);
    QCOMPARE(project.currentBeamIndex(), 1);
    QCOMPARE(project.beams()[1].beam.description, QStringLiteral("Eje B, piso 2"));
    QVERIFY(project.beams()[1].beam.input.stationsFromCentreline);
    QVERIFY(project.beams()[2].result.design);
    const QString again = list->importFiles(beams, stations, true);
    QVERIFY2(again.contains(QStringLiteral("\"V-201\"")), qPrintable(again));
    QCOMPARE(int(project.beams().size()), 3);
}

QUINTARAL_GUI_TEST_MAIN(TestBeamWindow)
#include "test_beamwindow.moc"

// The two reference windows: the information text and the bar table.
#include <QAbstractButton>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextLayout>

#include "app/windows.h"
#include "bartablewindow/bartablewindow.h"
#include "guitest.h"
#include "infowindow/infotext.h"
#include "infowindow/infowindow.h"

namespace {

template <class T = QWidget>
T* named(QObject* parent, const char* name) {
    return parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

QStringList infoLines() {
    QStringList lines = informationText().split(QStringLiteral("\r\n"));
    lines.removeLast();  // after the final CR LF
    return lines;
}

QStringList gridRow(const QTableWidget* grid, int row) {
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column)
        texts << grid->item(row, column)->text();
    return texts;
}

const QString inch = QStringLiteral(" \"");

}  // namespace

class TestReferenceWindows : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void infoTextFixedLines_data();
    void infoTextFixedLines();
    void infoTextShape();
    void infoTextOwnBlocks_data();
    void infoTextOwnBlocks();
    void infoWindowOpensAtTheTopWithFocusInText();
    void infoKeysDoNotCloseNorEdit_data();
    void infoKeysDoNotCloseNorEdit();
    void infoTextScrollsAndSelects();
    void infoOkClosesAndReopensAtTheTop();
    void fixedWindows_data();
    void fixedWindows();
    void barTableTexts_data();
    void barTableTexts();
    void barTableIsReadOnly();
    void barTableHeadingBandLinesUpWithColumns();
    void barTableFootnoteClickCloses();
    void barTableShownAgainIsNotRebuilt();
};

void TestReferenceWindows::infoTextFixedLines_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    const std::vector<std::pair<int, const char*>> fixed = {
        {1, "Quintaral  trabaja con el metodo de la Resistencia Ultima , "},
        {2, "tambien llamado  solamente metodo de la Resistencia, el "},
        {3, "diseñador podra estudiar el comportamiento de la estructura "},
        {4, "en el instante de falla, por lo tanto, si este instante se hace lo "},
        {5, "suficientemente mayor que el  de su trabajo para las cargas que "},
        {6, "soporta normalment, se podra tener un diseño con factores de  "},
        {7, "seguridad apropiados. "},
        {9, ""},
        {10, ""},
        {12, "operativo Windows 95/98/2000/Me/XP."},
        {13, ""},
        {18, "           "},
        {19, "No me hago responsable de la utilización que pueda hacer de "},
        {20, "este programa."},
        {21, ""},
        {22, "Si encuentra algún fallo en los resultados obtenidos, le "},
        {23, "agradecería que lo comunique a través del anterior correo "},
        {24, "electronico."},
        {25, ""},
        {26, "Para cualquier duda, pedido o sugerencia no repare en "},
        {27, "contactar con el autor de <Quintaral>:"},
        {28, ""},
    };
    for (const auto& [line, text] : fixed)
        QTest::addRow("line %d", line) << line << QString::fromUtf8(text);
    QTest::addRow("line 8, 102 hyphens") << 8 << QString(102, QLatin1Char('-'));
    QTest::addRow("line 29, 86 hyphens") << 29 << QString(86, QLatin1Char('-'));
    QTest::addRow("line 35, 86 hyphens") << 35 << QString(86, QLatin1Char('-'));
}

void TestReferenceWindows::infoTextFixedLines() {
    QFETCH(int, line);
    QFETCH(QString, text);
    QCOMPARE(infoLines().at(line - 1), text);
}

void TestReferenceWindows::infoTextShape() {
    const QString text = informationText();
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 35);
    QCOMPARE(text.count(QLatin1Char('\n')), 35);
    QCOMPARE(text.count(QLatin1Char('\r')), 35);
    QCOMPARE(infoLines().size(), 35);

    const QString line11 = infoLines().at(10);
    QVERIFY2(line11.startsWith(QString::fromUtf8("Quintaral ha  sido diseñado en ")),
             qPrintable(line11));
    QVERIFY2(line11.endsWith(QStringLiteral(", para el sistema ")), qPrintable(line11));
    QVERIFY(!line11.endsWith(QStringLiteral("  ")));
    QVERIFY(line11.contains(QStringLiteral("C++")));
    QVERIFY(line11.contains(QStringLiteral("Qt")));
}

// The author and contact blocks: filled, and every address in them a reserved example one.
void TestReferenceWindows::infoTextOwnBlocks_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("author, lines 14 to 17") << 14 << 17;
    QTest::newRow("contact, lines 30 to 34") << 30 << 34;
}

void TestReferenceWindows::infoTextOwnBlocks() {
    QFETCH(int, first);
    QFETCH(int, last);
    const QStringList block = infoLines().mid(first - 1, last - first + 1);
    const QString joined = block.join(QLatin1Char('\n'));
    for (const QString& line : block) QVERIFY2(!line.trimmed().isEmpty(), qPrintable(joined));
    QVERIFY2(joined.contains(QStringLiteral("Quintaral")), qPrintable(joined));
    QVERIFY2(joined.contains(QStringLiteral("quintaral@example.org")), qPrintable(joined));
    for (const QString& word : joined.split(QRegularExpression(QStringLiteral("\\s+")))) {
        if (word.contains(QLatin1Char('@')) || word.contains(QStringLiteral("://")))
            QVERIFY2(word.contains(QStringLiteral(".example.org")) ||
                         word.endsWith(QStringLiteral("@example.org")),
                     qPrintable(word));
    }
}

void TestReferenceWindows::infoWindowOpensAtTheTopWithFocusInText() {
    windows::showInfo();
    InfoWindow* info = windows::loadedInfo();
    QVERIFY(QTest::qWaitForWindowActive(info));
    QCOMPARE(info->windowTitle(), QStringLiteral("Informacion"));
    auto* texto = named<QPlainTextEdit>(info, "infoText");
    QVERIFY(texto);
    QCOMPARE(QApplication::focusWidget(), texto);
    QString shown = informationText();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(texto->toPlainText(), shown);
    QVERIFY(texto->isReadOnly());
    QCOMPARE(texto->textCursor().position(), 0);
    QCOMPARE(texto->verticalScrollBar()->value(), 0);
    QVERIFY(texto->verticalScrollBar()->maximum() > 0);
    QCOMPARE(texto->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(texto->lineWrapMode(), QPlainTextEdit::WidgetWidth);

    // The 102 hyphens of line 8 wrap at the box's edge.
    const QTextBlock hyphens = texto->document()->findBlockByNumber(7);
    QVERIFY(hyphens.layout());
    QVERIFY(hyphens.layout()->lineCount() > 1);

    auto* ok = named<QPushButton>(info, "okButton");
    QCOMPARE(ok->text(), QStringLiteral("O.K."));
    QVERIFY(!ok->isDefault());
    QVERIFY(!ok->autoDefault());
    QTest::keyClick(texto, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
}

void TestReferenceWindows::infoKeysDoNotCloseNorEdit_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Enter) << 0;
    QTest::newRow("Return") << int(Qt::Key_Return) << 0;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0;
    QTest::newRow("letter") << int(Qt::Key_X) << 0;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
}

void TestReferenceWindows::infoKeysDoNotCloseNorEdit() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    windows::showInfo();
    InfoWindow* info = windows::loadedInfo();
    QVERIFY(QTest::qWaitForWindowActive(info));
    auto* texto = named<QPlainTextEdit>(info, "infoText");
    const QString before = texto->toPlainText();
    texto->selectAll();
    QTest::keyClick(texto, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTest::qWait(20);
    QCOMPARE(windows::loadedInfo(), info);
    QVERIFY(info->isVisible());
    QCOMPARE(texto->toPlainText(), before);
}

void TestReferenceWindows::infoTextScrollsAndSelects() {
    windows::showInfo();
    InfoWindow* info = windows::loadedInfo();
    QVERIFY(QTest::qWaitForWindowActive(info));
    auto* texto = named<QPlainTextEdit>(info, "infoText");
    QTest::keyClick(texto, Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(texto->textCursor().hasSelection());
    QTest::keyClick(texto, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(texto->verticalScrollBar()->value() > 0);
    // Shown again while open: unchanged, still scrolled down.
    const int scrolled = texto->verticalScrollBar()->value();
    windows::showInfo();
    QCOMPARE(windows::loadedInfo(), info);
    QCOMPARE(texto->verticalScrollBar()->value(), scrolled);
}

void TestReferenceWindows::infoOkClosesAndReopensAtTheTop() {
    windows::showInfo();
    QPointer<InfoWindow> info = windows::loadedInfo();
    auto* texto = named<QPlainTextEdit>(info, "infoText");
    texto->verticalScrollBar()->setValue(texto->verticalScrollBar()->maximum());
    QTest::mouseClick(named(info, "okButton"), Qt::LeftButton);
    QCOMPARE(windows::loadedInfo(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!info);

    windows::showInfo();
    auto* again = named<QPlainTextEdit>(windows::loadedInfo(), "infoText");
    QCOMPARE(again->verticalScrollBar()->value(), 0);
    QCOMPARE(again->textCursor().position(), 0);
}

void TestReferenceWindows::fixedWindows_data() {
    QTest::addColumn<bool>("barTable");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("iconSize");
    QTest::newRow("InfoWindow") << false << QSize(349, 288) << 32;
    QTest::newRow("BarTableWindow") << true << QSize(571, 357) << 16;
}

void TestReferenceWindows::fixedWindows() {
    QFETCH(bool, barTable);
    QFETCH(QSize, size);
    QFETCH(int, iconSize);
    barTable ? windows::showBarTable() : windows::showInfo();
    QWidget* window = barTable ? static_cast<QWidget*>(windows::loadedBarTable())
                               : static_cast<QWidget*>(windows::loadedInfo());
    QCOMPARE(window->size(), size);
    QCOMPARE(window->minimumSize(), size);
    QCOMPARE(window->maximumSize(), size);
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(!window->windowIcon().pixmap(iconSize, iconSize).isNull());
}

void TestReferenceWindows::barTableTexts_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");
    const std::vector<QStringList> rows = {
        {"Barra", "D Pulgadas ", "D cm ", "A - Cm2 ", "Per -Cm ", "M - Kg/m "},
        {" N° 2", "1/4" + inch, "0.64", "0.32", "2.00", "0.25"},
        {" N° 3", "3/8" + inch, "0.95", "0.71", "3.00", "0.56"},
        {" N° 4", "1/2" + inch, "1.27", "1.29", "4.00", "0.994"},
        {" N° 5", "5/8" + inch, "1.59", "1.99", "5.00", "1.552"},
        {" N° 6", "3/4" + inch, "1.91", "2.84", "6.00", "2.235"},
        {" N° 7", "7/8" + inch, "2.22", "3.87", "7.00", "3.042"},
        {" N° 8", "1" + inch, "2.54", "5.10", "8.00", "3.973"},
        {" N° 9", "1-1/8" + inch, "2.87", "6.45", "9.00", "5.06"},
        {" N° 10", "1-1/4" + inch, "3.23", "8.19", "10.00", "6.404"},
        {" N° 11", "1-3/8" + inch, "3.58", "10.06", "11.00", "7.907"},
        {" N° 14", "1-3/4" + inch, "4.30", "14.52", "14.00", "11.38"},
        {" N° 18", "2-1/4" + inch, "5.73", "25.81", "18.00", "20.24"},
    };
    for (int row = 0; row < int(rows.size()); ++row)
        QTest::addRow("row %d", row) << QLocale::c() << row << rows[row];
    // A comma locale changes the separator of the numbers, and nothing else.
    const QLocale comma(QLocale::Spanish, QLocale::Colombia);
    for (int row : {1, 3, 11, 12}) {
        QStringList texts = rows[row];
        for (int column = 2; column < 6; ++column) texts[column].replace('.', ',');
        QTest::addRow("row %d, decimal comma", row) << comma << row << texts;
    }
}

void TestReferenceWindows::barTableTexts() {
    QFETCH(QLocale, locale);
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    LocaleGuard guard(locale);
    windows::showBarTable();
    auto* grid = named<QTableWidget>(windows::loadedBarTable(), "barGrid");
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 13);
    QCOMPARE(grid->columnCount(), 6);
    QCOMPARE(gridRow(grid, row), texts);
}

void TestReferenceWindows::barTableIsReadOnly() {
    windows::showBarTable();
    BarTableWindow* table = windows::loadedBarTable();
    QVERIFY(QTest::qWaitForWindowActive(table));
    auto* grid = named<QTableWidget>(table, "barGrid");
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QRect cell = grid->visualItemRect(grid->item(4, 3));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClicks(grid->viewport(), QStringLiteral("9"));
    QTest::keyClick(grid->viewport(), Qt::Key_F2);
    QTest::keyClick(grid->viewport(), Qt::Key_Delete);
    QCOMPARE(grid->item(4, 3)->text(), QStringLiteral("1.99"));
    QCOMPARE(QApplication::focusWidget(), grid);
}

void TestReferenceWindows::barTableHeadingBandLinesUpWithColumns() {
    windows::showBarTable();
    BarTableWindow* table = windows::loadedBarTable();
    QCOMPARE(table->windowTitle(), QStringLiteral("Dimensiones Nominales de las Barras de Acero"));
    auto* grid = named<QTableWidget>(table, "barGrid");
    const QStringList captions = {"Designacion de la", "Diametro ", "Diametro ", "Area",
                                  "Perimetro",         "Masa"};
    const QStringList headings = {"designationHeading", "diameterInchesHeading",
                                  "diameterMmHeading",  "areaHeading",
                                  "perimeterHeading",   "massHeading"};
    // The vertical rules from left to right, and where each grid column ends.
    const QStringList rules = {"columnLine0", "columnLine1", "columnLine2", "columnLine3",
                               "columnLine4", "columnLine5", "columnLine6"};
    const int gridLeft = grid->x() + grid->frameWidth();
    QCOMPARE(named<QFrame>(table, "columnLine0")->x(), grid->x());
    for (int column = 0; column < 6; ++column) {
        const int columnEnd =
            gridLeft + grid->columnViewportPosition(column) + grid->columnWidth(column) - 1;
        const int rule = named<QFrame>(table, rules[column + 1].toLatin1())->x();
        QVERIFY2(
            qAbs(rule - columnEnd) <= 1,
            qPrintable(
                QStringLiteral("column %1: rule %2, end %3").arg(column).arg(rule).arg(columnEnd)));
        auto* caption = named<QLabel>(table, headings[column].toLatin1());
        QCOMPARE(caption->text(), captions[column]);
        const int left = named<QFrame>(table, rules[column].toLatin1())->x();
        QVERIFY(caption->geometry().center().x() > left);
        QVERIFY(caption->geometry().center().x() < rule);
    }
    const QFrame* top = named<QFrame>(table, "headingTopLine");
    QCOMPARE(top->geometry(), QRect(32, 16, 465, 1));
    QCOMPARE(named<QLabel>(table, "sourceLabel")->text(),
             QString::fromUtf8("* Normas Colombianas de Diseño y Construcción Sismo Resistente "
                               "(NSR-98), Capitulo C-3"));
}

void TestReferenceWindows::barTableFootnoteClickCloses() {
    windows::showBarTable();
    QPointer<BarTableWindow> table = windows::loadedBarTable();
    // Clicks elsewhere leave it open.
    QTest::mouseClick(named(table, "designationHeading"), Qt::LeftButton);
    QTest::mouseClick(named<QTableWidget>(table, "barGrid")->viewport(), Qt::LeftButton);
    QCOMPARE(windows::loadedBarTable(), table.data());

    QTest::mouseClick(named(table, "sourceLabel"), Qt::LeftButton);
    QCOMPARE(windows::loadedBarTable(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!table);

    LocaleGuard guard(QLocale::c());
    windows::showBarTable();
    auto* grid = named<QTableWidget>(windows::loadedBarTable(), "barGrid");
    QCOMPARE(grid->item(12, 0)->text(), QString::fromUtf8(" N° 18"));
    QCOMPARE(grid->item(12, 5)->text(), QStringLiteral("20.24"));
}

void TestReferenceWindows::barTableShownAgainIsNotRebuilt() {
    windows::showBarTable();
    BarTableWindow* table = windows::loadedBarTable();
    auto* grid = named<QTableWidget>(table, "barGrid");
    grid->item(1, 1)->setText(QStringLiteral("marked"));
    grid->setCurrentCell(5, 2);
    windows::showBarTable();
    QCOMPARE(windows::loadedBarTable(), table);
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("marked"));
    QCOMPARE(grid->currentRow(), 5);
    QCOMPARE(grid->rowCount(), 13);
}

QUINTARAL_GUI_TEST_MAIN(TestReferenceWindows)
#include "test_reference_windows.moc"

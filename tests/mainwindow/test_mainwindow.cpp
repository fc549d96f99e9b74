#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTime>
#include <QToolButton>
#include <array>

#include "app/windows.h"
#include "bartablewindow/bartablewindow.h"
#include "engine/report.h"
#include "guitest.h"
#include "infowindow/infowindow.h"
#include "mainwindow/mainwindow.h"
#include "quintaral/version.h"
#include "splashwindow/splashwindow.h"

namespace {

const QString errorPrefix = QStringLiteral("Se ha generado un error, ");
const QString notNumbers =
    errorPrefix + QStringLiteral("por favor ingrese valores numericos al programa");
const QString coverError =
    errorPrefix + QStringLiteral("La altura de la viga debe ser mayor al Recubrimiento ( d' ) ");
const QString depthError =
    QString::fromUtf8("Se ha generado un error, la altura efectiva es muy pequeña, ") +
    QStringLiteral("Se recomienda aumentar la altura la de seccion h ");
const QString arithmeticError =
    errorPrefix + QStringLiteral("los valores ingresados no permiten realizar el calculo ");

const char* const inputNames[] = {"widthEdit", "heightEdit", "coverEdit",           "fcEdit",
                                  "fyEdit",    "momentEdit", "compressionCoverEdit"};

// The seven inputs b, h, d', f'c, Fy, Mu, d'' as typed.
using Inputs = QStringList;

template <class T>
T* child(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found) qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

MainWindow* openMainWindow() {
    windows::showMainWindow();
    MainWindow* form = windows::loadedMainWindow();
    if (form && !QTest::qWaitForWindowActive(form)) qWarning("MainWindow did not become active");
    return form;
}

QLineEdit* field(const MainWindow* form, int index) {
    return child<QLineEdit>(form, QString::fromLatin1(inputNames[index]));
}

void typeInputs(MainWindow* form, const Inputs& inputs) {
    for (int i = 0; i < 7; ++i) field(form, i)->setText(inputs.at(i));
}

bool calculateEnabled(const MainWindow* form) {
    return child<QToolButton>(form, QStringLiteral("calculateButton"))->isEnabled();
}

QString reportOf(const MainWindow* form) {
    return child<QPlainTextEdit>(form, QStringLiteral("resultsBox"))->toPlainText();
}

// The results box's text with its lines joined by CR LF, as the report was built.
QString resultsText(const MainWindow* form) {
    return reportOf(form).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

bool hasFocusIn(const QWidget* expected) {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == expected || expected->isAncestorOf(focus));
}

// Chooses list item `text` of a selector the way a user does: open the list, click the item.
void chooseFromList(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->isVisible());
}

void typeInto(QComboBox* box, const QString& text) {
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

}  // namespace

class TestMainWindow : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void initialTexts_data();
    void initialTexts();
    void initialState();
    void fonts_data();
    void fonts();
    void geometry_data();
    void geometry();
    void tabOrder_data();
    void tabOrder();
    void menus_data();
    void menus();
    void enabling_data();
    void enabling();
    void enablingByTyping();
    void borraClearsAndDisables();
    void afterBorraTypingEnablesButNumberTestFails_data();
    void afterBorraTypingEnablesButNumberTestFails();
    void buttonAndMenuGiveSameReport_data();
    void buttonAndMenuGiveSameReport();
    void frame6FollowsSectionKind();
    void errorsLeaveEverything_data();
    void errorsLeaveEverything();
    void suppliedSteel_data();
    void suppliedSteel();
    void suppliedSteelWithoutNumbers_data();
    void suppliedSteelWithoutNumbers();
    void selectorsKeepTypedText();
    void commaLocale_data();
    void commaLocale();
    void commands_data();
    void commands();
    void exitCommands_data();
    void exitCommands();
    void printCommandAsksForPrinter();
    void altCCalculates();
    void statusBar();
};

void TestMainWindow::initialTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const std::pair<const char*, const char*> rows[] = {{"widthEdit", "100"},
                                                        {"heightEdit", "15"},
                                                        {"coverEdit", "5"},
                                                        {"fcEdit", "210"},
                                                        {"fyEdit", "4200"},
                                                        {"momentEdit", "1"},
                                                        {"compressionCoverEdit", "5"},
                                                        {"resultsBox", ""},
                                                        {"tensionAreaEdit", ""},
                                                        {"compressionAreaEdit", ""},
                                                        {"tensionCountCombo", "1"},
                                                        {"tensionBarCombo", "2"},
                                                        {"compressionCountCombo", "1"},
                                                        {"compressionBarCombo", "2"},
                                                        {"tensionSteelLabel", ""},
                                                        {"compressionSteelLabel", ""},
                                                        {"tensionPhiLabel", "φ"},
                                                        {"compressionPhiLabel", "φ"}};
    for (const auto& [name, text] : rows) QTest::newRow(name) << name << QString::fromUtf8(text);
}

void TestMainWindow::initialTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    const MainWindow* form = openMainWindow();
    QWidget* w = child<QWidget>(form, name);
    QVERIFY(w);
    QString shown;
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        shown = edit->text();
    else if (auto* box = qobject_cast<QComboBox*>(w))
        shown = box->currentText();
    else if (auto* label = qobject_cast<QLabel*>(w))
        shown = label->text();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        shown = plain->toPlainText();
    QCOMPARE(shown, text);
}

void TestMainWindow::initialState() {
    MainWindow* form = openMainWindow();
    QCOMPARE(form->windowTitle(),
             QStringLiteral("Calculo del Acero de Refuerzo en Vigas de Concreto Reforzado"));
    QVERIFY(!child<QGroupBox>(form, QStringLiteral("compressionSteelFrame"))->isVisible());
    QVERIFY(calculateEnabled(form));
    QVERIFY(child<QAction>(form, QStringLiteral("calculateAction"))->isEnabled());
    QVERIFY(!form->lastDesign());
    QVERIFY(hasFocusIn(field(form, 0)));
    QVERIFY(child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"))->isReadOnly());
    QVERIFY(child<QLineEdit>(form, QStringLiteral("compressionAreaEdit"))->isReadOnly());
    auto* text8 = child<QPlainTextEdit>(form, QStringLiteral("resultsBox"));
    QVERIFY(text8->isReadOnly());
    QCOMPARE(text8->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text8->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // The lists hold the counts 1 to 25 and the twelve designations, each once.
    for (const char* name : {"tensionCountCombo", "compressionCountCombo"}) {
        auto* box = child<QComboBox>(form, QString::fromLatin1(name));
        QCOMPARE(box->count(), 25);
        QCOMPARE(box->itemText(0), QStringLiteral("1"));
        QCOMPARE(box->itemText(24), QStringLiteral("25"));
    }
    QStringList designations;
    for (const char* name : {"tensionBarCombo", "compressionBarCombo"}) {
        auto* box = child<QComboBox>(form, QString::fromLatin1(name));
        designations.clear();
        for (int i = 0; i < box->count(); ++i) designations << box->itemText(i);
        QCOMPARE(designations.join(QLatin1Char(' ')),
                 QStringLiteral("2 3 4 5 6 7 8 9 10 11 14 18"));
    }
    QVERIFY(!QApplication::windowIcon().isNull());
    for (const char* name :
         {"calculateButton", "aboutButton", "clearButton", "exitButton", "barTableButton"})
        QVERIFY2(!child<QToolButton>(form, QString::fromLatin1(name))->icon().isNull(), name);
}

void TestMainWindow::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("default") << "widthEdit"
                             << "Liberation Sans" << 8.25 << false;
    QTest::newRow("title") << "titleLabel"
                           << "Comic Neue" << 12.0 << false;
    QTest::newRow("frame5 caption") << "suppliedSteelFrame"
                                    << "Comic Neue" << 8.25 << false;
    QTest::newRow("inside frame5") << "tensionTitleLabel"
                                   << "Liberation Sans" << 8.25 << false;
    QTest::newRow("inside frame6") << "compressionCountCombo"
                                   << "Liberation Sans" << 8.25 << false;
    QTest::newRow("phi") << "tensionPhiLabel"
                         << "Liberation Sans" << 9.75 << false;
    QTest::newRow("hash") << "compressionHashLabel"
                          << "Liberation Sans" << 12.0 << false;
    QTest::newRow("raised 2") << "tensionAreaSquareLabel"
                              << "Liberation Sans" << 6.0 << false;
    QTest::newRow("tensionSteelLabel") << "tensionSteelLabel"
                                       << "Liberation Sans" << 8.25 << true;
    QTest::newRow("compressionSteelLabel") << "compressionSteelLabel"
                                           << "Liberation Sans" << 8.25 << true;
    QTest::newRow("status bar") << "creditPanel"
                                << "Liberation Sans" << 8.25 << true;
}

void TestMainWindow::fonts() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    const MainWindow* form = openMainWindow();
    const QWidget* w = child<QWidget>(form, name);
    QVERIFY(w);
    QCOMPARE(QFontInfo(w->font()).family(), family);
    QCOMPARE(w->font().pointSizeF(), points);
    QCOMPARE(w->font().bold(), bold);
}

void TestMainWindow::geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");  // left, top, width, height
    struct Row {
        const char* name;
        const char* container;
        int left, top, width, height;
    };
    const Row rows[] = {
        {"titleLabel", "centralwidget", 0, 120, 9495, 615},
        {"materialsFrame", "centralwidget", 240, 720, 3255, 1575},
        {"fcLabel", "materialsFrame", 360, 240, 1215, 255},
        {"fcEdit", "materialsFrame", 1680, 240, 1215, 285},
        {"fyLabel", "materialsFrame", 360, 600, 1095, 255},
        {"fyEdit", "materialsFrame", 1680, 600, 1215, 285},
        {"momentLabel", "materialsFrame", 480, 960, 1095, 255},
        {"momentEdit", "materialsFrame", 1680, 960, 1215, 285},
        {"geometryFrame", "centralwidget", 240, 2400, 3255, 2055},
        {"widthLabel", "geometryFrame", 360, 480, 1095, 255},
        {"widthEdit", "geometryFrame", 1680, 480, 1215, 285},
        {"heightLabel", "geometryFrame", 480, 840, 855, 255},
        {"heightEdit", "geometryFrame", 1680, 840, 1215, 285},
        {"coverLabel", "geometryFrame", 720, 1200, 855, 255},
        {"coverEdit", "geometryFrame", 1680, 1200, 1215, 285},
        {"compressionCoverLabel", "geometryFrame", 720, 1560, 615, 255},
        {"compressionCoverEdit", "geometryFrame", 1680, 1560, 1215, 285},
        {"calculateButton", "centralwidget", 480, 5400, 1215, 855},
        {"clearButton", "centralwidget", 2040, 5400, 1215, 855},
        {"exitButton", "centralwidget", 3600, 5400, 1335, 855},
        {"barTableButton", "centralwidget", 480, 6360, 1215, 855},
        {"aboutButton", "centralwidget", 2040, 6360, 1215, 855},
        {"suppliedSteelFrame", "centralwidget", 3600, 600, 3495, 2535},
        {"compressionSteelFrame", "suppliedSteelFrame", 120, 240, 3255, 1095},
        {"compressionCountCombo", "compressionSteelFrame", 120, 240, 615, 315},
        {"compressionPhiLabel", "compressionSteelFrame", 720, 240, 135, 255},
        {"compressionHashLabel", "compressionSteelFrame", 960, 240, 255, 255},
        {"compressionBarCombo", "compressionSteelFrame", 1200, 240, 615, 315},
        {"compressionAreaEdit", "compressionSteelFrame", 1920, 240, 735, 405},
        {"compressionAreaUnitLabel", "compressionSteelFrame", 2760, 360, 255, 255},
        {"compressionAreaSquareLabel", "compressionSteelFrame", 3000, 360, 135, 255},
        {"compressionSteelLabel", "compressionSteelFrame", 480, 600, 1815, 375},
        {"tensionTitleLabel", "suppliedSteelFrame", 360, 1440, 1455, 255},
        {"tensionCountCombo", "suppliedSteelFrame", 240, 1680, 615, 315},
        {"tensionPhiLabel", "suppliedSteelFrame", 840, 1680, 135, 255},
        {"tensionHashLabel", "suppliedSteelFrame", 1080, 1680, 255, 255},
        {"tensionBarCombo", "suppliedSteelFrame", 1320, 1680, 615, 315},
        {"tensionAreaEdit", "suppliedSteelFrame", 2040, 1680, 735, 375},
        {"tensionAreaUnitLabel", "suppliedSteelFrame", 2880, 1800, 255, 255},
        {"tensionAreaSquareLabel", "suppliedSteelFrame", 3120, 1800, 135, 255},
        {"tensionSteelLabel", "suppliedSteelFrame", 840, 2040, 1695, 375},
        {"sectionFrame", "centralwidget", 7440, 600, 2535, 2535},
        {"resultsFrame", "centralwidget", 5040, 3240, 4815, 3735},
        {"resultsBox", "resultsFrame", 360, 240, 3975, 3375},
        {"sectionOutline", "sectionFrame", 720, 240, 1335, 1815},
        {"topLeftBarMark", "sectionFrame", 960, 360, 135, 135},
        {"topRightBarMark", "sectionFrame", 1680, 360, 135, 135},
        {"bottomLeftBarMark", "sectionFrame", 960, 1680, 135, 135},
        {"bottomRightBarMark", "sectionFrame", 1680, 1680, 135, 135},
        {"compressionSteelMark", "sectionFrame", 1320, 480, 255, 255},
        {"tensionSteelMark", "sectionFrame", 1320, 1560, 255, 255},
        {"heightMark", "sectionFrame", 240, 960, 135, 255},
        {"widthMark", "sectionFrame", 1320, 2160, 135, 255},
        {"depthMark", "sectionFrame", 2160, 960, 255, 255},
        {"coverMark", "sectionFrame", 2280, 1800, 135, 255},
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << r.name << r.container << QRect(r.left, r.top, r.width, r.height);

    // Lines: from one end to the other, both ends drawn, one pixel wide unless stated.
    struct LineRow {
        const char* name;
        const char* container;
        int x1, y1, x2, y2, pixels;
    };
    const LineRow lines[] = {
        {"titleLine", "centralwidget", 480, 480, 8640, 480, 2},
        {"heightLineUpper", "sectionFrame", 360, 240, 360, 960, 1},
        {"heightLineLower", "sectionFrame", 360, 1200, 360, 1920, 1},
        {"heightTickTop", "sectionFrame", 360, 240, 480, 240, 1},
        {"heightTickBottom", "sectionFrame", 360, 1920, 480, 1920, 1},
        {"widthLineLeft", "sectionFrame", 720, 2280, 1200, 2280, 1},
        {"widthLineRight", "sectionFrame", 1560, 2280, 2040, 2280, 1},
        {"widthTickLeft", "sectionFrame", 720, 2280, 720, 2160, 1},
        {"widthTickRight", "sectionFrame", 2040, 2280, 2040, 2160, 1},
        {"depthLine", "sectionFrame", 2280, 240, 2280, 2040, 1},
        {"depthTickTop", "sectionFrame", 2280, 240, 2160, 240, 1},
        {"depthTickBottom", "sectionFrame", 2280, 2040, 2160, 2040, 1},
        {"coverTick", "sectionFrame", 2280, 1800, 2160, 1800, 1},
    };
    for (const LineRow& l : lines) {
        const int left = std::min(l.x1, l.x2), top = std::min(l.y1, l.y2);
        const int along = l.y1 == l.y2 ? std::abs(l.x2 - l.x1) + 15 : l.pixels * 15;
        const int across = l.y1 == l.y2 ? l.pixels * 15 : std::abs(l.y2 - l.y1) + 15;
        QTest::newRow(l.name) << l.name << l.container << QRect(left, top, along, across);
    }
}

void TestMainWindow::geometry() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    MainWindow* form = openMainWindow();
    const QWidget* w = child<QWidget>(form, name);
    QVERIFY(w);
    QCOMPARE(w->parentWidget()->objectName(), container);
    const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(w->geometry(), expected);
    form->resize(1100, 900);
    QTest::qWait(10);
    QCOMPARE(w->geometry(), expected);
    form->showMaximized();
    QTest::qWait(10);
    QCOMPARE(w->geometry(), expected);
}

void TestMainWindow::tabOrder_data() {
    QTest::addColumn<bool>("doubly");
    QTest::addColumn<QStringList>("order");
    const QStringList start{"widthEdit",
                            "heightEdit",
                            "coverEdit",
                            "fcEdit",
                            "fyEdit",
                            "momentEdit",
                            "compressionCoverEdit",
                            "calculateButton",
                            "clearButton",
                            "exitButton",
                            "resultsBox",
                            "aboutButton",
                            "tensionCountCombo",
                            "tensionBarCombo",
                            "tensionAreaEdit"};
    QTest::newRow("compressionSteelFrame hidden")
        << false << start + QStringList{"barTableButton", "widthEdit"};
    QTest::newRow("compressionSteelFrame shown")
        << true
        << start + QStringList{"compressionCountCombo", "compressionBarCombo",
                               "compressionAreaEdit", "barTableButton", "widthEdit"};
}

void TestMainWindow::tabOrder() {
    QFETCH(bool, doubly);
    QFETCH(QStringList, order);
    MainWindow* form = openMainWindow();
    if (doubly) {
        field(form, 5)->setText(QStringLiteral("5"));
        form->calculate();
    }
    field(form, 0)->setFocus();
    for (const QString& name : order) {
        const QWidget* expected = child<QWidget>(form, name);
        QVERIFY2(hasFocusIn(expected), qPrintable(name + QStringLiteral(" expected, focus in ") +
                                                  QApplication::focusWidget()->objectName()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void TestMainWindow::menus_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("menu");  // empty: on the menu bar itself
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");  // empty: a separator
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("atAction") << "atAction"
                              << "" << 0 << "@" << QKeySequence();
    QTest::newRow("newAction") << "newAction"
                               << "fileMenu" << 0 << "&Nuevo" << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("openAction") << "openAction"
                                << "fileMenu" << 1 << "&Abrir..."
                                << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("saveAction") << "saveAction"
                                << "fileMenu" << 2 << "&Guardar"
                                << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("saveAsAction") << "saveAsAction"
                                  << "fileMenu" << 3 << "Guardar &como..."
                                  << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    QTest::newRow("projectSeparator") << "projectSeparator"
                                      << "fileMenu" << 5 << "" << QKeySequence();
    QTest::newRow("exportPdfAction")
        << "exportPdfAction"
        << "fileMenu" << 6 << "Exportar a P&DF..." << QKeySequence(Qt::CTRL | Qt::Key_E);
    QTest::newRow("exportDxfAction")
        << "exportDxfAction"
        << "fileMenu" << 7 << "Exportar a D&XF..." << QKeySequence();
    QTest::newRow("printAction") << "printAction"
                                 << "fileMenu" << 8 << "Im&primir" << QKeySequence();
    QTest::newRow("fileSeparator") << "fileSeparator"
                                   << "fileMenu" << 9 << "" << QKeySequence();
    QTest::newRow("exitAction") << "exitAction"
                                << "fileMenu" << 10 << "&Salir" << QKeySequence();
    QTest::newRow("calculateAction") << "calculateAction"
                                     << "" << 2 << "&Calcular" << QKeySequence();
    QTest::newRow("infoAction") << "infoAction"
                                << "helpMenu" << 0 << "&Informacion" << QKeySequence();
    QTest::newRow("barTableAction") << "barTableAction"
                                    << "helpMenu" << 1 << "&Tabla de Dimensiones de Acero"
                                    << QKeySequence(Qt::CTRL | Qt::Key_T);
    QTest::newRow("helpSeparator") << "helpSeparator"
                                   << "helpMenu" << 2 << "" << QKeySequence();
    QTest::newRow("aboutAction") << "aboutAction"
                                 << "helpMenu" << 3 << "Acerca de..." << QKeySequence();
    QTest::newRow("nsr98Action") << "nsr98Action"
                                 << "codeMenu" << 0 << "NSR-&98" << QKeySequence();
    QTest::newRow("nsr10Action") << "nsr10Action"
                                 << "codeMenu" << 1 << "NSR-1&0" << QKeySequence();
}

void TestMainWindow::menus() {
    QFETCH(QString, name);
    QFETCH(QString, menu);
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    const MainWindow* form = openMainWindow();
    auto* action = child<QAction>(form, name);
    QVERIFY(action);
    const QList<QAction*> bar = form->menuBar()->actions();
    QCOMPARE(bar.size(), 6);
    QCOMPARE(bar.at(1)->text(), QStringLiteral("&Archivo"));
    QCOMPARE(bar.at(3)->text(), QStringLiteral("&Refuerzo"));
    QCOMPARE(bar.at(4)->text(), QStringLiteral("A&yuda"));
    QCOMPARE(bar.at(5)->text(), QStringLiteral("&Norma"));
    const QList<QAction*> siblings = menu.isEmpty() ? bar : child<QMenu>(form, menu)->actions();
    QCOMPARE(siblings.indexOf(action), position);
    QCOMPARE(action->isSeparator(), caption.isEmpty());
    if (!caption.isEmpty()) QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QVERIFY(action->isEnabled());
    QVERIFY(!action->menu());
}

void TestMainWindow::enabling_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    for (int i = 0; i < 7; ++i) {
        QTest::addRow("%s emptied", inputNames[i]) << i << "" << false;
        QTest::addRow("%s blank", inputNames[i]) << i << " " << true;
    }
    QTest::newRow("not a number still enables") << 3 << "abc" << true;
}

void TestMainWindow::enabling() {
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    const MainWindow* form = openMainWindow();
    field(form, index)->setText(text);
    QCOMPARE(calculateEnabled(form), enabled);
    QCOMPARE(child<QAction>(form, QStringLiteral("calculateAction"))->isEnabled(), enabled);
}

void TestMainWindow::enablingByTyping() {
    const MainWindow* form = openMainWindow();
    QLineEdit* h = field(form, 1);
    h->setFocus();
    h->selectAll();
    QTest::keyClick(h, Qt::Key_Backspace);
    QVERIFY(!calculateEnabled(form));
    QVERIFY(!child<QAction>(form, QStringLiteral("calculateAction"))->isEnabled());
    QTest::keyClicks(h, QStringLiteral("2"));
    QVERIFY(calculateEnabled(form));
    QVERIFY(child<QAction>(form, QStringLiteral("calculateAction"))->isEnabled());
}

void TestMainWindow::borraClearsAndDisables() {
    MainWindow* form = openMainWindow();
    field(form, 5)->setText(QStringLiteral("5"));
    form->calculate();
    QVERIFY(form->lastDesign());
    auto* combo1 = child<QComboBox>(form, QStringLiteral("tensionCountCombo"));
    auto* combo2 = child<QComboBox>(form, QStringLiteral("tensionBarCombo"));
    combo1->setEditText(QStringLiteral("3"));
    combo2->setEditText(QStringLiteral("4"));
    const QString area = child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"))->text();
    QCOMPARE(area, QStringLiteral("3.87"));

    QTest::mouseClick(child<QToolButton>(form, QStringLiteral("clearButton")), Qt::LeftButton);

    for (int i = 0; i < 7; ++i) QCOMPARE(field(form, i)->text(), QStringLiteral(" "));
    QCOMPARE(reportOf(form), QStringLiteral(" "));
    QCOMPARE(resultsText(form), QStringLiteral(" "));
    QVERIFY(!calculateEnabled(form));
    QVERIFY(!child<QAction>(form, QStringLiteral("calculateAction"))->isEnabled());
    // Selectors, the compression frame and the stored result stay as they were.
    QCOMPARE(combo1->currentText(), QStringLiteral("3"));
    QCOMPARE(combo2->currentText(), QStringLiteral("4"));
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"))->text(), area);
    QVERIFY(child<QGroupBox>(form, QStringLiteral("compressionSteelFrame"))->isVisible());
    QVERIFY(form->lastDesign());
    QCOMPARE(form->lastDesign()->run.kind(), engine::SectionKind::Doubly);
}

void TestMainWindow::afterBorraTypingEnablesButNumberTestFails_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 7; ++i) QTest::newRow(inputNames[i]) << i;
}

void TestMainWindow::afterBorraTypingEnablesButNumberTestFails() {
    QFETCH(int, index);
    MainWindow* form = openMainWindow();
    form->clearInputs();
    QLineEdit* typed = field(form, index);
    typed->setFocus();
    QTest::keyClick(typed, Qt::Key_End);
    QTest::keyClicks(typed, QStringLiteral("7"));
    QVERIFY(calculateEnabled(form));
    const auto box = ModalWatcher::instance().answerMessageBox([&] {
        QTest::mouseClick(child<QToolButton>(form, QStringLiteral("calculateButton")),
                          Qt::LeftButton);
    });
    QVERIFY(box);
    QCOMPARE(box->text, notNumbers);
    QCOMPARE(reportOf(form), QStringLiteral(" "));
    QVERIFY(!form->lastDesign());
}

void TestMainWindow::buttonAndMenuGiveSameReport_data() {
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<bool>("doubly");
    QTest::addColumn<QString>("as");
    QTest::addColumn<QString>("asPrime");
    QTest::newRow("defaults") << Inputs{"100", "15", "5", "210", "4200", "1", "5"} << false
                              << "3.33"
                              << "";
    QTest::newRow("Mu 5") << Inputs{"100", "15", "5", "210", "4200", "5", "5"} << true << "16.49"
                          << "0.56";
    QTest::newRow("Mu 6 d'' 4") << Inputs{"100", "15", "5", "210", "4200", "6", "4"} << true
                                << "20.81"
                                << "4.87";
    QTest::newRow("f'c 350") << Inputs{"30", "50", "5", "350", "4200", "40", "5"} << false
                             << "27.46"
                             << "";
    QTest::newRow("blanks around")
        << Inputs{" 100 ", "15", "5", "210", "4200", " 1", "5 "} << false << "3.33"
        << "";
}

void TestMainWindow::buttonAndMenuGiveSameReport() {
    QFETCH(Inputs, inputs);
    QFETCH(bool, doubly);
    QFETCH(QString, as);
    QFETCH(QString, asPrime);
    const LocaleGuard locale(QLocale::c());
    MainWindow* form = openMainWindow();
    typeInputs(form, inputs);

    QTest::mouseClick(child<QToolButton>(form, QStringLiteral("calculateButton")), Qt::LeftButton);
    const QString byButton = resultsText(form);
    QVERIFY(form->lastDesign());
    const engine::nsr98::DesignResult* stored = form->lastDesign()->run.nsr98();
    QVERIFY(stored);
    const engine::nsr98::ReportValues texts = engine::nsr98::reportValues(*stored, '.');
    QCOMPARE(QString::fromStdString(texts.as), as);
    QCOMPARE(QString::fromStdString(texts.asPrime), asPrime);
    QCOMPARE(stored->kind, doubly ? engine::SectionKind::Doubly : engine::SectionKind::Singly);
    QCOMPARE(child<QGroupBox>(form, QStringLiteral("compressionSteelFrame"))->isVisible(), doubly);

    // The box shows one line per report line; the exact text keeps its CR LF.
    QCOMPARE(byButton, QString::fromStdString(engine::nsr98::resultsReport(texts)));
    QVERIFY(!reportOf(form).contains(QLatin1Char('\r')));
    QCOMPARE(reportOf(form).split(QLatin1Char('\n')).size(), doubly ? 16 : 15);
    QVERIFY(byButton.startsWith(
        QString::fromUtf8("********  DISEÑO DE VIGA DE CONCRETO ********\r\n\r\n")));
    QVERIFY(byButton.contains(QStringLiteral("\r\n Area de Refuerzo : ") + as +
                              QStringLiteral(" cm2\r\n")));

    child<QPlainTextEdit>(form, QStringLiteral("resultsBox"))->setPlainText(QString());
    child<QAction>(form, QStringLiteral("calculateAction"))->trigger();
    QCOMPARE(resultsText(form), byButton);
}

void TestMainWindow::frame6FollowsSectionKind() {
    MainWindow* form = openMainWindow();
    auto* frame6 = child<QGroupBox>(form, QStringLiteral("compressionSteelFrame"));
    const std::pair<const char*, bool> runs[] = {
        {"5", true}, {"1", false}, {"6", true}, {"0", false}};
    for (const auto& [mu, shown] : runs) {
        field(form, 5)->setText(QString::fromLatin1(mu));
        form->calculate();
        QVERIFY2(frame6->isVisible() == shown, mu);
    }
}

void TestMainWindow::errorsLeaveEverything_data() {
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << Inputs{"100", "15", "5", "abc", "4200", "1", "5"} << notNumbers;
    QTest::newRow("blank") << Inputs{" ", "15", "5", "210", "4200", "1", "5"} << notNumbers;
    QTest::newRow("comma with point locale")
        << Inputs{"100", "15", "5", "210", "4200", "1,5", "5"} << notNumbers;
    QTest::newRow("exponent") << Inputs{"100", "15", "5", "210", "4.2e3", "1", "5"} << notNumbers;
    QTest::newRow("h equal to d'")
        << Inputs{"100", "5", "5", "210", "4200", "1", "5"} << coverError;
    QTest::newRow("h below d'") << Inputs{"100", "4", "5", "210", "4200", "1", "5"} << coverError;
    QTest::newRow("d equal to d'")
        << Inputs{"100", "10", "5", "210", "4200", "5", "5"} << depthError;
    QTest::newRow("zero width") << Inputs{"0", "15", "5", "210", "4200", "1", "5"}
                                << arithmeticError;
    QTest::newRow("zero f'c") << Inputs{"100", "15", "5", "0", "4200", "1", "5"} << arithmeticError;
    QTest::newRow("zero Fy") << Inputs{"100", "15", "5", "210", "0", "1", "5"} << arithmeticError;
    QTest::newRow("negative f'c") << Inputs{"100", "15", "5", "-210", "4200", "1", "5"}
                                  << arithmeticError;
}

void TestMainWindow::errorsLeaveEverything() {
    QFETCH(Inputs, inputs);
    QFETCH(QString, message);
    const LocaleGuard locale(QLocale::c());
    MainWindow* form = openMainWindow();
    field(form, 5)->setText(QStringLiteral("5"));
    form->calculate();
    const QString report = resultsText(form);
    const double storedAs = form->lastDesign()->run.as();
    auto* frame6 = child<QGroupBox>(form, QStringLiteral("compressionSteelFrame"));
    QVERIFY(frame6->isVisible());

    typeInputs(form, inputs);
    const auto box = ModalWatcher::instance().answerMessageBox([&] {
        QTest::mouseClick(child<QToolButton>(form, QStringLiteral("calculateButton")),
                          Qt::LeftButton);
    });
    QVERIFY(box);
    QCOMPARE(box->title, QStringLiteral("Error"));
    QCOMPARE(box->icon, QMessageBox::Critical);
    QCOMPARE(box->buttons.size(), 1);
    QCOMPARE(QString(box->buttons.first()).remove(QLatin1Char('&')), QStringLiteral("OK"));
    QCOMPARE(box->text, message);

    QCOMPARE(resultsText(form), report);
    QVERIFY(frame6->isVisible());
    QVERIFY(form->lastDesign());
    QCOMPARE(form->lastDesign()->run.as(), storedAs);
}

void TestMainWindow::suppliedSteel_data() {
    QTest::addColumn<bool>("compression");
    QTest::addColumn<bool>("fromList");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("designation");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("description");
    struct Row {
        const char* name;
        const char* count;
        const char* designation;
        const char* area;
        const char* description;
        bool inLists;
    };
    const Row rows[] = {
        {"3 x 4", "3", "4", "3.87", "3 Barras 1/2 \"", true},
        {"1 x 2", "1", "2", "0.32", "1 Barras 1/4 \"", true},
        {"25 x 18", "25", "18", "645.25", "25 Barras 2-1/4 \"", true},
        {"3 x 5", "3", "5", "6", "3 Barras 5/8 \"", true},
        {"10 x 10", "10", "10", "81.9", "10 Barras 1-1/4 \"", true},
        {"2 x 8", "2", "8", "10.2", "2 Barras 1 \"", true},
        {"2.5 x 4", "2.5", "4", "3.225", "2.5 Barras 1/2 \"", false},
        {"3 x 12", "3", "12", "0", "3 Barras \"", false},
        {"30 x 4.0", "30", "4.0", "38.7", "30 Barras 1/2 \"", false},
        {"-3 x 04", "-3", "04", "-3.87", "-3 Barras 1/2 \"", false},
    };
    for (bool compression : {false, true})
        for (const Row& r : rows)
            for (bool fromList : {false, true}) {
                if (fromList && !r.inLists) continue;
                QTest::addRow("%s %s %s", compression ? "compression" : "tension",
                              fromList ? "chosen" : "typed", r.name)
                    << compression << fromList << r.count << r.designation << r.area
                    << r.description;
            }
}

void TestMainWindow::suppliedSteel() {
    QFETCH(bool, compression);
    QFETCH(bool, fromList);
    QFETCH(QString, count);
    QFETCH(QString, designation);
    QFETCH(QString, area);
    QFETCH(QString, description);
    const LocaleGuard locale(QLocale::c());
    MainWindow* form = openMainWindow();
    if (compression) {
        field(form, 5)->setText(QStringLiteral("5"));
        form->calculate();
    }
    const char* const names[2][4] = {
        {"tensionCountCombo", "tensionBarCombo", "tensionAreaEdit", "tensionSteelLabel"},
        {"compressionCountCombo", "compressionBarCombo", "compressionAreaEdit",
         "compressionSteelLabel"}};
    const auto& own = names[compression ? 1 : 0];
    const auto& other = names[compression ? 0 : 1];
    auto* countBox = child<QComboBox>(form, QString::fromLatin1(own[0]));
    auto* designationBox = child<QComboBox>(form, QString::fromLatin1(own[1]));
    QVERIFY(countBox->isVisible());

    if (fromList) {
        chooseFromList(countBox, count);
        chooseFromList(designationBox, designation);
    } else {
        typeInto(countBox, count);
        typeInto(designationBox, designation);
    }
    QCOMPARE(countBox->currentText(), count);
    QCOMPARE(designationBox->currentText(), designation);
    QCOMPARE(child<QLineEdit>(form, QString::fromLatin1(own[2]))->text(), area);
    QCOMPARE(child<QLabel>(form, QString::fromLatin1(own[3]))->text(), description);
    // The other group is untouched, and the lists never grow.
    QCOMPARE(child<QLineEdit>(form, QString::fromLatin1(other[2]))->text(), QString());
    QCOMPARE(child<QLabel>(form, QString::fromLatin1(other[3]))->text(), QString());
    QCOMPARE(countBox->count(), 25);
    QCOMPARE(designationBox->count(), 12);
}

void TestMainWindow::suppliedSteelWithoutNumbers_data() {
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("designation");
    QTest::newRow("count cleared") << ""
                                   << "4";
    QTest::newRow("designation cleared") << "3"
                                         << "";
    QTest::newRow("count letters") << "x"
                                   << "4";
    QTest::newRow("designation letters") << "3"
                                         << "N4";
    QTest::newRow("count comma") << "2,5"
                                 << "4";
    QTest::newRow("only a sign") << "-"
                                 << "4";
}

void TestMainWindow::suppliedSteelWithoutNumbers() {
    QFETCH(QString, count);
    QFETCH(QString, designation);
    const LocaleGuard locale(QLocale::c());
    MainWindow* form = openMainWindow();
    auto* countBox = child<QComboBox>(form, QStringLiteral("tensionCountCombo"));
    auto* designationBox = child<QComboBox>(form, QStringLiteral("tensionBarCombo"));
    auto* area = child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"));
    auto* label = child<QLabel>(form, QStringLiteral("tensionSteelLabel"));
    typeInto(countBox, QStringLiteral("2"));
    QCOMPARE(area->text(), QStringLiteral("0.64"));

    typeInto(countBox, count);
    typeInto(designationBox, designation);
    QCOMPARE(area->text(), QString());
    QCOMPARE(label->text(), QString());

    // Valid texts again: the group computes at once.
    typeInto(countBox, QStringLiteral("3"));
    typeInto(designationBox, QStringLiteral("4"));
    QCOMPARE(area->text(), QStringLiteral("3.87"));
    QCOMPARE(label->text(), QStringLiteral("3 Barras 1/2 \""));
}

void TestMainWindow::selectorsKeepTypedText() {
    const LocaleGuard locale(QLocale::c());
    MainWindow* form = openMainWindow();
    // "1" begins "10", "11", "14" and "18" in the designation list: it must stay "1".
    auto* designationBox = child<QComboBox>(form, QStringLiteral("tensionBarCombo"));
    typeInto(designationBox, QStringLiteral("1"));
    QCOMPARE(designationBox->currentText(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"))->text(),
             QStringLiteral("0"));
    QCOMPARE(child<QLabel>(form, QStringLiteral("tensionSteelLabel"))->text(),
             QStringLiteral("1 Barras \""));

    // Enter keeps the typed count and adds nothing to the list.
    auto* countBox = child<QComboBox>(form, QStringLiteral("tensionCountCombo"));
    typeInto(designationBox, QStringLiteral("2"));
    typeInto(countBox, QStringLiteral("30"));
    QTest::keyClick(countBox, Qt::Key_Return);
    QCOMPARE(countBox->currentText(), QStringLiteral("30"));
    QCOMPARE(countBox->count(), 25);
    QCOMPARE(countBox->findText(QStringLiteral("30")), -1);
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"))->text(),
             QStringLiteral("9.6"));
}

void TestMainWindow::commaLocale_data() {
    QTest::addColumn<QString>("mu");
    QTest::addColumn<QString>("expected");  // a line of the report, or the message
    QTest::newRow("4,5 is four and a half") << "4,5"
                                            << " Ku : 0,04500000 Tn/cm2";
    QTest::newRow("values show commas") << "1"
                                        << " Alfa : 0,7225";
    QTest::newRow("ratio with comma") << "1"
                                      << " ro minimo : 0,0033333";
    QTest::newRow("a point is not a number") << "4.5" << notNumbers;
}

void TestMainWindow::commaLocale() {
    QFETCH(QString, mu);
    QFETCH(QString, expected);
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    MainWindow* form = openMainWindow();
    field(form, 5)->setText(mu);
    const auto box = ModalWatcher::instance().answerMessageBox([&] { form->calculate(); });
    if (expected == notNumbers) {
        QVERIFY(box);
        QCOMPARE(box->text, notNumbers);
        QVERIFY(!form->lastDesign());
        return;
    }
    QVERIFY(!box);
    QVERIFY2(resultsText(form).split(QStringLiteral("\r\n")).contains(expected),
             qPrintable(resultsText(form)));

    auto* countBox = child<QComboBox>(form, QStringLiteral("tensionCountCombo"));
    typeInto(countBox, QStringLiteral("2,5"));
    typeInto(child<QComboBox>(form, QStringLiteral("tensionBarCombo")), QStringLiteral("4"));
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("tensionAreaEdit"))->text(),
             QStringLiteral("3,225"));
}

void TestMainWindow::commands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::newRow("@") << "atAction"
                       << "SplashWindow";
    QTest::newRow("Acerca de") << "aboutAction"
                               << "SplashWindow";
    QTest::newRow("flag") << "aboutButton"
                          << "SplashWindow";
    QTest::newRow("Informacion") << "infoAction"
                                 << "InfoWindow";
    QTest::newRow("Tabla") << "barTableAction"
                           << "BarTableWindow";
    QTest::newRow("Diametros") << "barTableButton"
                               << "BarTableWindow";
    QTest::newRow("Ctrl+T") << "Ctrl+T"
                            << "BarTableWindow";
}

void TestMainWindow::commands() {
    QFETCH(QString, command);
    QFETCH(QString, window);
    MainWindow* form = openMainWindow();
    field(form, 2)->setText(QStringLiteral("7"));
    if (command == QStringLiteral("Ctrl+T"))
        QTest::keyClick(form, Qt::Key_T, Qt::ControlModifier);
    else if (auto* button = form->findChild<QToolButton*>(command))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        child<QAction>(form, command)->trigger();
    QWidget* shown = nullptr;
    if (window == QStringLiteral("SplashWindow")) shown = windows::loadedSplash();
    if (window == QStringLiteral("InfoWindow")) shown = windows::loadedInfo();
    if (window == QStringLiteral("BarTableWindow")) shown = windows::loadedBarTable();
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    // The main window stays open with its contents.
    QCOMPARE(windows::loadedMainWindow(), form);
    QCOMPARE(field(form, 2)->text(), QStringLiteral("7"));
}

void TestMainWindow::exitCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("menu Salir") << "exitAction";
    QTest::newRow("button Salir") << "exitButton";
}

void TestMainWindow::exitCommands() {
    QFETCH(QString, command);
    MainWindow* form = openMainWindow();
    windows::showBarTable();
    // Chosen inside the program's event loop, which must then end with status 0.
    QTimer::singleShot(0, form, [&] {
        if (auto* button = form->findChild<QToolButton*>(command))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            child<QAction>(form, command)->trigger();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!form->isVisible());
    QVERIFY(!windows::loadedBarTable() || !windows::loadedBarTable()->isVisible());
}

void TestMainWindow::printCommandAsksForPrinter() {
    MainWindow* form = openMainWindow();
    const auto dialog = ModalWatcher::instance().cancelDialog(
        [&] { child<QAction>(form, QStringLiteral("printAction"))->trigger(); });
    QVERIFY(dialog);
}

void TestMainWindow::altCCalculates() {
    MainWindow* form = openMainWindow();
    QTest::keyClick(form, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(form->lastDesign());
    QCOMPARE(reportOf(form).split(QLatin1Char('\n')).size(), 15);
}

void TestMainWindow::statusBar() {
    const LocaleGuard locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const MainWindow* form = openMainWindow();
    auto* bar = child<QStatusBar>(form, QStringLiteral("statusBar"));
    QCOMPARE(form->statusBar(), bar);
    // The client area: 689 x 505 pixels below the menu bar, the status bar at its foot.
    const QWidget* central = form->centralWidget();
    QCOMPARE(central->width(), 689);
    QCOMPARE(bar->geometry(), QRect(0, central->geometry().top() + 488, 689, 17));
    QVERIFY(bar->font().bold());

    auto* credit = child<QLabel>(bar, QStringLiteral("creditPanel"));
    auto* time = child<QLabel>(bar, QStringLiteral("timePanel"));
    auto* date = child<QLabel>(bar, QStringLiteral("datePanel"));
    QVERIFY(credit->text().startsWith(QStringLiteral("Quintaral " QUINTARAL_VERSION)));
    QCOMPARE(credit->toolTip(), credit->text());
    QCOMPARE(time->toolTip(), QStringLiteral("Fecha/Hora"));
    auto* code = child<QLabel>(bar, QStringLiteral("codePanel"));
    QVERIFY(credit->x() < code->x() && code->x() < time->x() && time->x() < date->x());
    QCOMPARE(code->text(), QStringLiteral("NSR-98"));
    QCOMPARE(code->toolTip(), QString::fromUtf8("Norma de diseño"));
    QVERIFY(code->width() >= code->sizeHint().width());
    QVERIFY(credit->width() >= 394);
    QVERIFY(time->width() >= 96 && date->width() >= 96);
    const QLocale us;
    QTRY_COMPARE(time->text(), us.toString(QTime::currentTime(), QLocale::ShortFormat));
    QTRY_COMPARE(date->text(), us.toString(QDate::currentDate(), QLocale::ShortFormat));
}

QUINTARAL_GUI_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

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

#include "bartable/form2.h"
#include "common/windows.h"
#include "engine/report.h"
#include "form1/form1.h"
#include "guitest.h"
#include "info/frmprint.h"
#include "splash/frmsplash.h"

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

const char* const inputNames[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"};

// The seven inputs b, h, d', f'c, Fy, Mu, d'' as typed.
using Inputs = QStringList;

template <class T>
T* child(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found) qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

Form1* openForm1() {
    windows::showForm1();
    Form1* form = windows::loadedForm1();
    if (form && !QTest::qWaitForWindowActive(form)) qWarning("Form1 did not become active");
    return form;
}

QLineEdit* field(const Form1* form, int index) {
    return child<QLineEdit>(form, QString::fromLatin1(inputNames[index]));
}

void typeInputs(Form1* form, const Inputs& inputs) {
    for (int i = 0; i < 7; ++i) field(form, i)->setText(inputs.at(i));
}

bool calculateEnabled(const Form1* form) {
    return child<QToolButton>(form, QStringLiteral("Cmdcalcular"))->isEnabled();
}

QString reportOf(const Form1* form) {
    return child<QPlainTextEdit>(form, QStringLiteral("Text8"))->toPlainText();
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

class Test_form1 : public GuiTestCase {
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

void Test_form1::initialTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const std::pair<const char*, const char*> rows[] = {
        {"Text1", "100"},   {"Text2", "15"},   {"Text3", "5"},  {"Text4", "210"},
        {"Text5", "4200"},  {"Text6", "1"},    {"Text7", "5"},  {"Text8", ""},
        {"areatxt", ""},    {"areatxtD", ""},  {"Combo1", "1"}, {"Combo2", "2"},
        {"Combo3", "1"},    {"Combo4", "2"},   {"Label20", ""}, {"Label21", ""},
        {"Label15_0", "φ"}, {"Label15_1", "φ"}};
    for (const auto& [name, text] : rows) QTest::newRow(name) << name << QString::fromUtf8(text);
}

void Test_form1::initialTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    const Form1* form = openForm1();
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

void Test_form1::initialState() {
    Form1* form = openForm1();
    QCOMPARE(form->windowTitle(),
             QStringLiteral("Calculo del Acero de Refuerzo en Vigas de Concreto Reforzado"));
    QVERIFY(!child<QGroupBox>(form, QStringLiteral("Frame6"))->isVisible());
    QVERIFY(calculateEnabled(form));
    QVERIFY(child<QAction>(form, QStringLiteral("mnucalcular"))->isEnabled());
    QVERIFY(!form->storedRun());
    QVERIFY(hasFocusIn(field(form, 0)));
    QVERIFY(child<QLineEdit>(form, QStringLiteral("areatxt"))->isReadOnly());
    QVERIFY(child<QLineEdit>(form, QStringLiteral("areatxtD"))->isReadOnly());
    auto* text8 = child<QPlainTextEdit>(form, QStringLiteral("Text8"));
    QVERIFY(text8->isReadOnly());
    QCOMPARE(text8->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text8->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // The lists hold the counts 1 to 25 and the twelve designations, each once.
    for (const char* name : {"Combo1", "Combo3"}) {
        auto* box = child<QComboBox>(form, QString::fromLatin1(name));
        QCOMPARE(box->count(), 25);
        QCOMPARE(box->itemText(0), QStringLiteral("1"));
        QCOMPARE(box->itemText(24), QStringLiteral("25"));
    }
    QStringList designations;
    for (const char* name : {"Combo2", "Combo4"}) {
        auto* box = child<QComboBox>(form, QString::fromLatin1(name));
        designations.clear();
        for (int i = 0; i < box->count(); ++i) designations << box->itemText(i);
        QCOMPARE(designations.join(QLatin1Char(' ')),
                 QStringLiteral("2 3 4 5 6 7 8 9 10 11 14 18"));
    }
    QVERIFY(!QApplication::windowIcon().isNull());
    for (const char* name : {"Cmdcalcular", "Command1", "Command2", "Command3", "Command4"})
        QVERIFY2(!child<QToolButton>(form, QString::fromLatin1(name))->icon().isNull(), name);
}

void Test_form1::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("default") << "Text1"
                             << "Liberation Sans" << 8.25 << false;
    QTest::newRow("title") << "Label14"
                           << "Comic Neue" << 12.0 << false;
    QTest::newRow("frame5 caption") << "Frame5"
                                    << "Comic Neue" << 8.25 << false;
    QTest::newRow("inside frame5") << "Label19"
                                   << "Liberation Sans" << 8.25 << false;
    QTest::newRow("inside frame6") << "Combo3"
                                   << "Liberation Sans" << 8.25 << false;
    QTest::newRow("phi") << "Label15_0"
                         << "Liberation Sans" << 9.75 << false;
    QTest::newRow("hash") << "Label16_1"
                          << "Liberation Sans" << 12.0 << false;
    QTest::newRow("raised 2") << "Label18_0"
                              << "Liberation Sans" << 6.0 << false;
    QTest::newRow("Label20") << "Label20"
                             << "Liberation Sans" << 8.25 << true;
    QTest::newRow("Label21") << "Label21"
                             << "Liberation Sans" << 8.25 << true;
    QTest::newRow("status bar") << "Panel1"
                                << "Liberation Sans" << 8.25 << true;
}

void Test_form1::fonts() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    const Form1* form = openForm1();
    const QWidget* w = child<QWidget>(form, name);
    QVERIFY(w);
    QCOMPARE(QFontInfo(w->font()).family(), family);
    QCOMPARE(w->font().pointSizeF(), points);
    QCOMPARE(w->font().bold(), bold);
}

void Test_form1::geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");  // left, top, width, height
    struct Row {
        const char* name;
        const char* container;
        int left, top, width, height;
    };
    const Row rows[] = {
        {"Label14", "centralwidget", 0, 120, 9495, 615},
        {"Frame1", "centralwidget", 240, 720, 3255, 1575},
        {"Label1_0", "Frame1", 360, 240, 1215, 255},
        {"Text4", "Frame1", 1680, 240, 1215, 285},
        {"Label2", "Frame1", 360, 600, 1095, 255},
        {"Text5", "Frame1", 1680, 600, 1215, 285},
        {"Label3", "Frame1", 480, 960, 1095, 255},
        {"Text6", "Frame1", 1680, 960, 1215, 285},
        {"Frame2", "centralwidget", 240, 2400, 3255, 2055},
        {"Label4", "Frame2", 360, 480, 1095, 255},
        {"Text1", "Frame2", 1680, 480, 1215, 285},
        {"Label5", "Frame2", 480, 840, 855, 255},
        {"Text2", "Frame2", 1680, 840, 1215, 285},
        {"Label6", "Frame2", 720, 1200, 855, 255},
        {"Text3", "Frame2", 1680, 1200, 1215, 285},
        {"Label7", "Frame2", 720, 1560, 615, 255},
        {"Text7", "Frame2", 1680, 1560, 1215, 285},
        {"Cmdcalcular", "centralwidget", 480, 5400, 1215, 855},
        {"Command2", "centralwidget", 2040, 5400, 1215, 855},
        {"Command3", "centralwidget", 3600, 5400, 1335, 855},
        {"Command4", "centralwidget", 480, 6360, 1215, 855},
        {"Command1", "centralwidget", 2040, 6360, 1215, 855},
        {"Frame5", "centralwidget", 3600, 600, 3495, 2535},
        {"Frame6", "Frame5", 120, 240, 3255, 1095},
        {"Combo3", "Frame6", 120, 240, 615, 315},
        {"Label15_1", "Frame6", 720, 240, 135, 255},
        {"Label16_1", "Frame6", 960, 240, 255, 255},
        {"Combo4", "Frame6", 1200, 240, 615, 315},
        {"areatxtD", "Frame6", 1920, 240, 735, 405},
        {"Label17_1", "Frame6", 2760, 360, 255, 255},
        {"Label18_1", "Frame6", 3000, 360, 135, 255},
        {"Label21", "Frame6", 480, 600, 1815, 375},
        {"Label19", "Frame5", 360, 1440, 1455, 255},
        {"Combo1", "Frame5", 240, 1680, 615, 315},
        {"Label15_0", "Frame5", 840, 1680, 135, 255},
        {"Label16_0", "Frame5", 1080, 1680, 255, 255},
        {"Combo2", "Frame5", 1320, 1680, 615, 315},
        {"areatxt", "Frame5", 2040, 1680, 735, 375},
        {"Label17_0", "Frame5", 2880, 1800, 255, 255},
        {"Label18_0", "Frame5", 3120, 1800, 135, 255},
        {"Label20", "Frame5", 840, 2040, 1695, 375},
        {"Frame3", "centralwidget", 7440, 600, 2535, 2535},
        {"Frame4", "centralwidget", 5040, 3240, 4815, 3735},
        {"Text8", "Frame4", 360, 240, 3975, 3375},
        {"Shape1", "Frame3", 720, 240, 1335, 1815},
        {"Shape2_4", "Frame3", 960, 360, 135, 135},
        {"Shape2_1", "Frame3", 1680, 360, 135, 135},
        {"Shape2_0", "Frame3", 960, 1680, 135, 135},
        {"Shape2_3", "Frame3", 1680, 1680, 135, 135},
        {"Label11", "Frame3", 1320, 480, 255, 255},
        {"Label10", "Frame3", 1320, 1560, 255, 255},
        {"Label9", "Frame3", 240, 960, 135, 255},
        {"Label8", "Frame3", 1320, 2160, 135, 255},
        {"Label13", "Frame3", 2160, 960, 255, 255},
        {"Label12", "Frame3", 2280, 1800, 135, 255},
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
        {"Line13", "centralwidget", 480, 480, 8640, 480, 2},
        {"Line1", "Frame3", 360, 240, 360, 960, 1},
        {"Line2", "Frame3", 360, 1200, 360, 1920, 1},
        {"Line5_0", "Frame3", 360, 240, 480, 240, 1},
        {"Line6", "Frame3", 360, 1920, 480, 1920, 1},
        {"Line4", "Frame3", 720, 2280, 1200, 2280, 1},
        {"Line3", "Frame3", 1560, 2280, 2040, 2280, 1},
        {"Line8", "Frame3", 720, 2280, 720, 2160, 1},
        {"Line7", "Frame3", 2040, 2280, 2040, 2160, 1},
        {"Line9", "Frame3", 2280, 240, 2280, 2040, 1},
        {"Line11", "Frame3", 2280, 240, 2160, 240, 1},
        {"Line10", "Frame3", 2280, 2040, 2160, 2040, 1},
        {"Line12", "Frame3", 2280, 1800, 2160, 1800, 1},
    };
    for (const LineRow& l : lines) {
        const int left = std::min(l.x1, l.x2), top = std::min(l.y1, l.y2);
        const int along = l.y1 == l.y2 ? std::abs(l.x2 - l.x1) + 15 : l.pixels * 15;
        const int across = l.y1 == l.y2 ? l.pixels * 15 : std::abs(l.y2 - l.y1) + 15;
        QTest::newRow(l.name) << l.name << l.container << QRect(left, top, along, across);
    }
}

void Test_form1::geometry() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    Form1* form = openForm1();
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

void Test_form1::tabOrder_data() {
    QTest::addColumn<bool>("doubly");
    QTest::addColumn<QStringList>("order");
    const QStringList start{"Text1", "Text2",    "Text3",       "Text4",    "Text5",
                            "Text6", "Text7",    "Cmdcalcular", "Command2", "Command3",
                            "Text8", "Command1", "Combo1",      "Combo2",   "areatxt"};
    QTest::newRow("Frame6 hidden") << false << start + QStringList{"Command4", "Text1"};
    QTest::newRow("Frame6 shown") << true
                                  << start + QStringList{"Combo3", "Combo4", "areatxtD", "Command4",
                                                         "Text1"};
}

void Test_form1::tabOrder() {
    QFETCH(bool, doubly);
    QFETCH(QStringList, order);
    Form1* form = openForm1();
    if (doubly) {
        field(form, 5)->setText(QStringLiteral("5"));
        form->calculo();
    }
    field(form, 0)->setFocus();
    for (const QString& name : order) {
        const QWidget* expected = child<QWidget>(form, name);
        QVERIFY2(hasFocusIn(expected), qPrintable(name + QStringLiteral(" expected, focus in ") +
                                                  QApplication::focusWidget()->objectName()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void Test_form1::menus_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("menu");  // empty: on the menu bar itself
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");  // empty: a separator
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("arroba") << "arroba"
                            << "" << 0 << "@" << QKeySequence();
    QTest::newRow("imprimir") << "imprimir"
                              << "Archivo" << 0 << "Im&primir" << QKeySequence();
    QTest::newRow("guion2") << "guion2"
                            << "Archivo" << 1 << "" << QKeySequence();
    QTest::newRow("Salir") << "Salir"
                           << "Archivo" << 2 << "&Salir" << QKeySequence();
    QTest::newRow("mnucalcular") << "mnucalcular"
                                 << "" << 2 << "&Calcular" << QKeySequence();
    QTest::newRow("info") << "info"
                          << "ayuda" << 0 << "&Informacion" << QKeySequence();
    QTest::newRow("tabla") << "tabla"
                           << "ayuda" << 1 << "&Tabla de Dimensiones de Acero"
                           << QKeySequence(Qt::CTRL | Qt::Key_T);
    QTest::newRow("guion") << "guion"
                           << "ayuda" << 2 << "" << QKeySequence();
    QTest::newRow("acerca") << "acerca"
                            << "ayuda" << 3 << "Acerca de..." << QKeySequence();
}

void Test_form1::menus() {
    QFETCH(QString, name);
    QFETCH(QString, menu);
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    const Form1* form = openForm1();
    auto* action = child<QAction>(form, name);
    QVERIFY(action);
    const QList<QAction*> bar = form->menuBar()->actions();
    QCOMPARE(bar.size(), 4);
    QCOMPARE(bar.at(1)->text(), QStringLiteral("&Archivo"));
    QCOMPARE(bar.at(3)->text(), QStringLiteral("A&yuda"));
    const QList<QAction*> siblings = menu.isEmpty() ? bar : child<QMenu>(form, menu)->actions();
    QCOMPARE(siblings.indexOf(action), position);
    QCOMPARE(action->isSeparator(), caption.isEmpty());
    if (!caption.isEmpty()) QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QVERIFY(action->isEnabled());
    QVERIFY(!action->menu());
}

void Test_form1::enabling_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    for (int i = 0; i < 7; ++i) {
        QTest::addRow("%s emptied", inputNames[i]) << i << "" << false;
        QTest::addRow("%s blank", inputNames[i]) << i << " " << true;
    }
    QTest::newRow("not a number still enables") << 3 << "abc" << true;
}

void Test_form1::enabling() {
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    const Form1* form = openForm1();
    field(form, index)->setText(text);
    QCOMPARE(calculateEnabled(form), enabled);
    QCOMPARE(child<QAction>(form, QStringLiteral("mnucalcular"))->isEnabled(), enabled);
}

void Test_form1::enablingByTyping() {
    const Form1* form = openForm1();
    QLineEdit* h = field(form, 1);
    h->setFocus();
    h->selectAll();
    QTest::keyClick(h, Qt::Key_Backspace);
    QVERIFY(!calculateEnabled(form));
    QVERIFY(!child<QAction>(form, QStringLiteral("mnucalcular"))->isEnabled());
    QTest::keyClicks(h, QStringLiteral("2"));
    QVERIFY(calculateEnabled(form));
    QVERIFY(child<QAction>(form, QStringLiteral("mnucalcular"))->isEnabled());
}

void Test_form1::borraClearsAndDisables() {
    Form1* form = openForm1();
    field(form, 5)->setText(QStringLiteral("5"));
    form->calculo();
    QVERIFY(form->storedRun());
    auto* combo1 = child<QComboBox>(form, QStringLiteral("Combo1"));
    auto* combo2 = child<QComboBox>(form, QStringLiteral("Combo2"));
    combo1->setEditText(QStringLiteral("3"));
    combo2->setEditText(QStringLiteral("4"));
    const QString area = child<QLineEdit>(form, QStringLiteral("areatxt"))->text();
    QCOMPARE(area, QStringLiteral("3.87"));

    QTest::mouseClick(child<QToolButton>(form, QStringLiteral("Command2")), Qt::LeftButton);

    for (int i = 0; i < 7; ++i) QCOMPARE(field(form, i)->text(), QStringLiteral(" "));
    QCOMPARE(reportOf(form), QStringLiteral(" "));
    QCOMPARE(form->resultsText(), QStringLiteral(" "));
    QVERIFY(!calculateEnabled(form));
    QVERIFY(!child<QAction>(form, QStringLiteral("mnucalcular"))->isEnabled());
    // Selectors, the compression frame and the stored result stay as they were.
    QCOMPARE(combo1->currentText(), QStringLiteral("3"));
    QCOMPARE(combo2->currentText(), QStringLiteral("4"));
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("areatxt"))->text(), area);
    QVERIFY(child<QGroupBox>(form, QStringLiteral("Frame6"))->isVisible());
    QVERIFY(form->storedRun());
    QCOMPARE(form->storedRun()->result.kind, engine::SectionKind::Doubly);
}

void Test_form1::afterBorraTypingEnablesButNumberTestFails_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 7; ++i) QTest::newRow(inputNames[i]) << i;
}

void Test_form1::afterBorraTypingEnablesButNumberTestFails() {
    QFETCH(int, index);
    Form1* form = openForm1();
    form->borra();
    QLineEdit* typed = field(form, index);
    typed->setFocus();
    QTest::keyClick(typed, Qt::Key_End);
    QTest::keyClicks(typed, QStringLiteral("7"));
    QVERIFY(calculateEnabled(form));
    const auto box = ModalWatcher::instance().answerMessageBox([&] {
        QTest::mouseClick(child<QToolButton>(form, QStringLiteral("Cmdcalcular")), Qt::LeftButton);
    });
    QVERIFY(box);
    QCOMPARE(box->text, notNumbers);
    QCOMPARE(reportOf(form), QStringLiteral(" "));
    QVERIFY(!form->storedRun());
}

void Test_form1::buttonAndMenuGiveSameReport_data() {
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

void Test_form1::buttonAndMenuGiveSameReport() {
    QFETCH(Inputs, inputs);
    QFETCH(bool, doubly);
    QFETCH(QString, as);
    QFETCH(QString, asPrime);
    const LocaleGuard locale(QLocale::c());
    Form1* form = openForm1();
    typeInputs(form, inputs);

    QTest::mouseClick(child<QToolButton>(form, QStringLiteral("Cmdcalcular")), Qt::LeftButton);
    const QString byButton = form->resultsText();
    QVERIFY(form->storedRun());
    const StoredRun stored = *form->storedRun();
    QCOMPARE(QString::fromStdString(stored.texts.as), as);
    QCOMPARE(QString::fromStdString(stored.texts.asPrime), asPrime);
    QCOMPARE(stored.result.kind,
             doubly ? engine::SectionKind::Doubly : engine::SectionKind::Singly);
    QCOMPARE(child<QGroupBox>(form, QStringLiteral("Frame6"))->isVisible(), doubly);

    // The box shows one line per report line; the exact text keeps its CR LF.
    QCOMPARE(byButton, QString::fromStdString(engine::resultsReport(stored.texts)));
    QVERIFY(!reportOf(form).contains(QLatin1Char('\r')));
    QCOMPARE(reportOf(form).split(QLatin1Char('\n')).size(), doubly ? 16 : 15);
    QVERIFY(byButton.startsWith(
        QString::fromUtf8("********  DISEÑO DE VIGA DE CONCRETO ********\r\n\r\n")));
    QVERIFY(byButton.contains(QStringLiteral("\r\n Area de Refuerzo : ") + as +
                              QStringLiteral(" cm2\r\n")));

    child<QPlainTextEdit>(form, QStringLiteral("Text8"))->setPlainText(QString());
    child<QAction>(form, QStringLiteral("mnucalcular"))->trigger();
    QCOMPARE(form->resultsText(), byButton);
}

void Test_form1::frame6FollowsSectionKind() {
    Form1* form = openForm1();
    auto* frame6 = child<QGroupBox>(form, QStringLiteral("Frame6"));
    const std::pair<const char*, bool> runs[] = {
        {"5", true}, {"1", false}, {"6", true}, {"0", false}};
    for (const auto& [mu, shown] : runs) {
        field(form, 5)->setText(QString::fromLatin1(mu));
        form->calculo();
        QVERIFY2(frame6->isVisible() == shown, mu);
    }
}

void Test_form1::errorsLeaveEverything_data() {
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

void Test_form1::errorsLeaveEverything() {
    QFETCH(Inputs, inputs);
    QFETCH(QString, message);
    const LocaleGuard locale(QLocale::c());
    Form1* form = openForm1();
    field(form, 5)->setText(QStringLiteral("5"));
    form->calculo();
    const QString report = form->resultsText();
    const std::string storedAs = form->storedRun()->texts.as;
    auto* frame6 = child<QGroupBox>(form, QStringLiteral("Frame6"));
    QVERIFY(frame6->isVisible());

    typeInputs(form, inputs);
    const auto box = ModalWatcher::instance().answerMessageBox([&] {
        QTest::mouseClick(child<QToolButton>(form, QStringLiteral("Cmdcalcular")), Qt::LeftButton);
    });
    QVERIFY(box);
    QCOMPARE(box->title, QStringLiteral("Error"));
    QCOMPARE(box->icon, QMessageBox::Critical);
    QCOMPARE(box->buttons.size(), 1);
    QCOMPARE(QString(box->buttons.first()).remove(QLatin1Char('&')), QStringLiteral("OK"));
    QCOMPARE(box->text, message);

    QCOMPARE(form->resultsText(), report);
    QVERIFY(frame6->isVisible());
    QVERIFY(form->storedRun());
    QCOMPARE(form->storedRun()->texts.as, storedAs);
}

void Test_form1::suppliedSteel_data() {
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

void Test_form1::suppliedSteel() {
    QFETCH(bool, compression);
    QFETCH(bool, fromList);
    QFETCH(QString, count);
    QFETCH(QString, designation);
    QFETCH(QString, area);
    QFETCH(QString, description);
    const LocaleGuard locale(QLocale::c());
    Form1* form = openForm1();
    if (compression) {
        field(form, 5)->setText(QStringLiteral("5"));
        form->calculo();
    }
    const char* const names[2][4] = {{"Combo1", "Combo2", "areatxt", "Label20"},
                                     {"Combo3", "Combo4", "areatxtD", "Label21"}};
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

void Test_form1::suppliedSteelWithoutNumbers_data() {
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

void Test_form1::suppliedSteelWithoutNumbers() {
    QFETCH(QString, count);
    QFETCH(QString, designation);
    const LocaleGuard locale(QLocale::c());
    Form1* form = openForm1();
    auto* countBox = child<QComboBox>(form, QStringLiteral("Combo1"));
    auto* designationBox = child<QComboBox>(form, QStringLiteral("Combo2"));
    auto* area = child<QLineEdit>(form, QStringLiteral("areatxt"));
    auto* label = child<QLabel>(form, QStringLiteral("Label20"));
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

void Test_form1::selectorsKeepTypedText() {
    const LocaleGuard locale(QLocale::c());
    Form1* form = openForm1();
    // "1" begins "10", "11", "14" and "18" in the designation list: it must stay "1".
    auto* designationBox = child<QComboBox>(form, QStringLiteral("Combo2"));
    typeInto(designationBox, QStringLiteral("1"));
    QCOMPARE(designationBox->currentText(), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("areatxt"))->text(), QStringLiteral("0"));
    QCOMPARE(child<QLabel>(form, QStringLiteral("Label20"))->text(), QStringLiteral("1 Barras \""));

    // Enter keeps the typed count and adds nothing to the list.
    auto* countBox = child<QComboBox>(form, QStringLiteral("Combo1"));
    typeInto(designationBox, QStringLiteral("2"));
    typeInto(countBox, QStringLiteral("30"));
    QTest::keyClick(countBox, Qt::Key_Return);
    QCOMPARE(countBox->currentText(), QStringLiteral("30"));
    QCOMPARE(countBox->count(), 25);
    QCOMPARE(countBox->findText(QStringLiteral("30")), -1);
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("areatxt"))->text(), QStringLiteral("9.6"));
}

void Test_form1::commaLocale_data() {
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

void Test_form1::commaLocale() {
    QFETCH(QString, mu);
    QFETCH(QString, expected);
    const LocaleGuard locale(QLocale(QLocale::Spanish, QLocale::Colombia));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    Form1* form = openForm1();
    field(form, 5)->setText(mu);
    const auto box = ModalWatcher::instance().answerMessageBox([&] { form->calculo(); });
    if (expected == notNumbers) {
        QVERIFY(box);
        QCOMPARE(box->text, notNumbers);
        QVERIFY(!form->storedRun());
        return;
    }
    QVERIFY(!box);
    QVERIFY2(form->resultsText().split(QStringLiteral("\r\n")).contains(expected),
             qPrintable(form->resultsText()));

    auto* countBox = child<QComboBox>(form, QStringLiteral("Combo1"));
    typeInto(countBox, QStringLiteral("2,5"));
    typeInto(child<QComboBox>(form, QStringLiteral("Combo2")), QStringLiteral("4"));
    QCOMPARE(child<QLineEdit>(form, QStringLiteral("areatxt"))->text(), QStringLiteral("3,225"));
}

void Test_form1::commands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::newRow("@") << "arroba"
                       << "frmSplash";
    QTest::newRow("Acerca de") << "acerca"
                               << "frmSplash";
    QTest::newRow("flag") << "Command1"
                          << "frmSplash";
    QTest::newRow("Informacion") << "info"
                                 << "frmprint";
    QTest::newRow("Tabla") << "tabla"
                           << "Form2";
    QTest::newRow("Diametros") << "Command4"
                               << "Form2";
    QTest::newRow("Ctrl+T") << "Ctrl+T"
                            << "Form2";
}

void Test_form1::commands() {
    QFETCH(QString, command);
    QFETCH(QString, window);
    Form1* form = openForm1();
    field(form, 2)->setText(QStringLiteral("7"));
    if (command == QStringLiteral("Ctrl+T"))
        QTest::keyClick(form, Qt::Key_T, Qt::ControlModifier);
    else if (auto* button = form->findChild<QToolButton*>(command))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        child<QAction>(form, command)->trigger();
    QWidget* shown = nullptr;
    if (window == QStringLiteral("frmSplash")) shown = windows::loadedSplash();
    if (window == QStringLiteral("frmprint")) shown = windows::loadedInfo();
    if (window == QStringLiteral("Form2")) shown = windows::loadedBarTable();
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    // The main window stays open with its contents.
    QCOMPARE(windows::loadedForm1(), form);
    QCOMPARE(field(form, 2)->text(), QStringLiteral("7"));
}

void Test_form1::exitCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("menu Salir") << "Salir";
    QTest::newRow("button Salir") << "Command3";
}

void Test_form1::exitCommands() {
    QFETCH(QString, command);
    Form1* form = openForm1();
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

void Test_form1::printCommandAsksForPrinter() {
    Form1* form = openForm1();
    const auto dialog = ModalWatcher::instance().cancelDialog(
        [&] { child<QAction>(form, QStringLiteral("imprimir"))->trigger(); });
    QVERIFY(dialog);
}

void Test_form1::altCCalculates() {
    Form1* form = openForm1();
    QTest::keyClick(form, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(form->storedRun());
    QCOMPARE(reportOf(form).split(QLatin1Char('\n')).size(), 15);
}

void Test_form1::statusBar() {
    const LocaleGuard locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const Form1* form = openForm1();
    auto* bar = child<QStatusBar>(form, QStringLiteral("StatusBar1"));
    QCOMPARE(form->statusBar(), bar);
    // The client area: 689 x 505 pixels below the menu bar, the status bar at its foot.
    const QWidget* central = form->centralWidget();
    QCOMPARE(central->width(), 689);
    QCOMPARE(bar->geometry(), QRect(0, central->geometry().top() + 488, 689, 17));
    QVERIFY(bar->font().bold());

    auto* credit = child<QLabel>(bar, QStringLiteral("Panel1"));
    auto* time = child<QLabel>(bar, QStringLiteral("Panel2"));
    auto* date = child<QLabel>(bar, QStringLiteral("Panel3"));
    QVERIFY(credit->text().startsWith(QStringLiteral("Quintaral " QUINTARAL_VERSION)));
    QCOMPARE(credit->toolTip(), credit->text());
    QCOMPARE(time->toolTip(), QStringLiteral("Fecha/Hora"));
    QVERIFY(credit->x() < time->x() && time->x() < date->x());
    QVERIFY(credit->width() >= 394);
    QVERIFY(time->width() >= 96 && date->width() >= 96);
    const QLocale us;
    QTRY_COMPARE(time->text(), us.toString(QTime::currentTime(), QLocale::ShortFormat));
    QTRY_COMPARE(date->text(), us.toString(QDate::currentDate(), QLocale::ShortFormat));
}

QUINTARAL_GUI_TEST_MAIN(Test_form1)
#include "test_form1.moc"

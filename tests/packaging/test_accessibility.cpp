// What a screen reader finds in the main window: it walks the accessibility tree, as an
// assistive technology does, rather than reading the widgets' properties.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>

#include "app/windows.h"
#include "guitest.h"
#include "mainwindow/mainwindow.h"

namespace {

// Every node of the tree below `root`, by the objectName of its widget or action (a submenu's
// entry on its parent goes by the submenu's name, as the menu has no name of its own).
using Tree = QHash<QString, QAccessibleInterface*>;

QString nodeName(const QAccessibleInterface* node) {
    const QObject* object = node->object();
    if (!object) return {};
    if (const auto* action = qobject_cast<const QAction*>(object); action && action->menu())
        return action->menu()->objectName();
    return object->objectName();
}

void collect(QAccessibleInterface* node, Tree& tree, QList<QAccessibleInterface*>& all) {
    if (!node) return;
    all.append(node);
    const QString name = nodeName(node);
    if (!name.isEmpty() && !tree.contains(name)) tree.insert(name, node);
    for (int i = 0; i < node->childCount(); ++i) collect(node->child(i), tree, all);
}

struct Walk {
    Tree byName;
    QList<QAccessibleInterface*> all;
};

Walk walk(QWidget* window) {
    Walk w;
    collect(QAccessible::queryAccessibleInterface(window), w.byName, w.all);
    return w;
}

QStringList labelsOf(QAccessibleInterface* node) {
    QStringList names;
    const auto relations = node->relations(QAccessible::Label);
    for (const auto& [label, relation] : relations) names.append(nodeName(label));
    return names;
}

// A combo box's edit line and drop-down list are parts of the combo box, which is named.
bool insideComboBox(QAccessibleInterface* node) {
    for (QAccessibleInterface* p = node->parent(); p; p = p->parent())
        if (p->role() == QAccessible::ComboBox) return true;
    return false;
}

// On Linux Qt gives a combo box its current text as name, and the screen reader names it by
// the labels it is labelled by; every other control is announced by its name.
QString announcedName(QAccessibleInterface* node) {
    if (node->role() != QAccessible::ComboBox) return node->text(QAccessible::Name);
    QStringList names;
    const auto relations = node->relations(QAccessible::Label);
    for (const auto& [label, relation] : relations) names.append(label->text(QAccessible::Name));
    return names.join(QLatin1Char(' '));
}

// Opens the main window with the compression-steel frame shown (a doubly reinforced run), so
// that every control of the window is on screen.
MainWindow* openWithEveryControl() {
    windows::showMainWindow();
    MainWindow* form = windows::loadedMainWindow();
    if (!form) return nullptr;
    form->findChild<QLineEdit*>(QStringLiteral("momentEdit"))->setText(QStringLiteral("5"));
    form->calculate();
    return form;
}

}  // namespace

class TestAccessibility : public GuiTestCase {
    Q_OBJECT
  private Q_SLOTS:
    void fieldsNamedByTheirLabels_data();
    void fieldsNamedByTheirLabels();
    void everyFocusableControlHasAName();
    void accessKeys_data();
    void accessKeys();
};

void TestAccessibility::fieldsNamedByTheirLabels_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");   // empty for combo boxes: see announcedName()
    QTest::addColumn<QString>("label");  // the label (or titled frame) that labels the control
    QTest::addColumn<bool>("readOnly");
    const int edit = QAccessible::EditableText;
    const int combo = QAccessible::ComboBox;
    const struct {
        const char* row;
        const char* control;
        int role;
        const char* name;
        const char* label;
        bool readOnly;
    } rows[] = {
        {"b", "widthEdit", edit, "Ancho b(cm)", "widthLabel", false},
        {"h", "heightEdit", edit, "Alto h(cm)", "heightLabel", false},
        {"d'", "coverEdit", edit, "d' (cm)", "coverLabel", false},
        {"f'c", "fcEdit", edit, "f'c (kg/cm2)", "fcLabel", false},
        {"Fy", "fyEdit", edit, "Fy (kg/cm2)", "fyLabel", false},
        {"Mu", "momentEdit", edit, "Mu (Tn-m)", "momentLabel", false},
        {"d''", "compressionCoverEdit", edit, "d'' (cm)", "compressionCoverLabel", false},
        {"report", "resultsBox", edit, "Resultados", "resultsFrame", true},
        {"tension bar count", "tensionCountCombo", combo, "", "tensionTitleLabel", false},
        {"tension bar size", "tensionBarCombo", combo, "", "tensionHashLabel", false},
        {"tension area", "tensionAreaEdit", edit, "Acero a Flexion: area suministrada (cm2)",
         "tensionAreaUnitLabel", true},
        {"compression bar count", "compressionCountCombo", combo, "", "compressionSteelFrame",
         false},
        {"compression bar size", "compressionBarCombo", combo, "", "compressionHashLabel", false},
        {"compression area", "compressionAreaEdit", edit,
         "Acero a Compresion: area suministrada (cm2)", "compressionAreaUnitLabel", true},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << QString::fromLatin1(r.control) << r.role
                             << QString::fromLatin1(r.name) << QString::fromLatin1(r.label)
                             << r.readOnly;
}

void TestAccessibility::fieldsNamedByTheirLabels() {
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(bool, readOnly);
    const LocaleGuard locale{QLocale(QLocale::Spanish, QLocale::Colombia)};
    MainWindow* form = openWithEveryControl();
    QVERIFY(form);
    const Walk tree = walk(form);
    QAccessibleInterface* node = tree.byName.value(control);
    QVERIFY2(node, qPrintable(control + QStringLiteral(" is not in the accessibility tree")));
    QCOMPARE(node->role(), QAccessible::Role(role));
    if (!name.isEmpty()) QCOMPARE(node->text(QAccessible::Name), name);
    QVERIFY(!node->state().invisible);
    QCOMPARE(bool(node->state().readOnly), readOnly);
    QVERIFY2(labelsOf(node).contains(label),
             qPrintable(labelsOf(node).join(QLatin1Char(',')) + QStringLiteral(" lack ") + label));
}

// A control that takes the focus but has no name is read out as a bare "edit" or "button".
void TestAccessibility::everyFocusableControlHasAName() {
    const LocaleGuard locale{QLocale(QLocale::Spanish, QLocale::Colombia)};
    MainWindow* form = openWithEveryControl();
    QVERIFY(form);
    const Walk tree = walk(form);
    int focusable = 0;
    for (QAccessibleInterface* node : tree.all) {
        const QAccessible::State state = node->state();
        if (!state.focusable || state.invisible || node->object() == form) continue;
        if (insideComboBox(node)) continue;
        ++focusable;
        QVERIFY2(!announcedName(node).trimmed().isEmpty(),
                 qPrintable(nodeName(node) + QStringLiteral(" has no accessible name")));
    }
    // The seven inputs, the report, five buttons, four selectors and two area boxes.
    QCOMPARE(focusable, 19);
}

void TestAccessibility::accessKeys_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");  // what the tree offers as the way to reach it
    QTest::newRow("calculateButton") << "calculateButton"
                                     << "Calcular"
                                     << "Alt+C";
    QTest::newRow("clearButton") << "clearButton"
                                 << "Borrar"
                                 << "Alt+B";
    QTest::newRow("exitButton") << "exitButton"
                                << "Salir"
                                << "Alt+S";
    QTest::newRow("barTableButton") << "barTableButton"
                                    << "Diametros"
                                    << "Alt+D";
    QTest::newRow("aboutButton") << "aboutButton"
                                 << "Acerca de..."
                                 << "";
    QTest::newRow("atAction") << "atAction"
                              << "@"
                              << "";
    QTest::newRow("fileMenu") << "fileMenu"
                              << "Archivo"
                              << "Alt+A";
    QTest::newRow("newAction") << "newAction"
                               << "Nuevo"
                               << "Ctrl+N";
    QTest::newRow("openAction") << "openAction"
                                << "Abrir..."
                                << "Ctrl+O";
    QTest::newRow("saveAction") << "saveAction"
                                << "Guardar"
                                << "Ctrl+S";
    QTest::newRow("saveAsAction") << "saveAsAction"
                                  << "Guardar como..."
                                  << "Ctrl+Shift+S";
    QTest::newRow("recentMenu") << "recentMenu"
                                << "Recientes"
                                << "Alt+R";
    QTest::newRow("exportPdfAction") << "exportPdfAction"
                                     << "Exportar a PDF..."
                                     << "Ctrl+E";
    QTest::newRow("printAction") << "printAction"
                                 << "Imprimir"
                                 << "Alt+P";
    QTest::newRow("exitAction") << "exitAction"
                                << "Salir"
                                << "Alt+S";
    QTest::newRow("calculateAction") << "calculateAction"
                                     << "Calcular"
                                     << "Alt+C";
    QTest::newRow("layoutMenu") << "layoutMenu"
                                << "Refuerzo"
                                << "Alt+R";
    QTest::newRow("layoutAction") << "layoutAction"
                                  << "Disposición de barras..."
                                  << "Ctrl+D";
    QTest::newRow("helpMenu") << "helpMenu"
                              << "Ayuda"
                              << "Alt+Y";
    QTest::newRow("infoAction") << "infoAction"
                                << "Informacion"
                                << "Alt+I";
    QTest::newRow("barTableAction") << "barTableAction"
                                    << "Tabla de Dimensiones de Acero"
                                    << "Ctrl+T";
    QTest::newRow("aboutAction") << "aboutAction"
                                 << "Acerca de..."
                                 << "";
    QTest::newRow("codeMenu") << "codeMenu"
                              << "Norma"
                              << "Alt+N";
    QTest::newRow("nsr98Action") << "nsr98Action"
                                 << "NSR-98"
                                 << "Alt+9";
    QTest::newRow("nsr10Action") << "nsr10Action"
                                 << "NSR-10"
                                 << "Alt+0";
}

void TestAccessibility::accessKeys() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, key);
    const LocaleGuard locale{QLocale(QLocale::Spanish, QLocale::Colombia)};
    windows::showMainWindow();
    MainWindow* form = windows::loadedMainWindow();
    QVERIFY(form);
    const Walk tree = walk(form);
    QAccessibleInterface* node = tree.byName.value(control);
    QVERIFY2(node, qPrintable(control + QStringLiteral(" is not in the accessibility tree")));
    QCOMPARE(node->text(QAccessible::Name), name);
    // Menu entries report the letter as written in the caption; either case is the same key.
    QCOMPARE(node->text(QAccessible::Accelerator).toUpper(), key.toUpper());
}

QUINTARAL_GUI_TEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"

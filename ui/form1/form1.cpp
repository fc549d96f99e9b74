#include "form1/form1.h"

#include <QComboBox>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMovie>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <variant>

#include "common/formfonts.h"
#include "common/windows.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "form1/statuspanels.h"
#include "print/printreport.h"
#include "ui_form1.h"

// Resources live in the static library: name them so the linker keeps them.
static void initForm1Resources() {
    Q_INIT_RESOURCE(form1icons);
}

namespace {

// Size of the client area below the menu bar, status bar included, in pixels.
constexpr int clientWidth = 689;
constexpr int clientHeight = 505;
constexpr int largestCount = 25;

const QString errorPrefix = QStringLiteral("Se ha generado un error, ");

char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    const char separator = point.isEmpty() ? '\0' : point.front().toLatin1();
    return separator ? separator : '.';
}

std::string toEngine(const QString& text) {
    return text.toStdString();
}

QString errorMessage(engine::DesignError error) {
    switch (error) {
        case engine::DesignError::Cover:
            return errorPrefix +
                   QStringLiteral("La altura de la viga debe ser mayor al Recubrimiento ( d' ) ");
        case engine::DesignError::EffectiveDepth:
            return QString::fromUtf8(
                       "Se ha generado un error, la altura efectiva es muy pequeña, ") +
                   QStringLiteral("Se recomienda aumentar la altura la de seccion h ");
        case engine::DesignError::Arithmetic:
        case engine::DesignError::InvalidInput:
            break;
    }
    return errorPrefix + QStringLiteral("los valores ingresados no permiten realizar el calculo ");
}

// One supplied-steel group: what its two boxes ask for goes into its area box and label.
// While either box holds no number, both outputs stay empty.
void showSuppliedSteel(const QComboBox* count, const QComboBox* designation, QLineEdit* area,
                       QLabel* description) {
    const auto steel = engine::suppliedSteel(
        toEngine(count->currentText()), toEngine(designation->currentText()), decimalSeparator());
    area->setText(steel ? QString::fromStdString(steel->areaText) : QString());
    description->setText(steel ? QString::fromStdString(steel->description) : QString());
}

// Fills a selector's list without running its change handler, keeping the text it showed.
void fillList(QComboBox* box, const QStringList& items) {
    const QSignalBlocker blocker(box);
    const QString shown = box->currentText();
    box->addItems(items);
    box->setEditText(shown);
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::Form1>()) {
    initForm1Resources();
    ui->setupUi(this);
    setupFonts();
    setupFlag();
    setupMenus();
    setupButtons();
    setupInputs();
    setupSelectors();
    setupStatusBar();
    setupSize();
    Form_Load();
    ui->Text1->setFocus(Qt::OtherFocusReason);
}

Form1::~Form1() = default;

void Form1::setupFonts() {
    applyFractionalPointSizes(this);
}

void Form1::setupFlag() {
    flag_ = new QMovie(QStringLiteral(":/form1/bandera.gif"), QByteArray(), this);
    connect(flag_, &QMovie::frameChanged, this,
            [this] { ui->Command1->setIcon(QIcon(flag_->currentPixmap())); });
    flag_->start();
}

void Form1::setupMenus() {
    connect(ui->arroba, &QAction::triggered, this, &Form1::arroba_Click);
    connect(ui->imprimir, &QAction::triggered, this, &Form1::imprimir_Click);
    connect(ui->Salir, &QAction::triggered, this, &Form1::Salir_Click);
    connect(ui->mnucalcular, &QAction::triggered, this, &Form1::mnucalcular_Click);
    connect(ui->info, &QAction::triggered, this, &Form1::info_Click);
    connect(ui->tabla, &QAction::triggered, this, &Form1::tabla_Click);
    connect(ui->acerca, &QAction::triggered, this, &Form1::acerca_Click);
}

void Form1::setupButtons() {
    // Alt+C belongs to the "&Calcular" menu-bar entry; both run the same calculation, and one
    // owner keeps the key from being ambiguous.
    ui->Cmdcalcular->setShortcut(QKeySequence());
    connect(ui->Cmdcalcular, &QAbstractButton::clicked, this, &Form1::Cmdcalcular_Click);
    connect(ui->Command1, &QAbstractButton::clicked, this, &Form1::Command1_Click);
    connect(ui->Command2, &QAbstractButton::clicked, this, &Form1::Command2_Click);
    connect(ui->Command3, &QAbstractButton::clicked, this, &Form1::Command3_Click);
    connect(ui->Command4, &QAbstractButton::clicked, this, &Form1::Command4_Click);
}

void Form1::setupInputs() {
    connect(ui->Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(ui->Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(ui->Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(ui->Text4, &QLineEdit::textChanged, this, &Form1::Text4_Change);
    connect(ui->Text5, &QLineEdit::textChanged, this, &Form1::Text5_Change);
    connect(ui->Text6, &QLineEdit::textChanged, this, &Form1::Text6_Change);
    connect(ui->Text7, &QLineEdit::textChanged, this, &Form1::Text7_Change);
    ui->Text8->document()->setDocumentMargin(2);
}

void Form1::setupSelectors() {
    // The compression-steel group appears once a design comes out doubly reinforced.
    ui->Frame6->hide();
    for (QComboBox* box : {ui->Combo1, ui->Combo2, ui->Combo3, ui->Combo4}) {
        // A typed "1" stays "1": no completion from the list.
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    connect(ui->Combo1, &QComboBox::activated, this, &Form1::Combo1_click);
    connect(ui->Combo2, &QComboBox::activated, this, &Form1::Combo2_click);
    connect(ui->Combo3, &QComboBox::activated, this, &Form1::Combo3_click);
    connect(ui->Combo4, &QComboBox::activated, this, &Form1::Combo4_click);
    connect(ui->Combo1, &QComboBox::editTextChanged, this, &Form1::Combo1_Change);
    connect(ui->Combo2, &QComboBox::editTextChanged, this, &Form1::Combo2_Change);
    connect(ui->Combo3, &QComboBox::editTextChanged, this, &Form1::Combo3_Change);
    connect(ui->Combo4, &QComboBox::editTextChanged, this, &Form1::Combo4_Change);
}

void Form1::setupStatusBar() {
    statusPanels_ = new StatusPanels(ui->StatusBar1);
}

void Form1::setupSize() {
    // The client area under the menu bar is fixed; the controls keep their places when the
    // window grows, since the central widget has no layout.
    resize(clientWidth, menuBar()->sizeHint().height() + clientHeight);
}

void Form1::Form_Load() {
    QStringList counts;
    for (int n = 1; n <= largestCount; ++n) counts << QString::number(n);
    QStringList designations;
    for (const engine::Bar& bar : engine::bars())
        designations << QString::number(bar.designation);
    fillList(ui->Combo1, counts);
    fillList(ui->Combo2, designations);
    fillList(ui->Combo3, counts);
    fillList(ui->Combo4, designations);
}

QString Form1::resultsText() const {
    return ui->Text8->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// The seven inputs in the order of the design input: b, h, d', f'c, Fy, Mu, d''.
std::array<QLineEdit*, 7> Form1::inputFields() const {
    return {ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text6, ui->Text7};
}

void Form1::calculo() {
    const auto fields = inputFields();
    const char separator = decimalSeparator();
    std::array<double, 7> values{};
    bool allNumbers = true;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto value = engine::parseNumber(toEngine(fields[i]->text()), separator);
        if (value)
            values[i] = *value;
        else
            allNumbers = false;
    }
    if (!allNumbers) {
        showError(errorPrefix + QStringLiteral("por favor ingrese valores numericos al programa"));
        return;
    }

    const engine::DesignInput input{.b = values[0],
                                    .h = values[1],
                                    .dPrime = values[2],
                                    .fc = values[3],
                                    .fy = values[4],
                                    .mu = values[5],
                                    .dSecond = values[6]};
    const engine::DesignOutcome outcome = engine::design(input);
    if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
        showError(errorMessage(*error));
        return;
    }
    const auto& result = std::get<engine::DesignResult>(outcome);
    StoredRun run{result, engine::reportValues(result, separator)};
    const QString report = QString::fromStdString(engine::resultsReport(run.texts));

    ui->Frame6->setVisible(result.kind == engine::SectionKind::Doubly);
    showReport(report);
    storedRun_ = std::move(run);
}

void Form1::Activa() {
    const auto fields = inputFields();
    const bool filled = std::none_of(fields.begin(), fields.end(),
                                     [](const QLineEdit* f) { return f->text().isEmpty(); });
    ui->Cmdcalcular->setEnabled(filled);
    ui->mnucalcular->setEnabled(filled);
}

void Form1::borra() {
    const QString blank = QStringLiteral(" ");
    // Each assignment raises that field's change handler, as typing would.
    for (QLineEdit* field : inputFields()) field->setText(blank);
    showReport(blank);
    ui->Cmdcalcular->setEnabled(false);
    ui->mnucalcular->setEnabled(false);
}

void Form1::areasuministrada() {
    showSuppliedSteel(ui->Combo1, ui->Combo2, ui->areatxt, ui->Label20);
}

void Form1::AREADOBLE() {
    showSuppliedSteel(ui->Combo3, ui->Combo4, ui->areatxtD, ui->Label21);
}

void Form1::showError(const QString& text) {
    QMessageBox::critical(this, QStringLiteral("Error"), text, QMessageBox::Ok);
}

void Form1::showReport(const QString& report) {
    // The box breaks lines at '\n'; a CR left in would show as a stray character.
    QString lines = report;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->Text8->setPlainText(lines);
}

void Form1::Text1_Change() {
    Activa();
}
void Form1::Text2_Change() {
    Activa();
}
void Form1::Text3_Change() {
    Activa();
}
void Form1::Text4_Change() {
    Activa();
}
void Form1::Text5_Change() {
    Activa();
}
void Form1::Text6_Change() {
    Activa();
}
void Form1::Text7_Change() {
    Activa();
}

void Form1::Cmdcalcular_Click() {
    calculo();
}
void Form1::mnucalcular_Click() {
    calculo();
}
void Form1::Command1_Click() {
    windows::showSplash();
}
void Form1::Command2_Click() {
    borra();
}
void Form1::Command3_Click() {
    windows::endProgram();
}
void Form1::Command4_Click() {
    windows::showBarTable();
}

void Form1::Combo1_click() {
    areasuministrada();
}
void Form1::Combo2_click() {
    areasuministrada();
}
void Form1::Combo3_click() {
    AREADOBLE();
}
void Form1::Combo4_click() {
    AREADOBLE();
}
void Form1::Combo1_Change() {
    areasuministrada();
}
void Form1::Combo2_Change() {
    areasuministrada();
}
void Form1::Combo3_Change() {
    AREADOBLE();
}
void Form1::Combo4_Change() {
    AREADOBLE();
}

void Form1::arroba_Click() {
    windows::showSplash();
}
void Form1::imprimir_Click() {
    printing::printDesignReport(this, storedRun_ ? &storedRun_->texts : nullptr);
}
void Form1::Salir_Click() {
    windows::endProgram();
}
void Form1::info_Click() {
    windows::showInfo();
}
void Form1::tabla_Click() {
    windows::showBarTable();
}
void Form1::acerca_Click() {
    windows::showSplash();
}

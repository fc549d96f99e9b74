#include "mainwindow/mainwindow.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMovie>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <variant>

#include "app/filecommands.h"
#include "app/windows.h"
#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/formfonts.h"
#include "common/inputtexts.h"
#include "common/menukeys.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "mainwindow/designcodesetting.h"
#include "mainwindow/statuspanels.h"
#include "print/printreport.h"
#include "project/project.h"
#include "project/projectfile.h"
#include "ui_mainwindow.h"

namespace {

// Size of the client area below the menu bar, status bar included, in pixels.
constexpr int clientWidth = 689;
constexpr int clientHeight = 505;
constexpr int largestCount = 25;

std::string toEngine(const QString& text) {
    return text.toStdString();
}

// The entries of the "Norma" menu: the object name, the caption and the code of each.
struct CodeEntry {
    const char* name;
    const char* caption;
    engine::DesignCode code;
};
constexpr CodeEntry codeEntries[] = {{"nsr98Action", "NSR-&98", engine::DesignCode::Nsr98},
                                     {"nsr10Action", "NSR-1&0", engine::DesignCode::Nsr10}};

// One supplied-steel group: what its two boxes ask for goes into its area box and label.
// While either box holds no number, both outputs stay empty.
void showSuppliedSteel(const QComboBox* count, const QComboBox* designation, QLineEdit* area,
                       QLabel* description) {
    const auto steel = engine::suppliedSteel(
        toEngine(count->currentText()), toEngine(designation->currentText()), decimalSeparator());
    area->setText(steel ? fromEngine(steel->areaText) : QString());
    description->setText(steel ? fromEngine(steel->description) : QString());
}

// Fills a selector's list without running its change handler, keeping the text it showed.
void fillList(QComboBox* box, const QStringList& items) {
    const QSignalBlocker blocker(box);
    const QString shown = box->currentText();
    box->addItems(items);
    box->setEditText(shown);
}

}  // namespace

MainWindow::MainWindow(project::Project* project, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), project_(project) {
    // Every main window starts on a new project, as the first one does: one closed earlier
    // took its work with it.
    project_->clear();
    ui->setupUi(this);
    setupFonts();
    setupFlag();
    setupInputs();
    setupSelectors();
    setupStatusBar();
    setupCodeMenu();
    setupSize();
    fillSelectors();
    setupCommands();
    setupLayoutMenu();
    setupProject();
    setupBeamCommands();
    giveMenuKeysPriority(this);
    ui->widthEdit->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

const std::optional<engine::CompletedDesign>& MainWindow::lastDesign() const {
    return project_->design();
}

engine::DesignCode MainWindow::designCode() const {
    return project_->code();
}

void MainWindow::setupFonts() {
    applyFractionalPointSizes(this);
}

void MainWindow::setupFlag() {
    flag_ = new QMovie(QStringLiteral(":/mainwindow/flag.gif"), QByteArray(), this);
    connect(flag_, &QMovie::frameChanged, this,
            [this] { ui->aboutButton->setIcon(QIcon(flag_->currentPixmap())); });
    flag_->start();
}

// Each command is connected to what it does; the menu entries and buttons that share a
// command share its target.
void MainWindow::setupCommands() {
    // Alt+C belongs to the "&Calcular" menu-bar entry; both run the same calculation, and one
    // owner keeps the key from being ambiguous.
    ui->calculateButton->setShortcut(QKeySequence());
    connect(ui->calculateButton, &QAbstractButton::clicked, this, &MainWindow::calculate);
    connect(ui->calculateAction, &QAction::triggered, this, &MainWindow::calculate);
    connect(ui->clearButton, &QAbstractButton::clicked, this, &MainWindow::clearInputs);
    connect(ui->exitButton, &QAbstractButton::clicked, this, &MainWindow::exitProgram);
    connect(ui->exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(ui->barTableButton, &QAbstractButton::clicked, this, &windows::showBarTable);
    connect(ui->barTableAction, &QAction::triggered, this, &windows::showBarTable);
    connect(ui->aboutButton, &QAbstractButton::clicked, this, &windows::showSplash);
    connect(ui->atAction, &QAction::triggered, this, &windows::showSplash);
    connect(ui->aboutAction, &QAction::triggered, this, &windows::showSplash);
    connect(ui->infoAction, &QAction::triggered, this, &windows::showInfo);
    connect(ui->printAction, &QAction::triggered, this,
            [this] { printing::printDesignReport(this, printedReport()); });
}

void MainWindow::setupInputs() {
    for (QLineEdit* field : inputFields()) {
        connect(field, &QLineEdit::textChanged, this, &MainWindow::updateCalculateEnabled);
        connect(field, &QLineEdit::textChanged, this, &MainWindow::inputEdited);
    }
    ui->resultsBox->document()->setDocumentMargin(2);
}

void MainWindow::setupSelectors() {
    // The compression-steel group appears once a design comes out doubly reinforced.
    ui->compressionSteelFrame->hide();
    const struct {
        QComboBox* count;
        QComboBox* designation;
        void (MainWindow::*show)();
    } groups[] = {
        {ui->tensionCountCombo, ui->tensionBarCombo, &MainWindow::showTensionSteel},
        {ui->compressionCountCombo, ui->compressionBarCombo, &MainWindow::showCompressionSteel},
    };
    for (const auto& group : groups) {
        for (QComboBox* box : {group.count, group.designation}) {
            // A typed "1" stays "1": no completion from the list.
            box->setCompleter(nullptr);
            box->setInsertPolicy(QComboBox::NoInsert);
            // A choice from the list and a typed change both update the group.
            connect(box, &QComboBox::activated, this, group.show);
            connect(box, &QComboBox::editTextChanged, this, group.show);
        }
    }
}

void MainWindow::setupStatusBar() {
    statusPanels_ = new StatusPanels(ui->statusBar);
}

// The code choice is the last menu on the bar, so no existing menu or entry moves.
void MainWindow::setupCodeMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Norma"));
    menu->setObjectName(QStringLiteral("codeMenu"));
    menu->setToolTipsVisible(true);
    codeActions_ = new QActionGroup(this);
    codeActions_->setExclusive(true);
    for (const CodeEntry& entry : codeEntries) {
        QAction* action = menu->addAction(QString::fromLatin1(entry.caption));
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setCheckable(true);
        action->setToolTip(QString::fromUtf8("Norma de diseño para el próximo cálculo"));
        action->setData(static_cast<int>(entry.code));
        codeActions_->addAction(action);
    }
    connect(codeActions_, &QActionGroup::triggered, this, [this](const QAction* action) {
        setDesignCode(static_cast<engine::DesignCode>(action->data().toInt()));
    });
    project_->setCode(savedDesignCode());
    showDesignCode();
    // The code of an opened file is also the one the next start proposes.
    connect(project_, &project::Project::codeChanged, this, [this] {
        saveDesignCode(project_->code());
        showDesignCode();
    });
}

void MainWindow::setDesignCode(engine::DesignCode code) {
    if (code == project_->code()) return;
    project_->setCode(code);
    project_->setModified(true);
}

void MainWindow::showDesignCode() {
    for (QAction* action : codeActions_->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(designCode()));
    statusPanels_->showDesignCode(designCode());
}

QString MainWindow::printedReport() const {
    const auto& last = lastDesign();
    const std::string text = last ? engine::printedReport(last->run, decimalSeparator())
                                  : engine::blankPrintedReport(designCode());
    return fromEngine(text);
}

void MainWindow::setupSize() {
    // The client area under the menu bar is fixed; the controls keep their places when the
    // window grows, since the central widget has no layout.
    resize(clientWidth, menuBar()->sizeHint().height() + clientHeight);
}

void MainWindow::fillSelectors() {
    QStringList counts;
    for (int n = 1; n <= largestCount; ++n) counts << QString::number(n);
    QStringList designations;
    for (const engine::Bar& bar : engine::bars()) designations << QString::number(bar.designation);
    fillList(ui->tensionCountCombo, counts);
    fillList(ui->tensionBarCombo, designations);
    fillList(ui->compressionCountCombo, counts);
    fillList(ui->compressionBarCombo, designations);
}

// The seven inputs in the order of engine::inputs: b, h, d', f'c, Fy, Mu, d''.
std::array<QLineEdit*, engine::inputs.size()> MainWindow::inputFields() const {
    return {ui->widthEdit, ui->heightEdit, ui->coverEdit,           ui->fcEdit,
            ui->fyEdit,    ui->momentEdit, ui->compressionCoverEdit};
}

void MainWindow::calculate() {
    if (project_->inputNotANumber()) {
        showError(fromEngine(engine::notANumberMessage));
        return;
    }

    const char separator = decimalSeparator();
    const engine::DesignInput input = engine::designInput(project_->inputs().values);
    const engine::RunOutcome outcome = engine::runDesign(input, designCode());
    if (const auto* error = std::get_if<engine::DesignError>(&outcome)) {
        showError(fromEngine(engine::designErrorMessage(*error)));
        return;
    }
    const auto& run = std::get<engine::DesignRun>(outcome);
    const QString report = fromEngine(engine::resultsReport(run, separator));

    ui->compressionSteelFrame->setVisible(run.kind() == engine::SectionKind::Doubly);
    showReport(report);
    project_->setDesign(engine::CompletedDesign{input, run});
    layoutAction_->setEnabled(true);
}

void MainWindow::updateCalculateEnabled() {
    const auto fields = inputFields();
    const bool filled = std::none_of(fields.begin(), fields.end(),
                                     [](const QLineEdit* f) { return f->text().isEmpty(); });
    ui->calculateButton->setEnabled(filled);
    ui->calculateAction->setEnabled(filled);
}

void MainWindow::clearInputs() {
    const QString blank = QStringLiteral(" ");
    // Each assignment raises that field's change handler, as typing would.
    for (QLineEdit* field : inputFields()) field->setText(blank);
    showReport(blank);
    ui->calculateButton->setEnabled(false);
    ui->calculateAction->setEnabled(false);
}

void MainWindow::showTensionSteel() {
    showSuppliedSteel(ui->tensionCountCombo, ui->tensionBarCombo, ui->tensionAreaEdit,
                      ui->tensionSteelLabel);
}

void MainWindow::showCompressionSteel() {
    showSuppliedSteel(ui->compressionCountCombo, ui->compressionBarCombo, ui->compressionAreaEdit,
                      ui->compressionSteelLabel);
}

// The box's one button keeps the program's caption "OK" whatever Qt's translation says.
void MainWindow::showError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

void MainWindow::showReport(const QString& report) {
    // The box breaks lines at '\n'; a CR left in would show as a stray character.
    QString lines = report;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->resultsBox->setPlainText(lines);
}

// "&Refuerzo" sits between "&Calcular" and "A&yuda"; its entry waits for a completed design.
void MainWindow::setupLayoutMenu() {
    auto* layoutMenu = new QMenu(QStringLiteral("&Refuerzo"), menuBar());
    layoutMenu->setObjectName(QStringLiteral("layoutMenu"));
    layoutAction_ = layoutMenu->addAction(QStringLiteral("&Disposición de barras..."));
    layoutAction_->setObjectName(QStringLiteral("layoutAction"));
    layoutAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    layoutAction_->setEnabled(false);
    menuBar()->insertMenu(ui->helpMenu->menuAction(), layoutMenu);
    connect(layoutAction_, &QAction::triggered, this, &MainWindow::showLayoutWindow);
}

// The beam window's entry sits under "&Disposición de barras..." and is always enabled.
void MainWindow::setupBeamCommands() {
    QAction* beamAction = new QAction(QStringLiteral("&Viga y despiece..."), this);
    beamAction->setObjectName(QStringLiteral("beamAction"));
    beamAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    if (auto* layoutMenu = menuBar()->findChild<QMenu*>(QStringLiteral("layoutMenu")))
        layoutMenu->addAction(beamAction);
    connect(beamAction, &QAction::triggered, this, &MainWindow::showBeamWindow);
}

// The beam window shows the project's beam; a project without one starts it from the section
// of the last design, or else of the inputs as typed.
void MainWindow::showBeamWindow() {
    windows::showBeamWindow();
}

// The layout window works on the same project: it follows its designs by itself.
void MainWindow::showLayoutWindow() {
    windows::showLayoutWindow();
}

// The covers the layout window found for the chosen bars, written as typed and designed again.
void MainWindow::useCovers(double dPrime, double dSecond) {
    const char separator = decimalSeparator();
    ui->coverEdit->setText(fromEngine(engine::formatGeneral(dPrime, separator)));
    ui->compressionCoverEdit->setText(fromEngine(engine::formatGeneral(dSecond, separator)));
    calculate();
}

// The file commands go above "Imprimir"; the window remembers what it showed at start-up for
// "Nuevo", which are the inputs of the project it starts.
void MainWindow::setupProject() {
    caption_ = windowTitle();
    fileCommands_ = new FileCommands(project_, this);
    fileCommands_->addToMenu(ui->fileMenu, ui->printAction);
    connect(fileCommands_, &FileCommands::projectStarted, this, &MainWindow::resetToStartup);
    connect(fileCommands_, &FileCommands::projectOpened, this, &MainWindow::showOpenedProject);
    connect(fileCommands_, &FileCommands::inputRefused, this,
            [this](project::Input input) { focusInput(static_cast<int>(input)); });
    connect(project_, &project::Project::coversProposed, this, &MainWindow::useCovers);
    startup_.inputs = inputTexts();
    startup_.report = ui->resultsBox->toPlainText();
    startup_.selectors = {ui->tensionCountCombo->currentText(), ui->tensionBarCombo->currentText(),
                          ui->compressionCountCombo->currentText(),
                          ui->compressionBarCombo->currentText()};
    writeInputs();
    connect(project_, &project::Project::inputsChanged, this, &MainWindow::showProjectInputs);
    connect(project_, &project::Project::pathChanged, this, &MainWindow::showTitle);
    connect(project_, &project::Project::modifiedChanged, this, &MainWindow::showTitle);
}

// A field edited (typed, cleared, or filled with the proposed covers) edits the project.
void MainWindow::inputEdited() {
    if (showingProject_) return;
    if (writeInputs()) project_->setModified(true);
}

// The project takes the fields as they read now; true when that changed it.
bool MainWindow::writeInputs() {
    const TypedInputs typed = inputsFromTexts(inputTexts(), decimalSeparator(), project_->inputs());
    if (typed.inputs == project_->inputs() && typed.notANumber == project_->inputNotANumber())
        return false;
    project_->setInputs(typed.inputs, typed.notANumber);
    return true;
}

// Inputs that changed elsewhere (a file opened, a new project) replace the fields' texts; the
// fields that already read as the project's inputs keep their texts as typed.
void MainWindow::showProjectInputs() {
    const project::DesignInputs& inputs = project_->inputs();
    const TypedInputs shown = inputsFromTexts(inputTexts(), decimalSeparator(), inputs);
    if (shown.inputs == inputs && shown.notANumber == project_->inputNotANumber()) return;
    fillInputs();
}

// Each field shows its input as the shortest text that reads back as the same number.
void MainWindow::fillInputs() {
    const QScopedValueRollback<bool> filling(showingProject_, true);
    const auto fields = inputFields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i]->setText(inputText(project_->inputs().values[i], decimalSeparator()));
}

void MainWindow::showTitle() {
    const QString& path = project_->path();
    if (path.isEmpty()) {
        setWindowTitle(caption_);
        setWindowModified(false);
        return;
    }
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] - ") + caption_);
    setWindowModified(project_->isModified());
}

std::array<QString, 7> MainWindow::inputTexts() const {
    std::array<QString, 7> texts;
    const auto fields = inputFields();
    for (std::size_t i = 0; i < fields.size(); ++i) texts[i] = fields[i]->text();
    return texts;
}

void MainWindow::setInputTexts(const std::array<QString, 7>& texts) {
    const auto fields = inputFields();
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->setText(texts[i]);
}

void MainWindow::focusInput(int index) {
    QLineEdit* field = inputFields().at(static_cast<std::size_t>(index));
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void MainWindow::resetToStartup() {
    windows::closeLayoutWindow();
    {
        const QScopedValueRollback<bool> filling(showingProject_, true);
        setInputTexts(startup_.inputs);
    }
    writeInputs();
    showResultsAsAtStartup();
}

// As at start-up, the selectors show their texts and nothing beside them, and the results box
// its first text.
void MainWindow::showResultsAsAtStartup() {
    const std::array<QComboBox*, 4> selectors = {ui->tensionCountCombo, ui->tensionBarCombo,
                                                 ui->compressionCountCombo,
                                                 ui->compressionBarCombo};
    for (std::size_t i = 0; i < selectors.size(); ++i) {
        const QSignalBlocker blocker(selectors[i]);
        selectors[i]->setEditText(startup_.selectors[i]);
    }
    for (QLineEdit* area : {ui->tensionAreaEdit, ui->compressionAreaEdit}) area->clear();
    for (QLabel* description : {ui->tensionSteelLabel, ui->compressionSteelLabel})
        description->clear();
    showReport(startup_.report);
    ui->compressionSteelFrame->hide();
    project_->clearDesign();
    layoutAction_->setEnabled(false);
    ui->widthEdit->setFocus(Qt::OtherFocusReason);
}

// Saved with the layout window open, the file opens it again with the same bars.
void MainWindow::showOpenedProject() {
    windows::closeLayoutWindow();
    fillInputs();
    showResultsAsAtStartup();
    calculate();
    if (project_->hasLayout() && project_->design()) showLayoutWindow();
}

void MainWindow::exitProgram() {
    if (fileCommands_->mayDiscardChanges()) windows::endProgram();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (fileCommands_->mayDiscardChanges())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

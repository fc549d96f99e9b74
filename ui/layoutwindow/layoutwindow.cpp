#include "layoutwindow/layoutwindow.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QStringList>
#include <QTableWidget>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "drawing/sectiondrawing.h"
#include "engine/candidatecheck.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "project/project.h"
#include "ui_layoutwindow.h"

namespace {

QString fixed(double value, int decimals) {
    return fromEngine(engine::formatFixed(value, decimals, decimalSeparator()));
}

int selectedRow(const QTableWidget* table) {
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int indexOf(const engine::CandidateSearch& search, const engine::Arrangement& arrangement) {
    for (std::size_t i = 0; i < search.candidates.size(); ++i)
        if (search.candidates[i].arrangement == arrangement) return static_cast<int>(i);
    return -1;
}

// The bars typed in the three fields, or the first typing error, named by its field. Blank
// layers hold no bars; the lowest one must hold some.
struct TypedBars {
    project::ChosenBars bars;
    QString error;
};

TypedBars readTyped(const std::array<QString, 3>& texts) {
    TypedBars typed;
    typed.bars.typed = true;
    struct Field {
        const char* name;
        engine::Arrangement& into;
        bool required;
    };
    const Field fields[] = {
        {"Capa inferior", typed.bars.tension, true},
        {"Segunda capa", typed.bars.tension, false},
        {"Compresión", typed.bars.compression, false},
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Field& field = fields[i];
        if (!field.required && texts[i].trimmed().isEmpty()) continue;
        const engine::ParsedLayer layer = engine::parseLayer(texts[i].toStdString());
        if (!layer.ok()) {
            typed.error =
                QString::fromUtf8(field.name) + QStringLiteral(": ") + fromEngine(layer.error);
            return typed;
        }
        field.into.layers.push_back(layer.layer);
    }
    return typed;
}

QString layerText(const engine::Arrangement& arrangement, std::size_t layer) {
    return layer < arrangement.layers.size()
               ? fromEngine(engine::formatLayer(arrangement.layers[layer]))
               : QString();
}

}  // namespace

LayoutWindow::LayoutWindow(project::Project* project, QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::LayoutWindow>()),
      project_(project ? project : new project::Project(this)) {
    ui->setupUi(this);
    setupInputs();
    setupTables();
    setupConnections();
    followDesign();
}

LayoutWindow::~LayoutWindow() = default;

const SectionDrawing& LayoutWindow::drawing() const {
    return *ui->sectionDrawing;
}

engine::LayoutSettings LayoutWindow::settings() const {
    return project_->layoutSettings();
}

bool LayoutWindow::hasArrangement() const {
    return project_->bars().has_value();
}

project::ChosenBars LayoutWindow::choice() const {
    return project_->bars().value_or(project::ChosenBars{});
}

void LayoutWindow::setupInputs() {
    for (const engine::Bar& bar : engine::bars())
        ui->stirrupCombo->addItem(QStringLiteral("N° %1").arg(bar.designation), bar.designation);
    ui->maxLayersCombo->addItems({QStringLiteral("1"), QStringLiteral("2")});
    ui->bendRadiusNoteLabel->setText(fromEngine(engine::layoutText::bendRadiusNote));
    ui->useCoversButton->hide();
    ui->compressionGroup->hide();
    ui->tensionNoFitLabel->hide();
    ui->compressionNoFitLabel->hide();
    ui->nonePassLabel->hide();
    showSettings();
}

void LayoutWindow::setupTables() {
    for (QTableWidget* table : {ui->tensionTable, ui->compressionTable}) {
        table->verticalHeader()->hide();
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

// Every change the user makes is also announced, after it has been handled; the program's own
// changes go past these connections (their signals are blocked or not raised).
void LayoutWindow::setupConnections() {
    for (QComboBox* box : {ui->stirrupCombo, ui->maxLayersCombo}) {
        connect(box, &QComboBox::currentIndexChanged, this, &LayoutWindow::readSettings);
        connect(box, &QComboBox::currentIndexChanged, this, &LayoutWindow::arrangementEdited);
    }
    for (QLineEdit* edit : {ui->clearCoverEdit, ui->aggregateEdit}) {
        connect(edit, &QLineEdit::textChanged, this, &LayoutWindow::readSettings);
        connect(edit, &QLineEdit::textChanged, this, &LayoutWindow::arrangementEdited);
    }
    for (QTableWidget* table : {ui->tensionTable, ui->compressionTable}) {
        connect(table, &QTableWidget::itemSelectionChanged, this, &LayoutWindow::chooseRows);
        connect(table, &QTableWidget::itemSelectionChanged, this, &LayoutWindow::arrangementEdited);
    }
    connect(ui->checkTypedButton, &QPushButton::clicked, this, &LayoutWindow::checkTyped);
    connect(ui->checkTypedButton, &QPushButton::clicked, this, &LayoutWindow::arrangementEdited);
    for (QLineEdit* edit : {ui->lowestLayerEdit, ui->secondLayerEdit, ui->compressionLayerEdit}) {
        connect(edit, &QLineEdit::returnPressed, this, &LayoutWindow::checkTyped);
        connect(edit, &QLineEdit::returnPressed, this, &LayoutWindow::arrangementEdited);
    }
    connect(ui->useCoversButton, &QPushButton::clicked, this, &LayoutWindow::proposeCovers);
    connect(this, &LayoutWindow::arrangementEdited, project_,
            [this] { project_->setModified(true); });
    connect(this, &LayoutWindow::coversProposed, project_, &project::Project::coversProposed);
    connect(project_, &project::Project::designChanged, this, [this] {
        if (!writing_) followDesign();
    });
    connect(project_, &project::Project::layoutChanged, this, [this] {
        if (!writing_) followLayout();
    });
}

void LayoutWindow::setDesign(const engine::DesignInput& input, const engine::DesignRun& run) {
    project_->setDesign(engine::CompletedDesign{input, run});
}

void LayoutWindow::restore(const engine::LayoutSettings& settings,
                           const project::ChosenBars& choice) {
    project_->setLayoutSettings(settings);
    project_->setBars(choice);
}

void LayoutWindow::followDesign() {
    const auto& design = project_->design();
    if (design) {
        const engine::DesignInput& input = design->input;
        const engine::DesignRun& run = design->run;
        const char separator = decimalSeparator();
        ui->codeLabel->setText(QStringLiteral("Norma de diseño : ") +
                               fromEngine(engine::codeName(run.code())));
        ui->designLabel->setText(
            QStringLiteral("b = %1 cm    h = %2 cm    d = %3 cm    d'' = %4 cm")
                .arg(fromEngine(engine::formatGeneral(input.b, separator)),
                     fromEngine(engine::formatGeneral(input.h, separator)), fixed(run.d(), 2),
                     fixed(input.dSecond, 2)));
        searchCandidates();
        showChoice();
    }
    evaluate();
}

void LayoutWindow::followLayout() {
    showSettings();
    followDesign();
}

void LayoutWindow::showSettings() {
    const engine::LayoutSettings settings = project_->layoutSettings();
    const QSignalBlocker blockStirrup(ui->stirrupCombo);
    const QSignalBlocker blockLayers(ui->maxLayersCombo);
    const QSignalBlocker blockCover(ui->clearCoverEdit);
    const QSignalBlocker blockAggregate(ui->aggregateEdit);
    const int stirrup = ui->stirrupCombo->findData(settings.stirrupDesignation);
    if (stirrup >= 0) ui->stirrupCombo->setCurrentIndex(stirrup);
    ui->maxLayersCombo->setCurrentIndex(settings.maxTensionLayers == 1 ? 0 : 1);
    ui->clearCoverEdit->setText(
        fromEngine(engine::formatGeneral(settings.clearCover, decimalSeparator())));
    ui->aggregateEdit->setText(
        fromEngine(engine::formatGeneral(settings.maxAggregate, decimalSeparator())));
    ui->settingsMessageLabel->clear();
}

// A field that is not a number, or is negative, is reported and the settings stay as they were.
void LayoutWindow::readSettings() {
    engine::LayoutSettings next = project_->layoutSettings();
    next.stirrupDesignation = ui->stirrupCombo->currentData().toInt();
    next.maxTensionLayers = ui->maxLayersCombo->currentIndex() + 1;
    struct Field {
        const QLineEdit* edit;
        const char* name;
        double& value;
    };
    const Field fields[] = {{ui->clearCoverEdit, "Recubrimiento libre", next.clearCover},
                            {ui->aggregateEdit, "Tamaño máximo del agregado", next.maxAggregate}};
    for (const Field& field : fields) {
        const QString typed = field.edit->text();
        const std::optional<double> value =
            engine::parseNumber(typed.toStdString(), decimalSeparator());
        QString problem;
        if (!value)
            problem = QStringLiteral("«%1» no es un número.").arg(typed);
        else if (*value < 0)
            problem = QStringLiteral("el valor no puede ser negativo.");
        if (!problem.isEmpty()) {
            ui->settingsMessageLabel->setText(QString::fromUtf8(field.name) + QStringLiteral(": ") +
                                              problem);
            return;
        }
        field.value = *value;
    }
    ui->settingsMessageLabel->clear();
    writing_ = true;
    project_->setLayoutSettings(next);
    writing_ = false;
    if (!project_->design()) return;
    searchCandidates();
    showChoice();
    evaluate();
}

void LayoutWindow::searchCandidates() {
    const engine::DesignInput& input = project_->design()->input;
    const engine::DesignRun& run = project_->design()->run;
    const engine::LayoutSettings settings = project_->layoutSettings();
    tensionSearch_ =
        engine::findCandidates(run.as(), engine::Face::Tension, settings, input.b, input.h);
    const bool doubly = run.kind() == engine::SectionKind::Doubly && run.asPrime() > 0;
    compressionSearch_ = doubly ? engine::findCandidates(run.asPrime(), engine::Face::Compression,
                                                         settings, input.b, input.h)
                                : engine::CandidateSearch{};
    engine::rankByCheck(tensionSearch_, compressionSearch_, *project_->design());
    ui->tensionGroup->setTitle(
        QStringLiteral("Acero a tensión : As = %1 cm²").arg(fixed(run.as(), 2)));
    ui->compressionGroup->setTitle(
        QStringLiteral("Acero a compresión : A's = %1 cm²").arg(fixed(run.asPrime(), 2)));
    ui->compressionGroup->setVisible(doubly);
    fillTable(ui->tensionTable, tensionSearch_);
    fillTable(ui->compressionTable, compressionSearch_);
    const char separator = decimalSeparator();
    ui->tensionNoFitLabel->setText(fromEngine(engine::noFitText(tensionSearch_, separator)));
    ui->tensionNoFitLabel->setVisible(tensionSearch_.candidates.empty());
    ui->compressionNoFitLabel->setText(
        fromEngine(engine::noFitText(compressionSearch_, separator)));
    ui->compressionNoFitLabel->setVisible(doubly && compressionSearch_.candidates.empty());
    ui->nonePassLabel->setText(fromEngine(engine::nonePassesText));
    ui->nonePassLabel->setVisible(!tensionSearch_.candidates.empty() &&
                                  !engine::anyPasses(tensionSearch_));
}

void LayoutWindow::fillTable(QTableWidget* table, const engine::CandidateSearch& search) {
    const QSignalBlocker block(table);
    table->clearSelection();
    table->setRowCount(static_cast<int>(search.candidates.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const engine::Candidate& candidate = search.candidates[row];
        const QString cells[] = {fromEngine(engine::formatArrangement(candidate.arrangement)),
                                 fixed(candidate.area, 2), fixed(candidate.excess * 100, 1),
                                 QString::number(candidate.layers),
                                 fixed(candidate.clearSpacing, 2),
                                 candidate.passes ? fromEngine(engine::verdictText(*candidate.passes))
                                                  : QString()};
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            const Qt::Alignment side = column == 0 ? Qt::AlignLeft : Qt::AlignRight;
            item->setTextAlignment(side | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
}

// The project's bars: rows of the tables when they are proposals shown there, else in the typed
// fields. Without bars the first rows are chosen.
void LayoutWindow::showChoice() {
    const std::optional<project::ChosenBars>& bars = project_->bars();
    if (!bars) {
        selectRows(0, 0);
        return;
    }
    if (!bars->typed) {
        const int tensionRow = indexOf(tensionSearch_, bars->tension);
        const int compressionRow = indexOf(compressionSearch_, bars->compression);
        const bool compressionShown = bars->compression.layers.empty()
                                          ? compressionSearch_.candidates.empty()
                                          : compressionRow >= 0;
        if (tensionRow >= 0 && compressionShown) {
            for (const auto& [table, row] : {std::pair{ui->tensionTable, tensionRow},
                                             std::pair{ui->compressionTable, compressionRow}}) {
                const QSignalBlocker block(table);
                table->clearSelection();
                if (row >= 0) table->selectRow(row);
            }
            ui->typedMessageLabel->clear();
            return;
        }
    }
    ui->lowestLayerEdit->setText(layerText(bars->tension, 0));
    ui->secondLayerEdit->setText(layerText(bars->tension, 1));
    ui->compressionLayerEdit->setText(layerText(bars->compression, 0));
    ui->typedMessageLabel->clear();
    for (QTableWidget* table : {ui->tensionTable, ui->compressionTable}) {
        const QSignalBlocker block(table);
        table->clearSelection();
    }
}

// Rows that are not in a table (-1) fall back to its first row.
void LayoutWindow::selectRows(int tensionRow, int compressionRow) {
    const std::pair<QTableWidget*, int> rows[] = {{ui->tensionTable, tensionRow},
                                                  {ui->compressionTable, compressionRow}};
    for (const auto& [table, row] : rows) {
        const QSignalBlocker block(table);
        table->clearSelection();
        if (table->rowCount() > 0) table->selectRow(row >= 0 ? row : 0);
    }
    chooseRows();
}

// A row chosen in one table after typed bars takes the first row of the other table with it.
void LayoutWindow::chooseRows() {
    for (QTableWidget* table : {ui->tensionTable, ui->compressionTable}) {
        const QSignalBlocker block(table);
        if (selectedRow(table) < 0 && table->rowCount() > 0) table->selectRow(0);
    }
    const int tensionRow = selectedRow(ui->tensionTable);
    if (tensionRow < 0) {
        evaluate();
        return;
    }
    project::ChosenBars next;
    next.tension = tensionSearch_.candidates[tensionRow].arrangement;
    const int compressionRow = selectedRow(ui->compressionTable);
    if (compressionRow >= 0)
        next.compression = compressionSearch_.candidates[compressionRow].arrangement;
    ui->typedMessageLabel->clear();
    setBars(next);
    evaluate();
}

void LayoutWindow::checkTyped() {
    const TypedBars typed = readTyped({ui->lowestLayerEdit->text(), ui->secondLayerEdit->text(),
                                       ui->compressionLayerEdit->text()});
    if (!typed.error.isEmpty()) {
        ui->typedMessageLabel->setText(typed.error);
        return;
    }
    ui->typedMessageLabel->clear();
    for (QTableWidget* table : {ui->tensionTable, ui->compressionTable}) {
        const QSignalBlocker block(table);
        table->clearSelection();
    }
    setBars(typed.bars);
    evaluate();
}

void LayoutWindow::setBars(const project::ChosenBars& bars) {
    writing_ = true;
    project_->setBars(bars);
    writing_ = false;
}

void LayoutWindow::evaluate() {
    check_ = {};
    const auto& design = project_->design();
    const auto& bars = project_->bars();
    const engine::LayoutSettings settings = project_->layoutSettings();
    SectionGeometry geometry;
    bool realDepthSmaller = false;
    if (design && bars) {
        check_ = engine::checkBars(bars->tension, bars->compression, settings, *design,
                                   decimalSeparator());
        geometry = sectionGeometry(*design, settings, &check_);
        realDepthSmaller = engine::realDepthShort(check_.tension.centroid, design->run.d());
    } else if (design) {
        geometry = sectionGeometry(*design, settings, nullptr);
    }
    QStringList lines;
    for (const std::string& line : check_.lines) lines << fromEngine(line);
    ui->checkText->setPlainText(lines.join(QLatin1Char('\n')));
    if (check_.capacity) {
        ui->verdictLabel->setText(fromEngine(engine::verdictText(check_.capacity->passes)));
        ui->verdictLabel->setStyleSheet(check_.capacity->passes
                                            ? QStringLiteral("color: rgb(0, 128, 0);")
                                            : QStringLiteral("color: rgb(192, 0, 0);"));
    } else {
        ui->verdictLabel->clear();
    }
    ui->useCoversButton->setVisible(realDepthSmaller);
    ui->sectionDrawing->setSection(geometry);
}

void LayoutWindow::proposeCovers() {
    const auto& design = project_->design();
    if (!design || !project_->bars()) return;
    const double dPrime = engine::proposedCover(design->input.h - check_.tension.centroid);
    const double dSecond = check_.compression.bars.empty()
                               ? design->input.dSecond
                               : engine::proposedCover(check_.compression.centroid);
    Q_EMIT coversProposed(dPrime, dSecond);
}

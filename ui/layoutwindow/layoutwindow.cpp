#include "layoutwindow/layoutwindow.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QStringList>
#include <QTableWidget>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "engine/candidatecheck.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "layoutwindow/sectiondrawing.h"
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

// The texts of a choice read into arrangements; the first typing error, named by its field,
// when one of them cannot be read. Blank layers hold no bars; the lowest one must hold some.
struct ParsedChoice {
    engine::Arrangement tension;
    engine::Arrangement compression;
    QString error;
};

ParsedChoice parseChoice(const LayoutChoice& choice) {
    ParsedChoice parsed;
    struct Field {
        const std::string& text;
        const char* name;
        engine::Arrangement& into;
        bool required;
    };
    const Field fields[] = {
        {choice.lowestLayer, "Capa inferior", parsed.tension, true},
        {choice.secondLayer, "Segunda capa", parsed.tension, false},
        {choice.compression, "Compresión", parsed.compression, false},
    };
    for (const Field& field : fields) {
        if (!field.required && QString::fromStdString(field.text).trimmed().isEmpty()) continue;
        const engine::ParsedLayer layer = engine::parseLayer(field.text);
        if (!layer.ok()) {
            parsed.error =
                QString::fromUtf8(field.name) + QStringLiteral(": ") + fromEngine(layer.error);
            return parsed;
        }
        field.into.layers.push_back(layer.layer);
    }
    return parsed;
}

LayoutChoice choiceTexts(const engine::Arrangement& tension,
                         const engine::Arrangement& compression) {
    LayoutChoice choice;
    if (!tension.layers.empty()) choice.lowestLayer = engine::formatLayer(tension.layers[0]);
    if (tension.layers.size() > 1) choice.secondLayer = engine::formatLayer(tension.layers[1]);
    if (!compression.layers.empty())
        choice.compression = engine::formatLayer(compression.layers[0]);
    return choice;
}

}  // namespace

LayoutWindow::LayoutWindow(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::LayoutWindow>()) {
    ui->setupUi(this);
    setupInputs();
    setupTables();
    setupConnections();
    evaluate();
}

LayoutWindow::~LayoutWindow() = default;

const SectionDrawing& LayoutWindow::drawing() const {
    return *ui->sectionDrawing;
}

LayoutChoice LayoutWindow::choice() const {
    return chosen_ ? chosen_->texts : LayoutChoice{};
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
    restore(settings_, {});
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
}

void LayoutWindow::setDesign(const engine::DesignInput& input, const engine::DesignRun& run) {
    design_ = engine::CompletedDesign{input, run};
    const char separator = decimalSeparator();
    ui->codeLabel->setText(QStringLiteral("Norma de diseño : ") +
                           fromEngine(engine::codeName(run.code())));
    QString summary = QStringLiteral("b = %1 cm    h = %2 cm    d = %3 cm    d'' = %4 cm")
                          .arg(fromEngine(engine::formatGeneral(input.b, separator)),
                               fromEngine(engine::formatGeneral(input.h, separator)),
                               fixed(run.d(), 2), fixed(input.dSecond, 2));
    ui->designLabel->setText(summary);

    searchCandidates();
    if (pendingChoice_) {
        const LayoutChoice choice = *pendingChoice_;
        pendingChoice_.reset();
        applyChoice(choice);
    } else {
        keepChoice();
    }
    evaluate();
}

void LayoutWindow::restore(const engine::LayoutSettings& settings, const LayoutChoice& choice) {
    {
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
    }
    ui->settingsMessageLabel->clear();
    readSettings();
    if (design_) {
        applyChoice(choice);
        evaluate();
    } else if (choice != LayoutChoice{}) {
        pendingChoice_ = choice;
    }
}

// Rows that match the choice are selected; a choice not in the tables is checked as typed.
// An empty choice takes the first rows.
void LayoutWindow::applyChoice(const LayoutChoice& choice) {
    if (choice == LayoutChoice{}) {
        selectRows(0, 0);
        return;
    }
    const ParsedChoice parsed = parseChoice(choice);
    const int tensionRow = indexOf(tensionSearch_, parsed.tension);
    const int compressionRow = indexOf(compressionSearch_, parsed.compression);
    const bool inTables = !choice.typed && parsed.error.isEmpty() && tensionRow >= 0 &&
                          (compressionRow >= 0 || compressionSearch_.candidates.empty());
    if (inTables) {
        selectRows(tensionRow, compressionRow);
        return;
    }
    ui->lowestLayerEdit->setText(fromEngine(choice.lowestLayer));
    ui->secondLayerEdit->setText(fromEngine(choice.secondLayer));
    ui->compressionLayerEdit->setText(fromEngine(choice.compression));
    checkTyped();
}

// After new candidates: typed bars stay as typed, chosen rows stay chosen while they are still
// in the tables, else the first rows are taken.
void LayoutWindow::keepChoice() {
    if (chosen_ && chosen_->texts.typed) {
        QString error;
        chooseTexts(chosen_->texts, &error);
    } else if (chosen_) {
        selectRows(indexOf(tensionSearch_, chosen_->tension),
                   indexOf(compressionSearch_, chosen_->compression));
    } else {
        selectRows(0, 0);
    }
}

// A field that is not a number, or is negative, is reported and the settings stay as they were.
void LayoutWindow::readSettings() {
    engine::LayoutSettings next = settings_;
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
    settings_ = next;
    if (!design_) return;
    searchCandidates();
    keepChoice();
    evaluate();
}

void LayoutWindow::searchCandidates() {
    const engine::DesignInput& input = design_->input;
    const engine::DesignRun& run = design_->run;
    tensionSearch_ =
        engine::findCandidates(run.as(), engine::Face::Tension, settings_, input.b, input.h);
    const bool doubly = run.kind() == engine::SectionKind::Doubly && run.asPrime() > 0;
    compressionSearch_ = doubly ? engine::findCandidates(run.asPrime(), engine::Face::Compression,
                                                         settings_, input.b, input.h)
                                : engine::CandidateSearch{};
    engine::rankByCheck(tensionSearch_, compressionSearch_, *design_);
    ui->tensionGroup->setTitle(
        QStringLiteral("Acero a tensión : As = %1 cm2").arg(fixed(run.as(), 2)));
    ui->compressionGroup->setTitle(
        QStringLiteral("Acero a compresión : A's = %1 cm2").arg(fixed(run.asPrime(), 2)));
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
        if (!(chosen_ && chosen_->texts.typed)) chosen_.reset();
        evaluate();
        return;
    }
    Chosen next;
    next.tension = tensionSearch_.candidates[tensionRow].arrangement;
    const int compressionRow = selectedRow(ui->compressionTable);
    if (compressionRow >= 0)
        next.compression = compressionSearch_.candidates[compressionRow].arrangement;
    next.texts = choiceTexts(next.tension, next.compression);
    chosen_ = next;
    ui->typedMessageLabel->clear();
    evaluate();
}

void LayoutWindow::checkTyped() {
    const LayoutChoice typed{ui->lowestLayerEdit->text().toStdString(),
                             ui->secondLayerEdit->text().toStdString(),
                             ui->compressionLayerEdit->text().toStdString(), true};
    QString error;
    if (!chooseTexts(typed, &error)) {
        ui->typedMessageLabel->setText(error);
        return;
    }
    ui->typedMessageLabel->clear();
    for (QTableWidget* table : {ui->tensionTable, ui->compressionTable}) {
        const QSignalBlocker block(table);
        table->clearSelection();
    }
    evaluate();
}

bool LayoutWindow::chooseTexts(const LayoutChoice& texts, QString* error) {
    ParsedChoice parsed = parseChoice(texts);
    if (!parsed.error.isEmpty()) {
        *error = parsed.error;
        return false;
    }
    chosen_ = Chosen{std::move(parsed.tension), std::move(parsed.compression), texts};
    return true;
}

void LayoutWindow::evaluate() {
    checkLines_.clear();
    tensionPlacement_ = {};
    compressionPlacement_ = {};
    SectionGeometry geometry;
    std::optional<engine::CapacityResult> capacity;
    bool realDepthSmaller = false;
    if (design_) {
        const engine::DesignInput& input = design_->input;
        const engine::DesignRun& run = design_->run;
        const char separator = decimalSeparator();
        geometry.b = input.b;
        geometry.h = input.h;
        geometry.clearCover = settings_.clearCover;
        if (const engine::Bar* stirrup = engine::findBar(settings_.stirrupDesignation))
            geometry.stirrupDiameter = stirrup->diameterCm();
        geometry.d = run.d();
        if (chosen_) {
            tensionPlacement_ = engine::placeBars(chosen_->tension, engine::Face::Tension,
                                                  settings_, input.b, input.h);
            checkLines_ = engine::placementLines(chosen_->tension, tensionPlacement_,
                                                 engine::Face::Tension, run.d(), separator);
            if (!chosen_->compression.layers.empty()) {
                compressionPlacement_ = engine::placeBars(
                    chosen_->compression, engine::Face::Compression, settings_, input.b, input.h);
                for (std::string& line :
                     engine::placementLines(chosen_->compression, compressionPlacement_,
                                            engine::Face::Compression, input.dSecond, separator))
                    checkLines_.push_back(std::move(line));
            }
            const std::vector<engine::SteelLayer> tension = engine::steelLayers(tensionPlacement_);
            const std::vector<engine::SteelLayer> compression =
                engine::steelLayers(compressionPlacement_);
            capacity = engine::checkCapacity(
                {run.code(), input.b, input.h, input.fc, input.fy, input.mu, tension, compression});
            if (capacity) {
                for (std::string& line : engine::capacityLines(*capacity, run.code(), separator))
                    checkLines_.push_back(std::move(line));
            }
            geometry.d = tensionPlacement_.centroid;
            geometry.tensionBars = tensionPlacement_.bars;
            geometry.compressionBars = compressionPlacement_.bars;
            realDepthSmaller = engine::realDepthShort(tensionPlacement_.centroid, run.d());
        }
    }
    QStringList lines;
    for (const std::string& line : checkLines_) lines << fromEngine(line);
    ui->checkText->setPlainText(lines.join(QLatin1Char('\n')));
    if (capacity) {
        ui->verdictLabel->setText(fromEngine(engine::verdictText(capacity->passes)));
        ui->verdictLabel->setStyleSheet(capacity->passes
                                            ? QStringLiteral("color: rgb(0, 128, 0);")
                                            : QStringLiteral("color: rgb(192, 0, 0);"));
    } else {
        ui->verdictLabel->clear();
    }
    ui->useCoversButton->setVisible(realDepthSmaller);
    ui->sectionDrawing->setSection(geometry);
}

void LayoutWindow::proposeCovers() {
    if (!design_ || !chosen_) return;
    const double dPrime = engine::proposedCover(design_->input.h - tensionPlacement_.centroid);
    const double dSecond = compressionPlacement_.bars.empty()
                               ? design_->input.dSecond
                               : engine::proposedCover(compressionPlacement_.centroid);
    Q_EMIT coversProposed(dPrime, dSecond);
}

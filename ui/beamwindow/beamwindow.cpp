#include "beamwindow/beamwindow.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "beamdrawing/beampainting.h"
#include "beamwindow/beamplot.h"
#include "beamwindow/fieldnumbers.h"
#include "beamwindow/spanstable.h"
#include "beamwindow/stationsfile.h"
#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "engine/beam/barschedule.h"
#include "engine/beam/beamtext.h"
#include "engine/beam/checktext.h"
#include "engine/catalogue.h"
#include "engine/drawing/beamdrawing.h"
#include "engine/layout/bartext.h"
#include "engine/numbers.h"
#include "project/project.h"

namespace {

namespace eb = engine::beam;

const QColor failColour(192, 0, 0);
const QColor passColour(0, 128, 0);

// Chooses the item whose data is `value`, adding one with `caption` when there is none (a value
// from a file that the list does not offer).
void chooseData(QComboBox* box, const QVariant& value, const QString& caption) {
    int index = box->findData(value);
    if (index < 0) {
        box->addItem(caption, value);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

// Where a window opened on a project without a beam starts: the section of the last design, or
// the inputs when they make a section, or a common 30 x 50 cm beam.
engine::DesignInput startingSection(const project::Project& project) {
    if (const auto& design = project.design()) return design->input;
    const engine::DesignInput typed = engine::designInput(project.inputs().values);
    if (typed.b > 0 && typed.h > 0 && typed.fc > 0 && typed.fy > 0 && typed.dPrime > 0 &&
        typed.dSecond > 0)
        return typed;
    return {30, 50, 6, 210, 4200, 0, 6};
}

QString fixed(double value, int decimals) {
    return fromEngine(engine::formatFixed(value, decimals, decimalSeparator()));
}

}  // namespace

struct BeamWindow::Fields {
    QLineEdit* nameEdit = nullptr;
    QLineEdit* widthEdit = nullptr;
    QLineEdit* heightEdit = nullptr;
    QLineEdit* dPrimeEdit = nullptr;
    QLineEdit* dSecondEdit = nullptr;
    QLineEdit* fcEdit = nullptr;
    QLineEdit* fyEdit = nullptr;
    QComboBox* codeCombo = nullptr;
    QComboBox* classCombo = nullptr;
    QComboBox* smallestBarCombo = nullptr;
    QComboBox* largestBarCombo = nullptr;
    QComboBox* stockCombo = nullptr;
    QTableView* spansView = nullptr;
    QLabel* stationsLabel = nullptr;
    QPushButton* clearStationsButton = nullptr;
    QLabel* messageLabel = nullptr;
    BeamPlot* elevationPlot = nullptr;
    BeamPlot* sectionsPlot = nullptr;
    BeamPlot* envelopePlot = nullptr;
    QTableView* scheduleView = nullptr;
    QTableView* checksView = nullptr;
    QLabel* massLabel = nullptr;
    QLabel* verdictLabel = nullptr;
};

BeamWindow::BeamWindow(project::Project* project, QWidget* parent)
    : QWidget(parent),
      project_(project ? project : new project::Project(this)),
      fields_(std::make_unique<Fields>()) {
    setWindowTitle(QStringLiteral("Viga y despiece"));
    setObjectName(QStringLiteral("BeamWindow"));
    // The look of the layout window: framed groups with blue titles, navy captions.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 0px; margin-top: 6px;"
        " padding-top: 6px; color: rgb(0, 0, 255); }"
        "QGroupBox::title { subcontrol-origin: border; subcontrol-position: top left; left: 6px;"
        " top: -7px; padding: 0px 2px; background-color: palette(window); }"
        "QGroupBox QLabel { color: rgb(0, 0, 128); }"));
    loading_ = true;  // until the project's beam is shown
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* inputs = new QWidget;
    auto* outputs = new QWidget;
    setupInputs(inputs);
    setupOutputs(outputs);
    auto* scroll = new QScrollArea;
    scroll->setWidget(inputs);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    splitter->addWidget(scroll);
    splitter->addWidget(outputs);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(1300, 760);
    // The spans table shows its six columns without scrolling.
    splitter->setSizes({580, 720});

    designTimer_ = new QTimer(this);
    designTimer_->setSingleShot(true);
    designTimer_->setInterval(150);
    connect(designTimer_, &QTimer::timeout, this, &BeamWindow::designNow);

    connect(this, &BeamWindow::beamEdited, project_, [this] { project_->setModified(true); });
    connect(project_, &project::Project::beamChanged, this, [this] {
        if (!writing_) showProjectBeam();
    });
    showProjectBeam();
}

BeamWindow::~BeamWindow() = default;

void BeamWindow::setupInputs(QWidget* panel) {
    Fields& f = *fields_;
    auto* layout = new QVBoxLayout(panel);

    auto* sectionGroup = new QGroupBox(QStringLiteral("Sección y materiales"));
    auto* form = new QFormLayout(sectionGroup);
    auto edit = [&](QLineEdit*& field, const char* name, const char* caption) {
        field = new QLineEdit;
        field->setObjectName(QLatin1String(name));
        form->addRow(QString::fromUtf8(caption), field);
        connect(field, &QLineEdit::textChanged, this, &BeamWindow::edited);
    };
    edit(f.nameEdit, "nameEdit", "Nombre");
    f.nameEdit->setMaxLength(static_cast<int>(eb::longestBeamName));
    edit(f.widthEdit, "widthEdit", "Ancho b (cm)");
    edit(f.heightEdit, "heightEdit", "Altura h (cm)");
    edit(f.dPrimeEdit, "dPrimeEdit", "d' inferior (cm)");
    edit(f.dSecondEdit, "dSecondEdit", "d'' superior (cm)");
    edit(f.fcEdit, "fcEdit", "f'c (kg/cm²)");
    edit(f.fyEdit, "fyEdit", "Fy (kg/cm²)");
    f.codeCombo = new QComboBox;
    f.codeCombo->setObjectName(QStringLiteral("codeCombo"));
    f.codeCombo->addItem(QStringLiteral("NSR-98"), static_cast<int>(engine::DesignCode::Nsr98));
    f.codeCombo->addItem(QStringLiteral("NSR-10"), static_cast<int>(engine::DesignCode::Nsr10));
    form->addRow(QStringLiteral("Norma"), f.codeCombo);
    f.classCombo = new QComboBox;
    f.classCombo->setObjectName(QStringLiteral("classCombo"));
    for (eb::SeismicClass c : {eb::SeismicClass::Des, eb::SeismicClass::Dmo, eb::SeismicClass::Dmi})
        f.classCombo->addItem(fromEngine(eb::className(c)), static_cast<int>(c));
    form->addRow(QStringLiteral("Capacidad de disipación"), f.classCombo);

    auto* barsRow = new QHBoxLayout;
    f.smallestBarCombo = new QComboBox;
    f.smallestBarCombo->setObjectName(QStringLiteral("smallestBarCombo"));
    f.largestBarCombo = new QComboBox;
    f.largestBarCombo->setObjectName(QStringLiteral("largestBarCombo"));
    for (const engine::Bar& bar : engine::bars()) {
        if (bar.designation < 3 || bar.designation > 11) continue;
        for (QComboBox* box : {f.smallestBarCombo, f.largestBarCombo})
            box->addItem(QStringLiteral("N° %1").arg(bar.designation), bar.designation);
    }
    f.smallestBarCombo->setCurrentIndex(f.smallestBarCombo->findData(4));
    f.largestBarCombo->setCurrentIndex(f.largestBarCombo->findData(8));
    barsRow->addWidget(f.smallestBarCombo);
    barsRow->addWidget(new QLabel(QStringLiteral("a")));
    barsRow->addWidget(f.largestBarCombo);
    form->addRow(QStringLiteral("Barras permitidas"), barsRow);
    f.stockCombo = new QComboBox;
    f.stockCombo->setObjectName(QStringLiteral("stockCombo"));
    for (int metres : {6, 9, 12}) f.stockCombo->addItem(QString::number(metres), double(metres));
    f.stockCombo->setCurrentIndex(2);
    form->addRow(QStringLiteral("Longitud comercial (m)"), f.stockCombo);
    for (QComboBox* box : {f.codeCombo, f.classCombo, f.smallestBarCombo, f.largestBarCombo,
                           f.stockCombo})
        connect(box, &QComboBox::currentIndexChanged, this, &BeamWindow::edited);
    layout->addWidget(sectionGroup);

    auto* spansGroup = new QGroupBox(QStringLiteral("Vanos, de izquierda a derecha"));
    auto* spansLayout = new QVBoxLayout(spansGroup);
    spansTable_ = new SpansTable(this);
    f.spansView = new QTableView;
    f.spansView->setObjectName(QStringLiteral("spansView"));
    f.spansView->setModel(spansTable_->model());
    f.spansView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    f.spansView->setMinimumHeight(150);
    spansLayout->addWidget(f.spansView);
    connect(spansTable_, &SpansTable::edited, this, &BeamWindow::edited);
    auto* buttons = new QHBoxLayout;
    auto* addButton = new QPushButton(QStringLiteral("&Agregar vano"));
    addButton->setObjectName(QStringLiteral("addSpanButton"));
    auto* removeButton = new QPushButton(QStringLiteral("&Quitar vano"));
    removeButton->setObjectName(QStringLiteral("removeSpanButton"));
    auto* importButton = new QPushButton(QStringLiteral("&Importar estaciones..."));
    importButton->setObjectName(QStringLiteral("importStationsButton"));
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addWidget(importButton);
    spansLayout->addLayout(buttons);
    f.stationsLabel = new QLabel;
    f.stationsLabel->setWordWrap(true);
    f.clearStationsButton = new QPushButton(QStringLiteral("Usar los momentos de la tabla"));
    f.clearStationsButton->setObjectName(QStringLiteral("clearStationsButton"));
    f.stationsLabel->hide();
    f.clearStationsButton->hide();
    spansLayout->addWidget(f.stationsLabel);
    spansLayout->addWidget(f.clearStationsButton);
    connect(addButton, &QPushButton::clicked, this, [this] {
        spansTable_->appendSpan();
        edited();
    });
    connect(removeButton, &QPushButton::clicked, this, &BeamWindow::removeSpanRow);
    connect(importButton, &QPushButton::clicked, this, &BeamWindow::chooseStationsFile);
    connect(f.clearStationsButton, &QPushButton::clicked, this, &BeamWindow::clearStations);
    layout->addWidget(spansGroup, 1);

    f.messageLabel = new QLabel;
    f.messageLabel->setObjectName(QStringLiteral("messageLabel"));
    f.messageLabel->setWordWrap(true);
    f.messageLabel->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    layout->addWidget(f.messageLabel);
}

void BeamWindow::setupOutputs(QWidget* panel) {
    Fields& f = *fields_;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("outputTabs"));
    f.elevationPlot = new BeamPlot;
    f.elevationPlot->setObjectName(QStringLiteral("elevationPlot"));
    f.sectionsPlot = new BeamPlot;
    f.sectionsPlot->setObjectName(QStringLiteral("sectionsPlot"));
    f.envelopePlot = new BeamPlot;
    f.envelopePlot->setObjectName(QStringLiteral("envelopePlot"));
    tabs->addTab(f.elevationPlot, QStringLiteral("Alzado"));
    tabs->addTab(f.sectionsPlot, QStringLiteral("Secciones"));
    tabs->addTab(f.envelopePlot, QStringLiteral("Envolvente"));

    auto* scheduleTab = new QWidget;
    auto* scheduleLayout = new QVBoxLayout(scheduleTab);
    scheduleModel_ = new QStandardItemModel(this);
    QStringList headers;
    for (const std::string& caption : engine::drawing::scheduleHeader())
        headers << fromEngine(caption);
    scheduleModel_->setHorizontalHeaderLabels(headers);
    f.scheduleView = new QTableView;
    f.scheduleView->setObjectName(QStringLiteral("scheduleView"));
    f.scheduleView->setModel(scheduleModel_);
    f.scheduleView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    f.scheduleView->verticalHeader()->hide();
    f.scheduleView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    scheduleLayout->addWidget(f.scheduleView, 1);
    f.massLabel = new QLabel;
    f.massLabel->setObjectName(QStringLiteral("massLabel"));
    f.massLabel->setWordWrap(true);
    f.massLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    scheduleLayout->addWidget(f.massLabel);
    tabs->addTab(scheduleTab, QStringLiteral("Despiece"));

    auto* checksTab = new QWidget;
    auto* checksLayout = new QVBoxLayout(checksTab);
    f.verdictLabel = new QLabel;
    f.verdictLabel->setObjectName(QStringLiteral("verdictLabel"));
    checksLayout->addWidget(f.verdictLabel);
    checksModel_ = new QStandardItemModel(this);
    checksModel_->setHorizontalHeaderLabels(
        {QStringLiteral("Resultado"), QStringLiteral("Lugar"), QStringLiteral("Verificación")});
    f.checksView = new QTableView;
    f.checksView->setObjectName(QStringLiteral("checksView"));
    f.checksView->setModel(checksModel_);
    f.checksView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    f.checksView->verticalHeader()->hide();
    f.checksView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    f.checksView->horizontalHeader()->setStretchLastSection(true);
    checksLayout->addWidget(f.checksView, 1);
    tabs->addTab(checksTab, QStringLiteral("Verificaciones"));
    layout->addWidget(tabs);
}

void BeamWindow::setInput(const eb::BeamInput& input) {
    showFields(input);
    inProject_ = true;
    designNow();
}

// The project's beam and its design as the project holds them; without one, a single span on
// the project's section, outside the project until it is edited.
void BeamWindow::showProjectBeam() {
    designTimer_->stop();
    if (const auto& beam = project_->beam()) {
        inProject_ = true;
        showFields(*beam);
        input_ = *beam;
        design_ = project_->beamDesign();
        showMessage(errorMessage(project_->beamError()));
        showDesign();
        return;
    }
    inProject_ = false;
    const engine::DesignInput section = startingSection(*project_);
    eb::BeamInput start;
    start.code = project_->code();
    start.b = section.b;
    start.h = section.h;
    start.dPrime = section.dPrime;
    start.dSecond = section.dSecond;
    start.fc = section.fc;
    start.fy = section.fy;
    start.supports = {40, 40};
    start.spans = {{5, {}}};
    showFields(start);
    designNow();
}

void BeamWindow::showFields(const eb::BeamInput& input) {
    const Fields& f = *fields_;
    loading_ = true;
    const std::pair<QLineEdit*, double> values[] = {
        {f.widthEdit, input.b},         {f.heightEdit, input.h}, {f.dPrimeEdit, input.dPrime},
        {f.dSecondEdit, input.dSecond}, {f.fcEdit, input.fc},    {f.fyEdit, input.fy}};
    for (const auto& [field, value] : values) field->setText(fieldText(value));
    f.nameEdit->setText(QString::fromStdString(input.name));
    f.codeCombo->setCurrentIndex(f.codeCombo->findData(static_cast<int>(input.code)));
    f.classCombo->setCurrentIndex(f.classCombo->findData(static_cast<int>(input.seismicClass)));
    for (const auto& [box, bar] : {std::pair{f.smallestBarCombo, input.smallestBar},
                                   std::pair{f.largestBarCombo, input.largestBar}})
        chooseData(box, bar, QStringLiteral("N° %1").arg(bar));
    chooseData(f.stockCombo, input.stockLength, fieldText(input.stockLength));
    spansTable_->show(input);
    settings_ = input.settings;
    stationsFromCentreline_ = input.stationsFromCentreline;
    stations_ = input.stations;
    f.stationsLabel->setVisible(!stations_.empty());
    f.clearStationsButton->setVisible(!stations_.empty());
    f.stationsLabel->setText(QStringLiteral("Momentos de %1 estaciones; los de la tabla no se usan.")
                                 .arg(stations_.size()));
    loading_ = false;
}

void BeamWindow::hideEvent(QHideEvent* event) {
    if (designTimer_->isActive()) designNow();
    QWidget::hideEvent(event);
}

// The selected span, or the last one; the beam keeps at least one span.
void BeamWindow::removeSpanRow() {
    if (spansTable_->spanCount() <= 1) {
        showMessage(QStringLiteral("La viga tiene al menos un vano."));
        return;
    }
    const QModelIndex current = fields_->spansView->currentIndex();
    spansTable_->removeSpan(current.isValid() ? current.row() : spansTable_->spanCount() - 1);
    edited();
}

void BeamWindow::chooseStationsFile() {
    QFileDialog dialog(this, QStringLiteral("Importar estaciones"), QString(),
                       QStringLiteral("Tablas de estaciones (*.csv *.txt);;Todos los archivos (*)"));
    dialog.setObjectName(QStringLiteral("stationsFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    setAcceptCaption(dialog, "&Abrir");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    importStations(dialog.selectedFiles().front());
}

void BeamWindow::importStations(const QString& path) {
    if (!input_) {
        showMessage(QStringLiteral("Corrija primero los datos de la viga: las estaciones se leen "
                                   "sobre sus vanos."));
        return;
    }
    const StationsRead read = readStationsFile(path, *input_);
    if (!read.error.isEmpty()) {
        showMessage(read.error);
        return;
    }
    stations_ = read.stations;
    stationsFromCentreline_ = false;
    fields_->stationsLabel->setText(
        QStringLiteral("Momentos de %1 estaciones de «%2»; los de la tabla no se usan.")
            .arg(stations_.size())
            .arg(QFileInfo(path).fileName()));
    fields_->stationsLabel->show();
    fields_->clearStationsButton->show();
    edited();
}

void BeamWindow::clearStations() {
    stations_.clear();
    stationsFromCentreline_ = false;
    fields_->stationsLabel->hide();
    fields_->clearStationsButton->hide();
    edited();
}

void BeamWindow::edited() {
    if (loading_) return;
    inProject_ = true;
    designTimer_->start();
    Q_EMIT beamEdited();
}

std::optional<eb::BeamInput> BeamWindow::readInput(QString* error) const {
    const Fields& f = *fields_;
    eb::BeamInput input;
    struct Field {
        const QLineEdit* edit;
        const char* name;
        double* value;
    };
    const Field fields[] = {{f.widthEdit, "Ancho b", &input.b},
                            {f.heightEdit, "Altura h", &input.h},
                            {f.dPrimeEdit, "d'", &input.dPrime},
                            {f.dSecondEdit, "d''", &input.dSecond},
                            {f.fcEdit, "f'c", &input.fc},
                            {f.fyEdit, "Fy", &input.fy}};
    for (const Field& field : fields) {
        const QString name = QString::fromUtf8(field.name);
        const std::optional<double> value = readFieldNumber(field.edit->text(), name, error);
        if (!value) return {};
        if (!(*value > 0)) {
            *error = QStringLiteral("%1: el valor debe ser mayor que cero.").arg(name);
            return {};
        }
        *field.value = *value;
    }
    // The covers the designer takes, no more and no fewer.
    if (!eb::coversFit(input.h, input.dPrime, input.dSecond)) {
        *error = QStringLiteral("d' + d'' debe ser menor que la altura h.");
        return {};
    }
    input.name = f.nameEdit->text().trimmed().toStdString();
    if (!eb::validBeamName(input.name)) {
        *error = QStringLiteral("Nombre: de 1 a %1 caracteres, sin caracteres de control.")
                     .arg(eb::longestBeamName);
        return {};
    }
    input.code = static_cast<engine::DesignCode>(f.codeCombo->currentData().toInt());
    input.seismicClass = static_cast<eb::SeismicClass>(f.classCombo->currentData().toInt());
    input.smallestBar = f.smallestBarCombo->currentData().toInt();
    input.largestBar = f.largestBarCombo->currentData().toInt();
    if (input.smallestBar > input.largestBar) {
        *error = QStringLiteral("Barras permitidas: la menor no puede ser mayor que la mayor.");
        return {};
    }
    input.stockLength = f.stockCombo->currentData().toDouble();
    input.settings = settings_;

    if (!spansTable_->read(input, error)) return {};
    for (const eb::Station& station : stations_) {
        if (station.span > static_cast<int>(input.spans.size())) {
            *error = QStringLiteral("Las estaciones llegan al vano %1 y la viga tiene %2 vanos.")
                         .arg(station.span)
                         .arg(input.spans.size());
            return {};
        }
    }
    input.stations = stations_;
    input.stationsFromCentreline = !stations_.empty() && stationsFromCentreline_;
    return input;
}

void BeamWindow::designNow() {
    designTimer_->stop();
    QString error;
    std::optional<eb::BeamInput> input = readInput(&error);
    if (!input) {
        // A bad field is reported; the last design stays on show.
        showMessage(error);
        return;
    }
    input_ = std::move(input);
    if (inProject_) {
        // The project designs its beam; the window shows what it holds.
        writing_ = true;
        project_->setBeam(*input_);
        writing_ = false;
        design_ = project_->beamDesign();
        showMessage(errorMessage(project_->beamError()));
    } else {
        const project::BeamResult result = project::designBeam(*input_);
        design_ = result.design;
        showMessage(errorMessage(result.error));
    }
    showDesign();
}

QString BeamWindow::errorMessage(const std::optional<eb::BeamError>& error) const {
    return error ? fromEngine(eb::errorText(*error, decimalSeparator())) : QString();
}

void BeamWindow::showMessage(const QString& text) {
    fields_->messageLabel->setText(text);
}

void BeamWindow::showDesign() {
    Fields& f = *fields_;
    scheduleModel_->setRowCount(0);
    checksModel_->setRowCount(0);
    if (!design_ || !input_) {
        for (BeamPlot* plot : {f.elevationPlot, f.sectionsPlot, f.envelopePlot})
            plot->setPainter({});
        f.massLabel->clear();
        f.verdictLabel->clear();
        return;
    }
    const eb::BeamDesign design = *design_;
    const eb::BeamInput input = *input_;
    const char separator = decimalSeparator();
    f.elevationPlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintElevation(painter, area, design, input, separator);
    });
    f.sectionsPlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintSections(painter, area, design, input, separator);
    });
    f.envelopePlot->setPainter([=](QPainter& painter, const QRectF& area) {
        beampainting::paintEnvelope(painter, area, design, separator);
    });

    const auto& columns = engine::drawing::scheduleColumns();
    for (const auto& cells : engine::drawing::scheduleCells(design, separator)) {
        QList<QStandardItem*> row;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            auto* item = new QStandardItem(fromEngine(cells[c]));
            if (columns[c]->align == engine::beam::ColumnAlign::Right)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            row << item;
        }
        scheduleModel_->appendRow(row);
    }
    QStringList masses;
    for (const auto& [bar, mass] : design.massByBar)
        masses << QStringLiteral("%1: %2 kg")
                      .arg(fromEngine(engine::barName(bar)),
                           fromEngine(eb::massText(mass, separator)));
    f.massLabel->setText(
        QStringLiteral("Masa por barra: %1.  Masa total: %2 kg.  Concreto: %3 m³ (%4 kg/m³).")
            .arg(masses.join(QStringLiteral("; ")),
                 fromEngine(eb::massText(design.totalMass, separator)),
                 fixed(design.concrete, 2), fixed(design.steelPerConcrete, 1)));

    for (const eb::Check& check : design.checks) {
        const QString place = fromEngine(eb::placeText(check.place, separator));
        auto* verdict = new QStandardItem(check.passes ? QStringLiteral("Cumple")
                                                       : QStringLiteral("No cumple"));
        const QList<QStandardItem*> row = {
            verdict, new QStandardItem(place.isEmpty() ? QStringLiteral("Viga") : place),
            new QStandardItem(fromEngine(eb::checkText(check, separator)))};
        if (!check.passes)
            for (QStandardItem* item : row) item->setForeground(failColour);
        checksModel_->appendRow(row);
    }
    f.verdictLabel->setText(design.passes ? QStringLiteral("La viga cumple todas las verificaciones.")
                                          : QStringLiteral("No cumple: vea las filas en rojo."));
    f.verdictLabel->setStyleSheet(
        QStringLiteral("color: %1;").arg((design.passes ? passColour : failColour).name()));
}

#include "beamwindow/beamwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "app/filecommands.h"
#include "app/windows.h"
#include "beamdrawing/beampainting.h"
#include "beamwindow/beamlist.h"
#include "beamwindow/beamplot.h"
#include "beamwindow/beamwindowfields.h"
#include "beamwindow/fieldnumbers.h"
#include "beamwindow/quantitiestab.h"
#include "beamwindow/spanstable.h"
#include "beamwindow/spansview.h"
#include "beamwindow/stationsfile.h"
#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "common/menukeys.h"
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

// Where a window opened on a project without a beam starts: a common beam, 30 x 50 cm of
// 210 kg/cm² concrete and 4200 kg/cm² steel, one 5 m span between 40 cm supports, under the
// project's code. The main window's section is a slab or a section checked on its own as often
// as a beam, so the beam does not start from it.
eb::BeamInput startingBeam(const project::Project& project) {
    eb::BeamInput start;
    start.code = project.code();
    start.b = 30;
    start.h = 50;
    start.dPrime = 6;
    start.dSecond = 6;
    start.fc = 210;
    start.fy = 4200;
    start.supports = {40, 40};
    start.spans = {{5, {}}};
    return start;
}

// A label with its access key, which takes the focus to `buddy`.
QLabel* buddyLabel(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}


}  // namespace


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
    beamList_ = new BeamList(project_, [this] { return startingBeam(*project_); });
    splitter->addWidget(beamList_);
    splitter->addWidget(scroll);
    splitter->addWidget(outputs);
    splitter->setStretchFactor(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(1560, 760);
    splitter->setSizes({260, 580, 720});
    setupCommands();

    designTimer_ = new QTimer(this);
    designTimer_->setSingleShot(true);
    designTimer_->setInterval(150);
    connect(designTimer_, &QTimer::timeout, this, &BeamWindow::designNow);

    connect(this, &BeamWindow::beamEdited, project_, [this] { project_->setModified(true); });
    // An edit still waiting for typing to pause goes into its own beam before another shows.
    connect(beamList_, &BeamList::leaving, this, [this] {
        if (designTimer_->isActive()) designNow();
    });
    beamList_->setLeaveCheck([this] {
        return mayDiscardTyping(QStringLiteral("Si pasa a otra viga"),
                                QStringLiteral("Cambiar de viga"));
    });
    connect(project_, &project::Project::beamChanged, this, [this] {
        if (!writing_) showProjectBeam();
    });
    showProjectBeam();
    giveMenuKeysPriority(this);
}

// The window's out-of-date beam goes with it: the project's beam is then the one last read.
BeamWindow::~BeamWindow() {
    project_->setBeamNotRead({});
}

// The project's file commands under the main window's keys, Ctrl+Q to end the program, and
// Ctrl+PgDn / Ctrl+PgUp (with Ctrl++, Ctrl+− and Ctrl+0 for the drawings' zoom) wherever the
// focus is in the window.
void BeamWindow::setupCommands() {
    fileCommands_ = new FileCommands(project_, this);
    fileCommands_->addKeysTo(this);
    const auto command = [this](const char* name, const QString& caption,
                                const QList<QKeySequence>& keys) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        addAction(action);
        return action;
    };
    connect(command("exitAction", QStringLiteral("Salir"), {QKeySequence(Qt::CTRL | Qt::Key_Q)}),
            &QAction::triggered, this, [this] {
                if (fileCommands_->mayDiscardChanges()) windows::endProgram();
            });
    QTabWidget* tabs = fields_->outputTabs;
    const auto turn = [tabs](int step) {
        tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
    };
    connect(command("nextTabAction", QStringLiteral("Pestaña siguiente"),
                    {QKeySequence(Qt::CTRL | Qt::Key_PageDown)}),
            &QAction::triggered, this, [turn] { turn(1); });
    connect(command("previousTabAction", QStringLiteral("Pestaña anterior"),
                    {QKeySequence(Qt::CTRL | Qt::Key_PageUp)}),
            &QAction::triggered, this, [turn] { turn(-1); });
    const auto shownPlot = [tabs] { return qobject_cast<BeamPlot*>(tabs->currentWidget()); };
    connect(
        command("zoomInAction", QStringLiteral("Acercar"),
                {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
        &QAction::triggered, this, [shownPlot] {
            if (BeamPlot* plot = shownPlot()) plot->zoomIn();
        });
    connect(command("zoomOutAction", QStringLiteral("Alejar"),
                    {QKeySequence(Qt::CTRL | Qt::Key_Minus)}),
            &QAction::triggered, this, [shownPlot] {
                if (BeamPlot* plot = shownPlot()) plot->zoomOut();
            });
    connect(command("fitAction", QStringLiteral("Ajustar"), {QKeySequence(Qt::CTRL | Qt::Key_0)}),
            &QAction::triggered, this, [shownPlot] {
                if (BeamPlot* plot = shownPlot()) plot->fit();
            });
}

// While a value does not read, asks whether to leave it: what was typed is lost and the project
// keeps the beam as it last read. True when nothing is lost or the engineer chose `leave`.
bool BeamWindow::mayDiscardTyping(const QString& consequence, const QString& leave) {
    if (designTimer_->isActive()) designNow();
    if (outOfDate().isEmpty()) return true;
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("%1\n%2, lo escrito se pierde y el proyecto conserva la viga "
                                   "como se leyó por última vez.")
                        .arg(outOfDate(), consequence),
                    QMessageBox::Close | QMessageBox::Cancel, this);
    box.button(QMessageBox::Close)->setText(leave);
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Seguir editando"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Close;
}

void BeamWindow::closeEvent(QCloseEvent* event) {
    if (mayDiscardTyping(QStringLiteral("Si cierra la ventana"), QStringLiteral("Cerrar")))
        QWidget::closeEvent(event);
    else
        event->ignore();
}

void BeamWindow::showEvent(QShowEvent* event) {
    if (!std::exchange(placed_, true)) fitToScreen();
    QWidget::showEvent(event);
}

// At most the screen's available area (a large scale factor leaves few logical pixels), placed
// inside it.
void BeamWindow::fitToScreen() {
    const QScreen* shown = screen();
    if (!shown) return;
    const QRect available = shown->availableGeometry();
    // The window frame and title take some room the size does not include.
    const int frameWidth = 16, frameHeight = 48;
    const QSize fitting(std::min(width(), available.width() - frameWidth),
                        std::min(height(), available.height() - frameHeight));
    resize(fitting.expandedTo(minimumSizeHint()).boundedTo(available.size()));
    QRect placed = frameGeometry();
    placed.moveCenter(available.center());
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    move(placed.topLeft());
}

void BeamWindow::setupInputs(QWidget* panel) {
    Fields& f = *fields_;
    auto* layout = new QVBoxLayout(panel);

    // Every caption has its access key, each letter once in the window.
    auto* sectionGroup = new QGroupBox(QStringLiteral("Sección y materiales"));
    auto* form = new QFormLayout(sectionGroup);
    auto edit = [&](QLineEdit*& field, const char* name, const char* caption) {
        field = new QLineEdit;
        field->setObjectName(QLatin1String(name));
        form->addRow(buddyLabel(QString::fromUtf8(caption), field), field);
        connect(field, &QLineEdit::textChanged, this, &BeamWindow::edited);
    };
    edit(f.nameEdit, "nameEdit", "&Nombre");
    edit(f.axisEdit, "axisEdit", "&Eje");
    edit(f.levelEdit, "levelEdit", "&Piso");
    for (QLineEdit* text : {f.nameEdit, f.axisEdit, f.levelEdit})
        text->setMaxLength(static_cast<int>(eb::longestBeamName));
    edit(f.widthEdit, "widthEdit", "Ancho &b (cm)");
    edit(f.heightEdit, "heightEdit", "Altura &h (cm)");
    edit(f.dPrimeEdit, "dPrimeEdit", "&d' inferior (cm)");
    edit(f.dSecondEdit, "dSecondEdit", "d'' s&uperior (cm)");
    edit(f.fcEdit, "fcEdit", "f'&c (kg/cm²)");
    edit(f.fyEdit, "fyEdit", "F&y (kg/cm²)");
    f.codeCombo = new QComboBox;
    f.codeCombo->setObjectName(QStringLiteral("codeCombo"));
    f.codeCombo->addItem(QStringLiteral("NSR-98"), static_cast<int>(engine::DesignCode::Nsr98));
    f.codeCombo->addItem(QStringLiteral("NSR-10"), static_cast<int>(engine::DesignCode::Nsr10));
    form->addRow(buddyLabel(QStringLiteral("N&orma"), f.codeCombo), f.codeCombo);
    f.classCombo = new QComboBox;
    f.classCombo->setObjectName(QStringLiteral("classCombo"));
    for (eb::SeismicClass c : {eb::SeismicClass::Des, eb::SeismicClass::Dmo, eb::SeismicClass::Dmi})
        f.classCombo->addItem(fromEngine(eb::className(c)), static_cast<int>(c));
    form->addRow(buddyLabel(QStringLiteral("Capacidad de di&sipación"), f.classCombo),
                 f.classCombo);

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
    form->addRow(buddyLabel(QStringLiteral("Barras per&mitidas"), f.smallestBarCombo), barsRow);
    f.stockCombo = new QComboBox;
    f.stockCombo->setObjectName(QStringLiteral("stockCombo"));
    for (int metres : {6, 9, 12}) f.stockCombo->addItem(QString::number(metres), double(metres));
    f.stockCombo->setCurrentIndex(2);
    form->addRow(buddyLabel(QStringLiteral("&Longitud comercial (m)"), f.stockCombo), f.stockCombo);
    f.stirrupCombo = new QComboBox;
    f.stirrupCombo->setObjectName(QStringLiteral("stirrupCombo"));
    for (int designation : {3, 4})
        f.stirrupCombo->addItem(QStringLiteral("N° %1").arg(designation), designation);
    form->addRow(buddyLabel(QStringLiteral("Es&tribo"), f.stirrupCombo), f.stirrupCombo);
    for (QComboBox* box : {f.codeCombo, f.classCombo, f.smallestBarCombo, f.largestBarCombo,
                           f.stockCombo, f.stirrupCombo})
        connect(box, &QComboBox::currentIndexChanged, this, &BeamWindow::edited);
    layout->addWidget(sectionGroup);

    // The group's access key takes the focus to its first control, the table.
    auto* spansGroup = new QGroupBox(QStringLiteral("&Vanos, de izquierda a derecha"));
    auto* spansLayout = new QVBoxLayout(spansGroup);
    spansTable_ = new SpansTable(this);
    f.spansView = new SpansView(spansTable_);
    f.spansView->setObjectName(QStringLiteral("spansView"));
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
    auto* stationsRow = new QHBoxLayout;
    f.stationsFromCombo = new QComboBox;
    f.stationsFromCombo->setObjectName(QStringLiteral("stationsFromCombo"));
    f.stationsFromCombo->addItem(QStringLiteral("x desde la cara del apoyo"), false);
    f.stationsFromCombo->addItem(QStringLiteral("x desde el eje del apoyo"), true);
    stationsRow->addWidget(
        buddyLabel(QStringLiteral("Medida de &x en las estaciones"), f.stationsFromCombo));
    stationsRow->addWidget(f.stationsFromCombo, 1);
    spansLayout->addLayout(stationsRow);
    f.stationsLabel = new QLabel;
    f.stationsLabel->setObjectName(QStringLiteral("stationsLabel"));
    f.stationsLabel->setWordWrap(true);
    f.clearStationsButton = new QPushButton(QStringLiteral("Usa&r los momentos de la tabla"));
    f.clearStationsButton->setObjectName(QStringLiteral("clearStationsButton"));
    f.stationsLabel->hide();
    f.clearStationsButton->hide();
    spansLayout->addWidget(f.stationsLabel);
    spansLayout->addWidget(f.clearStationsButton);
    connect(addButton, &QPushButton::clicked, spansTable_, &SpansTable::appendSpan);
    connect(removeButton, &QPushButton::clicked, this, &BeamWindow::removeSpanRow);
    connect(importButton, &QPushButton::clicked, this, &BeamWindow::chooseStationsFile);
    connect(f.clearStationsButton, &QPushButton::clicked, this, &BeamWindow::clearStations);
    connect(f.stationsFromCombo, &QComboBox::activated, this, &BeamWindow::measureStations);
    layout->addWidget(spansGroup, 1);

    f.messageLabel = new QLabel;
    f.messageLabel->setObjectName(QStringLiteral("messageLabel"));
    f.messageLabel->setWordWrap(true);
    f.messageLabel->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    layout->addWidget(f.messageLabel);
}


void BeamWindow::setInput(const eb::BeamInput& input) {
    showFields(input);
    inProject_ = true;
    designNow();
}

// The project's beam and its design as the project holds them; without one, the starting beam,
// outside the project until it is edited.
void BeamWindow::showProjectBeam() {
    designTimer_->stop();
    if (const auto& beam = project_->beam()) {
        inProject_ = true;
        showFields(*beam);
        input_ = *beam;
        design_ = project_->beamDesign();
        showMessage(errorMessage(project_->beamError()));
        showOutOfDate({});
        showDesign();
        return;
    }
    inProject_ = false;
    showFields(startingBeam(*project_));
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
    f.axisEdit->setText(QString::fromStdString(input.axis));
    f.levelEdit->setText(QString::fromStdString(input.level));
    f.codeCombo->setCurrentIndex(f.codeCombo->findData(static_cast<int>(input.code)));
    f.classCombo->setCurrentIndex(f.classCombo->findData(static_cast<int>(input.seismicClass)));
    for (const auto& [box, bar] : {std::pair{f.smallestBarCombo, input.smallestBar},
                                   std::pair{f.largestBarCombo, input.largestBar}})
        chooseData(box, bar, QStringLiteral("N° %1").arg(bar));
    chooseData(f.stockCombo, input.stockLength, fieldText(input.stockLength));
    chooseData(f.stirrupCombo, input.settings.stirrupDesignation,
               QStringLiteral("N° %1").arg(input.settings.stirrupDesignation));
    spansTable_->show(input);
    settings_ = input.settings;
    stationsFromCentreline_ = input.stationsFromCentreline;
    stations_ = input.stations;
    stationsPath_.clear();
    f.stationsLabel->setText(QStringLiteral("Momentos de %1 estaciones; los de la tabla no se usan.")
                                 .arg(stations_.size()));
    showStationsInUse();
    loading_ = false;
}

// While stations drive the beam, the table's moments show as not in use; the choice of how
// their x is measured shows the stations' own.
void BeamWindow::showStationsInUse() {
    const Fields& f = *fields_;
    const bool inUse = !stations_.empty();
    f.stationsLabel->setVisible(inUse);
    f.clearStationsButton->setVisible(inUse);
    spansTable_->setMomentsInUse(!inUse);
    if (inUse) f.stationsFromCombo->setCurrentIndex(stationsFromCentreline_ ? 1 : 0);
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
    const bool fromCentreline = fields_->stationsFromCombo->currentData().toBool();
    const StationsRead read = readStationsFile(path, *input_, fromCentreline);
    if (!read.error.isEmpty()) {
        showMessage(read.error);
        if (!stations_.empty())
            fields_->stationsFromCombo->setCurrentIndex(stationsFromCentreline_);
        return;
    }
    stations_ = read.stations;
    stationsFromCentreline_ = fromCentreline;
    stationsPath_ = path;
    fields_->stationsLabel->setText(
        QStringLiteral("Momentos de %1 estaciones de «%2» (%3); los de la tabla no se usan.")
            .arg(stations_.size())
            .arg(QFileInfo(path).fileName(), fields_->stationsFromCombo->currentText()));
    showStationsInUse();
    edited();
}

// Another way of measuring x reads the stations' file again; stations that came with the project
// have no file in this window to read.
void BeamWindow::measureStations() {
    const bool fromCentreline = fields_->stationsFromCombo->currentData().toBool();
    if (stations_.empty() || fromCentreline == stationsFromCentreline_) return;
    if (stationsPath_.isEmpty()) {
        fields_->stationsFromCombo->setCurrentIndex(stationsFromCentreline_ ? 1 : 0);
        showMessage(
            QStringLiteral("Las estaciones vinieron con el proyecto: impórtelas de nuevo "
                           "para medir x de otro modo."));
        return;
    }
    importStations(stationsPath_);
}

void BeamWindow::clearStations() {
    stations_.clear();
    stationsFromCentreline_ = false;
    stationsPath_.clear();
    showStationsInUse();
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
    for (const auto& [edit, caption, label] : {std::tuple{f.axisEdit, "Eje", &input.axis},
                                               std::tuple{f.levelEdit, "Piso", &input.level}}) {
        *label = edit->text().trimmed().toStdString();
        if (!eb::validBeamLabel(*label)) {
            *error = QStringLiteral("%1: a lo más %2 caracteres, sin caracteres de control.")
                         .arg(QLatin1String(caption))
                         .arg(eb::longestBeamName);
            return {};
        }
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
    input.settings.stirrupDesignation = f.stirrupCombo->currentData().toInt();

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
        // A bad field is reported; the last design stays on show, marked out of date.
        showMessage(error);
        showOutOfDate(error);
        return;
    }
    // Names tell the project's beams apart.
    if (inProject_ && project_->beamNameTaken(QString::fromStdString(input->name),
                                              project_->currentBeamIndex())) {
        error = QStringLiteral("Ya hay una viga llamada \"%1\": dé a esta otro nombre.")
                    .arg(QString::fromStdString(input->name));
        showMessage(error);
        showOutOfDate(error);
        return;
    }
    showOutOfDate({});
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

QString BeamWindow::outOfDate() const {
    return fields_->elevationPlot->outOfDate();
}

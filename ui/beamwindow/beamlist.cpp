#include "beamwindow/beamlist.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "beamwindow/stationsfile.h"
#include "engine/beam/barschedule.h"
#include "project/project.h"

namespace {

const QColor failColour(192, 0, 0);
const QColor passColour(0, 128, 0);

// The rename dialog: the beam's name and its description.
class RenameDialog : public QDialog {
  public:
    RenameDialog(const QString& name, const QString& description, QWidget* parent)
        : QDialog(parent) {
        setWindowTitle(QStringLiteral("Renombrar viga"));
        setObjectName(QStringLiteral("RenameDialog"));
        auto* form = new QFormLayout(this);
        nameEdit_ = new QLineEdit(name);
        nameEdit_->setObjectName(QStringLiteral("beamNameEdit"));
        nameEdit_->setMaxLength(int(engine::beam::longestBeamName));
        descriptionEdit_ = new QLineEdit(description);
        descriptionEdit_->setObjectName(QStringLiteral("beamDescriptionEdit"));
        descriptionEdit_->setPlaceholderText(QStringLiteral("Eje B, piso 2"));
        form->addRow(QStringLiteral("&Nombre:"), nameEdit_);
        form->addRow(QStringLiteral("&Descripción:"), descriptionEdit_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        form->addRow(buttons);
        resize(360, sizeHint().height());
    }
    QString name() const { return nameEdit_->text(); }
    QString description() const { return descriptionEdit_->text().trimmed(); }

  private:
    QLineEdit* nameEdit_;
    QLineEdit* descriptionEdit_;
};

}  // namespace

BeamList::BeamList(project::Project* project, std::function<engine::beam::BeamInput()> newBeam,
                   QWidget* parent)
    : QWidget(parent), project_(project), newBeam_(std::move(newBeam)) {
    setObjectName(QStringLiteral("beamList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    model_ = new QStandardItemModel(0, ColumnCount, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("Viga"), QStringLiteral("Estado"),
                                       QStringLiteral("Acero (kg)"), QStringLiteral("Grupo")});
    view_ = new QTableView;
    view_->setObjectName(QStringLiteral("beamListView"));
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view_->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    layout->addWidget(view_, 1);
    auto* buttonRows = new QWidget;
    setupButtons(buttonRows);
    layout->addWidget(buttonRows);

    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) choose(current.row());
            });
    connect(project_, &project::Project::beamListChanged, this, &BeamList::refresh);
    connect(project_, &project::Project::beamChanged, this, &BeamList::refresh);
    refresh();
}

void BeamList::setupButtons(QWidget* rows) {
    auto* grid = new QVBoxLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto button = [this](const char* name, const QString& caption, const QString& tip,
                               void (BeamList::*act)()) {
        auto* made = new QPushButton(caption);
        made->setObjectName(QLatin1String(name));
        made->setToolTip(tip);
        connect(made, &QPushButton::clicked, this, act);
        return made;
    };
    auto* first = new QHBoxLayout;
    first->addWidget(button("addBeamButton", QStringLiteral("A&gregar viga"),
                            QStringLiteral("Una viga nueva al final de la lista"), &BeamList::add));
    buttons_.duplicate = button("duplicateBeamButton", QStringLiteral("D&uplicar"),
                                QStringLiteral("Una copia de la viga elegida, con otro nombre"),
                                &BeamList::duplicate);
    first->addWidget(buttons_.duplicate);
    auto* second = new QHBoxLayout;
    buttons_.rename =
        button("renameBeamButton", QStringLiteral("Renom&brar..."),
               QStringLiteral("El nombre y la descripción de la viga elegida"), &BeamList::rename);
    buttons_.remove =
        button("removeBeamButton", QStringLiteral("&Eliminar"),
               QStringLiteral("Quita la viga elegida del proyecto"), &BeamList::remove);
    second->addWidget(buttons_.rename);
    second->addWidget(buttons_.remove);
    buttons_.up = new QPushButton(QStringLiteral("Subir"));
    buttons_.up->setObjectName(QStringLiteral("moveBeamUpButton"));
    buttons_.up->setToolTip(QStringLiteral("Sube la viga elegida un puesto en la lista"));
    connect(buttons_.up, &QPushButton::clicked, this, [this] { move(-1); });
    buttons_.down = new QPushButton(QStringLiteral("Bajar"));
    buttons_.down->setObjectName(QStringLiteral("moveBeamDownButton"));
    buttons_.down->setToolTip(QStringLiteral("Baja la viga elegida un puesto en la lista"));
    connect(buttons_.down, &QPushButton::clicked, this, [this] { move(1); });
    auto* third = new QHBoxLayout;
    third->addWidget(buttons_.up);
    third->addWidget(buttons_.down);
    auto* fourth = new QHBoxLayout;
    buttons_.group = new QPushButton(QStringLiteral("Agrupar vigas iguales"));
    buttons_.group->setObjectName(QStringLiteral("groupBeamsButton"));
    buttons_.group->setToolTip(
        QStringLiteral("Las vigas de iguales vanos, apoyos, sección, materiales, norma y clase, en "
                       "un grupo diseñado para la envolvente de sus solicitaciones"));
    connect(buttons_.group, &QPushButton::clicked, this, [this] {
        if (leave()) project_->groupEqualBeams();
    });
    buttons_.ungroup = button("ungroupBeamButton", QStringLiteral("Sacar del grupo"),
                              QStringLiteral("La viga elegida, diseñada sola"), &BeamList::ungroup);
    fourth->addWidget(buttons_.group);
    fourth->addWidget(buttons_.ungroup);
    auto* importButton = button("importBeamsButton", QStringLiteral("Importar vigas..."),
                                QStringLiteral("Las vigas de un edificio exportadas por el programa "
                                               "de análisis: un archivo de vigas (una fila por "
                                               "vano) y, si se quiere, uno de estaciones"),
                                &BeamList::importBeams);
    grid->addWidget(importButton);
    grid->addLayout(first);
    grid->addLayout(second);
    grid->addLayout(third);
    grid->addLayout(fourth);
}

void BeamList::refresh() {
    const char separator = decimalSeparator();
    const QSignalBlocker blocker(view_->selectionModel());
    const auto& beams = project_->beams();
    model_->setRowCount(int(beams.size()));
    for (std::size_t i = 0; i < beams.size(); ++i) {
        const project::Project::Beam& beam = beams[i];
        const int row = int(i);
        auto* name = new QStandardItem(QString::fromStdString(beam.beam.input.name));
        name->setToolTip(beam.beam.description);
        const auto& design = beam.result.design;
        auto* verdict = new QStandardItem(!design          ? QStringLiteral("Sin diseño")
                                          : design->passes ? QStringLiteral("Cumple")
                                                           : QStringLiteral("No cumple"));
        verdict->setForeground(design && design->passes ? passColour : failColour);
        auto* mass = new QStandardItem(
            design ? fromEngine(engine::beam::massText(design->totalMass, separator)) : QString());
        mass->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model_->setItem(row, Name, name);
        model_->setItem(row, Verdict, verdict);
        model_->setItem(row, Mass, mass);
        model_->setItem(row, Group, new QStandardItem(beam.beam.group));
    }
    const int current = project_->currentBeamIndex();
    if (current >= 0)
        view_->selectionModel()->setCurrentIndex(
            model_->index(current, Name),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        view_->selectionModel()->clear();
    const bool chosen = current >= 0;
    for (QPushButton* button : {buttons_.duplicate, buttons_.rename, buttons_.remove})
        button->setEnabled(chosen);
    buttons_.up->setEnabled(current > 0);
    buttons_.down->setEnabled(chosen && current + 1 < int(beams.size()));
    buttons_.group->setEnabled(beams.size() > 1);
    buttons_.ungroup->setEnabled(chosen && !beams[std::size_t(current)].beam.group.isEmpty());
}

int BeamList::selectedRow() const {
    return project_->currentBeamIndex();
}

bool BeamList::leave() {
    Q_EMIT leaving();
    return !mayLeave_ || mayLeave_();
}

void BeamList::choose(int row) {
    if (row == project_->currentBeamIndex()) return;
    if (!leave()) {
        refresh();  // the selection goes back to the beam still shown
        return;
    }
    project_->selectBeam(row);
}

void BeamList::add() {
    if (!leave()) return;
    engine::beam::BeamInput beam = newBeam_();
    beam.name = project_->freeBeamName().toStdString();
    project_->addBeam(beam);
}

void BeamList::duplicate() {
    if (!leave()) return;
    project_->duplicateBeam(selectedRow());
}

void BeamList::rename() {
    const int row = selectedRow();
    if (row < 0) return;
    Q_EMIT leaving();  // the same beam stays shown
    const project::ProjectBeam& beam = project_->beams()[std::size_t(row)].beam;
    RenameDialog dialog(QString::fromStdString(beam.input.name), beam.description, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString refused = project_->renameBeam(row, dialog.name(), dialog.description());
    if (!refused.isEmpty()) QMessageBox::warning(this, QStringLiteral("Renombrar viga"), refused);
}

// Asks first: the beam and everything typed for it go; "Cancelar", the default, keeps it.
void BeamList::remove() {
    const int row = selectedRow();
    if (row < 0) return;
    Q_EMIT leaving();  // its own question below asks
    const QString name =
        QString::fromStdString(project_->beams()[std::size_t(row)].beam.input.name);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Eliminar viga"),
                    QStringLiteral("¿Eliminar la viga \"%1\" del proyecto?").arg(name),
                    QMessageBox::Yes | QMessageBox::Cancel, this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Eliminar"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    if (box.exec() != QMessageBox::Yes) return;
    project_->removeBeam(row);
}

void BeamList::move(int step) {
    const int row = selectedRow();
    if (row < 0) return;
    Q_EMIT leaving();  // the same beam stays shown
    project_->moveBeam(row, row + step);
}

void BeamList::ungroup() {
    if (!leave()) return;
    project_->ungroupBeam(selectedRow());
}

QString BeamList::importFiles(const QString& beamsPath, const QString& stationsPath,
                              bool fromCentreline) {
    const BuildingRead read = readBuildingFiles(beamsPath, stationsPath, fromCentreline);
    if (!read.error.isEmpty()) return read.error;
    for (const auto& beam : read.building.beams) {
        const QString name = QString::fromStdString(beam.input.name);
        if (project_->beamNameTaken(name))
            return QStringLiteral("«%1»: ya hay una viga llamada \"%2\" en el proyecto; no se "
                                  "importó ninguna viga.")
                .arg(beamsPath, name);
    }
    if (!leave()) return QStringLiteral("No se importó ninguna viga.");
    const int first = int(project_->beams().size());
    for (const auto& beam : read.building.beams)
        project_->addBeam(beam.input, QString::fromStdString(beam.description));
    project_->selectBeam(first);
    return {};
}

// Asks for the beams file and where the moments come from, then for the stations file.
void BeamList::importBeams() {
    const QString filter = QStringLiteral("Archivos CSV (*.csv *.txt);;Todos los archivos (*)");
    const QString beamsPath =
        QFileDialog::getOpenFileName(this, QStringLiteral("Importar vigas"), QString(), filter);
    if (beamsPath.isEmpty()) return;
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Importar vigas"),
                    QStringLiteral("¿De dónde salen los momentos de las vigas?"),
                    QMessageBox::NoButton, this);
    auto* typed = ask.addButton(QStringLiteral("Del archivo de vigas"), QMessageBox::AcceptRole);
    auto* fromFace =
        ask.addButton(QStringLiteral("Estaciones, x desde la cara del apoyo"), QMessageBox::YesRole);
    auto* fromJoint =
        ask.addButton(QStringLiteral("Estaciones, x desde el eje del apoyo"), QMessageBox::YesRole);
    ask.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    ask.setDefaultButton(typed);
    ask.exec();
    QString stationsPath;
    if (ask.clickedButton() == fromFace || ask.clickedButton() == fromJoint) {
        stationsPath = QFileDialog::getOpenFileName(this, QStringLiteral("Importar estaciones"),
                                                    QFileInfo(beamsPath).path(), filter);
        if (stationsPath.isEmpty()) return;
    } else if (ask.clickedButton() != typed) {
        return;
    }
    const QString refused = importFiles(beamsPath, stationsPath, ask.clickedButton() == fromJoint);
    if (!refused.isEmpty()) QMessageBox::warning(this, QStringLiteral("Importar vigas"), refused);
}

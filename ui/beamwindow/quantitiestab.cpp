#include "beamwindow/quantitiestab.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "engine/building/building.h"
#include "engine/csv.h"
#include "project/project.h"

namespace {

// With a decimal comma, fields are separated by semicolons, as spreadsheets expect.
char delimiterFor(char decimalSeparator) {
    return decimalSeparator == ',' ? ';' : ',';
}

}  // namespace

QuantitiesTab::QuantitiesTab(project::Project* project, QWidget* parent)
    : QWidget(parent), project_(project) {
    auto* layout = new QVBoxLayout(this);
    model_ = new QStandardItemModel(this);
    view_ = new QTableView;
    view_->setObjectName(QStringLiteral("quantitiesView"));
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(view_, 1);
    auto* row = new QHBoxLayout;
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("quantitiesNote"));
    note_->setWordWrap(true);
    row->addWidget(note_, 1);
    auto* exportButton = new QPushButton(QStringLiteral("Exportar cantida&des..."));
    exportButton->setObjectName(QStringLiteral("exportQuantitiesButton"));
    connect(exportButton, &QPushButton::clicked, this, &QuantitiesTab::chooseExportFile);
    row->addWidget(exportButton);
    layout->addLayout(row);
    connect(project_, &project::Project::beamListChanged, this, &QuantitiesTab::refresh);
    refresh();
}

std::string QuantitiesTab::table(char delimiter) const {
    std::vector<engine::building::BeamQuantities> beams;
    for (const project::Project::Beam& beam : project_->beams())
        if (beam.result.design)
            beams.push_back(
                {beam.beam.input.name, engine::building::designQuantities(*beam.result.design)});
    return engine::building::quantitiesCsv(beams, delimiter, decimalSeparator());
}

// The table shows the CSV file's cells, so that the window and the file say the same.
void QuantitiesTab::refresh() {
    const char delimiter = delimiterFor(decimalSeparator());
    const std::string text = table(delimiter);
    engine::csv::Reader reader(engine::csv::memorySource(text), delimiter);
    engine::csv::Record record;
    model_->clear();
    bool header = true;
    while (reader.next(record)) {
        QStringList cells;
        for (const std::string_view field : record.fields) cells << fromEngine(field);
        if (header) {
            model_->setHorizontalHeaderLabels(cells);
            header = false;
            continue;
        }
        QList<QStandardItem*> items;
        for (const QString& cell : cells) {
            auto* item = new QStandardItem(cell);
            if (!items.isEmpty()) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
        model_->appendRow(items);
    }
    // The total row stands out.
    if (const int last = model_->rowCount() - 1; last >= 0)
        for (int c = 0; c < model_->columnCount(); ++c) {
            QFont bold = view_->font();
            bold.setBold(true);
            model_->item(last, c)->setFont(bold);
        }
    QStringList undesigned;
    for (const project::Project::Beam& beam : project_->beams())
        if (!beam.result.design) undesigned << QString::fromStdString(beam.beam.input.name);
    note_->setText(undesigned.isEmpty() ? QString()
                                        : QStringLiteral("Sin diseño, no se cuentan: %1.")
                                              .arg(undesigned.join(QStringLiteral(", "))));
}

QString QuantitiesTab::exportTo(const QString& path) const {
    const std::string text = table(delimiterFor(decimalSeparator()));
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral(
                   "No se puede guardar el archivo \"%1\": no se puede crear en esa "
                   "carpeta.")
            .arg(name);
    const QByteArray bytes = QByteArray::fromStdString(text);
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        file.cancelWriting();
        return QStringLiteral(
                   "No se puede guardar el archivo \"%1\": no se pudo terminar de "
                   "escribirlo (¿disco lleno?).")
            .arg(name);
    }
    return {};
}

void QuantitiesTab::chooseExportFile() {
    QFileDialog dialog(this, QStringLiteral("Exportar cantidades"),
                       suggestedExportName(project_->path(), QStringLiteral("csv"),
                                           QStringLiteral("cantidades.csv")),
                       QStringLiteral("Tablas CSV (*.csv)"));
    dialog.setObjectName(QStringLiteral("quantitiesFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    setAcceptCaption(dialog, "&Guardar");
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString refused = exportTo(dialog.selectedFiles().front());
    if (!refused.isEmpty())
        QMessageBox::critical(this, QStringLiteral("Exportar cantidades"), refused);
}

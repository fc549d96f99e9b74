#include "print/dxfexport.h"

#include <QAbstractButton>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "dxf/beamdxf.h"
#include "project/project.h"

namespace printing {
namespace {

// The title block's project (the project file's name), today's date and the one sheet.
engine::drawing::SheetInfo sheetInfo(const project::Project& project) {
    const QString name = project.path().isEmpty() ? QString()
                                                  : QFileInfo(project.path()).completeBaseName();
    return {name.toStdString(), QDate::currentDate().toString(Qt::ISODate).toStdString(),
            "1 de 1"};
}

// Tells that the beams without a design are not in the drawing.
void reportUndesigned(QWidget* parent, const QStringList& undesigned) {
    if (undesigned.isEmpty()) return;
    QMessageBox::information(
        parent, QStringLiteral("Exportar a DXF"),
        (undesigned.size() == 1 ? QStringLiteral("No se exportó la viga sin diseño: %1.")
                                : QStringLiteral("No se exportaron las vigas sin diseño: %1."))
            .arg(undesigned.join(QStringLiteral(", "))),
        QMessageBox::Ok);
}

}  // namespace

std::vector<dxfexport::SheetBeam> projectSheets(const project::Project& project,
                                                QStringList& undesigned) {
    std::vector<dxfexport::SheetBeam> sheets;
    QStringList groupsDrawn;
    for (const project::Project::Beam& beam : project.beams()) {
        if (!beam.result.design) {
            undesigned << fromEngine(beam.beam.input.name);
            continue;
        }
        const QString& group = beam.beam.group;
        if (!group.isEmpty()) {
            if (groupsDrawn.contains(group)) continue;
            groupsDrawn << group;
        }
        dxfexport::SheetBeam sheet{*beam.result.design, beam.beam.input};
        if (!group.isEmpty()) sheet.input.name = group.toStdString();
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

QString writeSheetsApart(const QString& folder, const std::vector<dxfexport::SheetBeam>& sheets,
                         char decimalSeparator, const engine::drawing::SheetInfo& info) {
    dxfexport::FileNames names;
    QStringList errors;
    for (const dxfexport::SheetBeam& sheet : sheets) {
        const QString path = QDir(folder).filePath(fromEngine(names.take(sheet.input.name)) +
                                                   QStringLiteral(".dxf"));
        const std::string error = dxfexport::writeBeamDxf(QFile::encodeName(path).toStdString(),
                                                          sheet.design, sheet.input,
                                                          decimalSeparator, info);
        if (!error.empty()) errors << fromEngine(error);
    }
    return errors.join(QLatin1Char('\n'));
}

void exportBeamDxf(QWidget* parent, const project::Project& project) {
    QStringList undesigned;
    const std::vector<dxfexport::SheetBeam> sheets =
        project.beams().size() > 1 ? projectSheets(project, undesigned)
                                   : std::vector<dxfexport::SheetBeam>{};
    if (project.beams().size() > 1 ? sheets.empty() : !project.beam() || !project.beamDesign()) {
        QMessageBox::information(
            parent, QStringLiteral("Exportar a DXF"),
            QStringLiteral("No hay una viga diseñada para exportar. Escriba sus vanos en "
                           "«Refuerzo › Viga y despiece...»."),
            QMessageBox::Ok);
        return;
    }
    bool filePerBeam = false;
    if (sheets.size() > 1) {
        QMessageBox question(QMessageBox::Question, QStringLiteral("Exportar a DXF"),
                             QStringLiteral("¿Cómo exportar las %1 vigas?").arg(sheets.size()),
                             QMessageBox::Cancel, parent);
        question.setObjectName(QStringLiteral("dxfBeamsQuestion"));
        QAbstractButton* together = question.addButton(
            QStringLiteral("Un archivo con todas las vigas"), QMessageBox::AcceptRole);
        QAbstractButton* apart =
            question.addButton(QStringLiteral("Un archivo por viga"), QMessageBox::AcceptRole);
        question.setDefaultButton(static_cast<QPushButton*>(together));
        question.exec();
        if (question.clickedButton() != together && question.clickedButton() != apart) return;
        filePerBeam = question.clickedButton() == apart;
    }
    QFileDialog dialog(parent, QStringLiteral("Exportar a DXF"),
                       suggestedExportName(project.path(), QStringLiteral("dxf"),
                                           QStringLiteral("despiece.dxf")),
                       QStringLiteral("Dibujos DXF (*.dxf)"));
    dialog.setObjectName(QStringLiteral("dxfFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("dxf"));
    setAcceptCaption(dialog, "&Guardar");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString chosen = dialog.selectedFiles().front();
    std::string error;
    if (sheets.empty()) {
        error = dxfexport::writeBeamDxf(QFile::encodeName(chosen).toStdString(),
                                        *project.beamDesign(), *project.beam(),
                                        decimalSeparator(), sheetInfo(project));
    } else if (sheets.size() == 1) {
        error = dxfexport::writeBeamDxf(QFile::encodeName(chosen).toStdString(),
                                        sheets.front().design, sheets.front().input,
                                        decimalSeparator(), sheetInfo(project));
    } else if (!filePerBeam) {
        error = dxfexport::writeBeamsDxf(QFile::encodeName(chosen).toStdString(), sheets,
                                         decimalSeparator(), sheetInfo(project));
    } else {
        // Each beam's file beside the chosen one, named after the beam.
        error = writeSheetsApart(QFileInfo(chosen).absolutePath(), sheets, decimalSeparator(),
                                 sheetInfo(project))
                    .toStdString();
    }
    reportUndesigned(parent, undesigned);
    if (!error.empty())
        QMessageBox::critical(parent, QStringLiteral("Exportar a DXF"), fromEngine(error),
                              QMessageBox::Ok);
}

}  // namespace printing

#include "print/dxfexport.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>

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

}  // namespace

void exportBeamDxf(QWidget* parent, const project::Project& project) {
    if (!project.beam() || !project.beamDesign()) {
        QMessageBox::information(
            parent, QStringLiteral("Exportar a DXF"),
            QStringLiteral("No hay una viga diseñada para exportar. Escriba sus vanos en "
                           "«Refuerzo › Viga y despiece...»."),
            QMessageBox::Ok);
        return;
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
    const std::string error =
        dxfexport::writeBeamDxf(QFile::encodeName(dialog.selectedFiles().front()).toStdString(),
                                *project.beamDesign(),
                                *project.beam(), decimalSeparator(), sheetInfo(project));
    if (!error.empty())
        QMessageBox::critical(parent, QStringLiteral("Exportar a DXF"), fromEngine(error),
                              QMessageBox::Ok);
}

}  // namespace printing

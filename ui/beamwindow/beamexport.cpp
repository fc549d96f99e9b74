#include "beamwindow/beamexport.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/windows.h"
#include "beamwindow/beamwindow.h"
#include "common/decimalseparator.h"
#include "common/enginetext.h"
#include "common/filedialoglabels.h"
#include "dxf/beamdxf.h"

void exportBeamDxf(QWidget* parent) {
    const BeamWindow* window = windows::loadedBeamWindow();
    if (!window || !window->design() || !window->input()) {
        QMessageBox::information(
            parent, QStringLiteral("Exportar a DXF"),
            QStringLiteral("No hay una viga diseñada para exportar. Escriba sus vanos en "
                           "«Refuerzo › Viga y despiece...»."),
            QMessageBox::Ok);
        return;
    }
    QFileDialog dialog(parent, QStringLiteral("Exportar a DXF"), QStringLiteral("despiece.dxf"),
                       QStringLiteral("Dibujos DXF (*.dxf)"));
    dialog.setObjectName(QStringLiteral("dxfFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("dxf"));
    setAcceptCaption(dialog, "&Guardar");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::string error = dxfexport::writeBeamDxf(
        dialog.selectedFiles().front().toStdString(), *window->design(), *window->input(),
        decimalSeparator());
    if (!error.empty())
        QMessageBox::critical(parent, QStringLiteral("Exportar a DXF"), fromEngine(error),
                              QMessageBox::Ok);
}

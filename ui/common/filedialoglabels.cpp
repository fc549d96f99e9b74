#include "common/filedialoglabels.h"

#include <QFileDialog>

void setSpanishLabels(QFileDialog& dialog, const char* accept) {
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nombre:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(accept));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
}

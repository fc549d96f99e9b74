#include "common/filedialoglabels.h"

#include <QFileDialog>
#include <QFileInfo>

void setAcceptCaption(QFileDialog& dialog, const char* accept) {
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(accept));
}

QString suggestedExportName(const QString& projectPath, const QString& extension,
                            const QString& unnamed) {
    if (projectPath.isEmpty()) return unnamed;
    const QFileInfo file(projectPath);
    return file.path() + QLatin1Char('/') + file.completeBaseName() + QLatin1Char('.') + extension;
}

#include "common/filedialoglabels.h"

#include <QFileDialog>

void setAcceptCaption(QFileDialog& dialog, const char* accept) {
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(accept));
}

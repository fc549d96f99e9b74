#include "common/formfonts.h"

#include <QFont>
#include <QVariant>
#include <QWidget>

void applyFractionalPointSizes(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        bool ok = false;
        const double size = control->property("pointSizeF").toDouble(&ok);
        if (!ok || size <= 0) continue;
        QFont font = control->font();
        font.setPointSizeF(size);
        control->setFont(font);
    }
}

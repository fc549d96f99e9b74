#include "common/decimalseparator.h"

#include <QLocale>
#include <QString>

char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    const char separator = point.isEmpty() ? '\0' : point.front().toLatin1();
    return separator ? separator : '.';
}

#pragma once

#include <QString>
#include <optional>

#include "common/decimalseparator.h"
#include "common/inputtexts.h"
#include "engine/numbers.h"

// The numbers of the beam window's fields and cells, with the locale's decimal separator.

// A typed value as its field shows it: the shortest text that reads back as the same number, so
// that a beam shown and read again is the same beam.
inline QString fieldText(double value) {
    return inputText(value, decimalSeparator());
}

// What the window says of a text that is no number: that the value is missing, or which decimal
// separator the field takes (a "7,5" typed under a locale that writes "7.5" is the usual case).
inline QString notANumberText(const QString& text) {
    if (text.trimmed().isEmpty()) return QStringLiteral("falta el valor.");
    return QStringLiteral("«%1» no es un número (%2).")
        .arg(text.trimmed(), decimalSeparator() == ',' ? QStringLiteral("use la coma decimal")
                                                       : QStringLiteral("use el punto decimal"));
}

// A typed value read, or the message that says what is wrong with it (`name` names the field).
inline std::optional<double> readFieldNumber(const QString& text, const QString& name,
                                             QString* error) {
    const std::optional<double> value =
        engine::parseNumber(text.trimmed().toStdString(), decimalSeparator());
    if (!value) *error = QStringLiteral("%1: %2").arg(name, notANumberText(text));
    return value;
}

#pragma once

#include <QString>
#include <array>
#include <optional>

#include "project/projectfile.h"

// The seven inputs as the main window's fields hold them: texts in project::Input order, read
// and written with the locale's decimal separator.

// The fields read as numbers. A field that is blank or not a number keeps the value `previous`
// holds for it, and the first such field is `notANumber`.
struct TypedInputs {
    project::DesignInputs inputs;
    std::optional<project::Input> notANumber;
};
TypedInputs inputsFromTexts(const std::array<QString, project::inputCount>& texts,
                            char decimalSeparator, const project::DesignInputs& previous = {});

// The text a field shows for a value read from a file: positional (no exponent), the shortest
// that reads back as exactly the same double.
QString inputText(double value, char decimalSeparator);

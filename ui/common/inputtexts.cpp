#include "common/inputtexts.h"

#include <string>

#include "engine/numbers.h"

TypedInputs inputsFromTexts(const std::array<QString, project::inputCount>& texts,
                            char decimalSeparator, const project::DesignInputs& previous) {
    TypedInputs typed{previous, std::nullopt};
    for (int i = 0; i < project::inputCount; ++i) {
        const std::optional<double> value =
            engine::parseNumber(texts[i].toStdString(), decimalSeparator);
        if (value)
            typed.inputs.values[i] = *value;
        else if (!typed.notANumber)
            typed.notANumber = static_cast<project::Input>(i);
    }
    return typed;
}

QString inputText(double value, char decimalSeparator) {
    std::string text;
    engine::appendShortestNumber(text, value, decimalSeparator);
    return QString::fromStdString(text);
}

#pragma once

#include <QString>
#include <string_view>

// A text composed by the engine, which writes UTF-8, as the windows show it.
inline QString fromEngine(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

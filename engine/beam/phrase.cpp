#include "engine/beam/phrase.h"

#include <charconv>
#include <cmath>

#include "engine/numbers.h"

namespace engine::beam {

namespace {

// The shortest text of a value; past a billion, with an exponent ("9e+307") rather than three
// hundred digits.
std::string shortestText(double value, char decimalSeparator) {
    if (!std::isfinite(value) || std::fabs(value) < 1e9) return formatGeneral(value, decimalSeparator);
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text;
}

}  // namespace

Phrase& Phrase::operator<<(std::string_view words) {
    if (words.empty()) return *this;
    if (!pieces_.empty() && !pieces_.back().isFigure)
        pieces_.back().words += words;
    else
        pieces_.push_back({std::string(words), {}, false});
    return *this;
}

Phrase& Phrase::operator<<(Figure figure) {
    pieces_.push_back({{}, figure, true});
    return *this;
}

Phrase& Phrase::operator<<(const Phrase& other) {
    for (const Piece& piece : other.pieces_) {
        if (piece.isFigure)
            *this << piece.figure;
        else
            *this << piece.words;
    }
    return *this;
}

std::string Phrase::text(char decimalSeparator) const {
    std::string out;
    for (const Piece& piece : pieces_) {
        if (piece.isFigure && piece.figure.decimals == Figure::shortest)
            out += shortestText(piece.figure.value, decimalSeparator);
        else if (piece.isFigure)
            out += formatFixed(piece.figure.value, piece.figure.decimals, decimalSeparator);
        else
            out += piece.words;
    }
    return out;
}

}  // namespace engine::beam

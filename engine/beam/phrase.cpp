#include "engine/beam/phrase.h"

#include "engine/numbers.h"

namespace engine::beam {

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
        if (piece.isFigure)
            out += formatFixed(piece.figure.value, piece.figure.decimals, decimalSeparator);
        else
            out += piece.words;
    }
    return out;
}

}  // namespace engine::beam

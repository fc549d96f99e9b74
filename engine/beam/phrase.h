#pragma once

#include <string>
#include <string_view>
#include <vector>

// A text kept as its words and its figures, composed with the decimal separator of whoever
// shows it: the window its locale's, the sheet its own, JSON a point.
namespace engine::beam {

// A number of a text and the decimals it is shown with.
struct Figure {
    // As decimals: the shortest text that reads back as the value ("1e+12", "0.3").
    static constexpr int shortest = -1;
    double value = 0;
    int decimals = 0;
};

class Phrase {
  public:
    Phrase& operator<<(std::string_view words);
    Phrase& operator<<(Figure figure);
    Phrase& operator<<(const Phrase& other);
    // The text, each figure with `decimals` decimals and this separator.
    std::string text(char decimalSeparator) const;
    bool empty() const { return pieces_.empty(); }

  private:
    struct Piece {
        std::string words;  // empty for a figure
        Figure figure;
        bool isFigure = false;
    };
    std::vector<Piece> pieces_;
};

}  // namespace engine::beam

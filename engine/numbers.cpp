#include "engine/numbers.h"

namespace engine {
std::string formatGeneral(double, char) { return {}; }
std::string formatFixed(double, int, char) { return {}; }
std::string formatFixedTwice(double, int, int, char) { return {}; }
std::optional<double> parseNumber(std::string_view, char) { return std::nullopt; }
}  // namespace engine

#include "engine/catalogue.h"

namespace engine {
double Bar::tableArea() const { return fixedTableArea; }
double Bar::perimeter() const { return 0; }
std::span<const Bar> tablabarras() { return {}; }
const Bar* findBar(double) { return nullptr; }
BarTableCells barTableCells(char) { return {}; }
std::optional<SuppliedSteel> suppliedSteel(std::string_view, std::string_view, char) { return std::nullopt; }
}  // namespace engine

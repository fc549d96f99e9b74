#include "engine/layout/bartext.h"

#include <charconv>

#include "engine/numbers.h"

namespace engine {

namespace {

constexpr std::string_view example = "por ejemplo 2N6+1N5";

// Reads leading digits; false when there are none or the number is absurdly large.
bool readWholeNumber(std::string_view& text, int& value, bool& tooLarge) {
    std::size_t length = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9') ++length;
    if (length == 0) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
    tooLarge = error != std::errc{} || value > maxBarsPerFace;
    text.remove_prefix(length);
    return true;
}

// The bar mark: 'N' or 'n' with an optional degree or ordinal sign, or '#'.
bool readBarMark(std::string_view& text) {
    if (text.empty()) return false;
    if (text.front() == '#') {
        text.remove_prefix(1);
        return true;
    }
    if (text.front() != 'N' && text.front() != 'n') return false;
    text.remove_prefix(1);
    if (text.starts_with("\u00B0") || text.starts_with("\u00BA")) text.remove_prefix(2);
    return true;
}

std::string quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

std::string groupError(std::string_view group) {
    return "No se entiende " + quoted(group) +
           ": escriba cada grupo como cantidad, N y número de barra, " + std::string(example) + ".";
}

// Reads one "<count> N <designation>" group; returns the error text or an empty one.
std::string readGroup(std::string_view group, BarGroup& out) {
    std::string_view rest = group;
    int count = 0;
    int designation = 0;
    bool tooLarge = false;
    if (!readWholeNumber(rest, count, tooLarge)) return groupError(group);
    rest = trimBlanks(rest);
    if (!readBarMark(rest)) return groupError(group);
    rest = trimBlanks(rest);
    const std::string_view digits = rest.substr(0, rest.find_first_not_of("0123456789"));
    bool designationTooLarge = false;
    if (!readWholeNumber(rest, designation, designationTooLarge)) return groupError(group);
    if (!trimBlanks(rest).empty()) return groupError(group);
    if (tooLarge) return "Demasiadas barras en " + quoted(group) + ".";
    if (count == 0) return "La cantidad de barras debe ser al menos 1: " + quoted(group) + ".";
    const Bar* bar = designationTooLarge ? nullptr : findBar(designation);
    if (bar == nullptr) return "No hay barra N° " + std::string(digits) + " en el catálogo.";
    out = {count, bar};
    return {};
}

}  // namespace

ParsedLayer parseLayer(std::string_view text) {
    ParsedLayer parsed;
    if (trimBlanks(text).empty()) {
        parsed.error = "Escriba las barras de la capa, " + std::string(example) + ".";
        return parsed;
    }
    while (true) {
        const std::size_t plus = text.find('+');
        const std::string_view group = trimBlanks(text.substr(0, plus));
        if (group.empty()) {
            parsed.error =
                "Falta un grupo de barras junto a un signo +, " + std::string(example) + ".";
            parsed.layer.clear();
            return parsed;
        }
        BarGroup read;
        parsed.error = readGroup(group, read);
        if (!parsed.ok()) {
            parsed.layer.clear();
            return parsed;
        }
        parsed.layer.push_back(read);
        if (plus == std::string_view::npos) break;
        text.remove_prefix(plus + 1);
    }
    return parsed;
}

std::string barName(int designation) {
    return "N° " + std::to_string(designation);
}

std::string barCountText(int count, int designation) {
    return std::to_string(count) + " " + barName(designation);
}

std::string formatLayer(const Layer& layer) {
    std::string text;
    for (const BarGroup& group : layer) {
        if (!text.empty()) text += " + ";
        text += barCountText(group.count, group.bar->designation);
    }
    return text;
}

std::string formatArrangement(const Arrangement& arrangement) {
    std::string text;
    for (const Layer& layer : arrangement.layers) {
        if (!text.empty()) text += " / ";
        text += formatLayer(layer);
    }
    return text;
}

int barCount(const Layer& layer) {
    int count = 0;
    for (const BarGroup& group : layer) count += group.count;
    return count;
}

double layerArea(const Layer& layer) {
    double area = 0;
    for (const BarGroup& group : layer) area += group.count * group.bar->supplyArea;
    return area;
}

double arrangementArea(const Arrangement& arrangement) {
    double area = 0;
    for (const Layer& layer : arrangement.layers) area += layerArea(layer);
    return area;
}

}  // namespace engine

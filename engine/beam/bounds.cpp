#include "engine/beam/bounds.h"

#include <cmath>


namespace engine::beam {

namespace {

// Every span (its length and load), support, moment and station (its moment and shear) of the beam against its bound, in that order.
std::optional<OutOfBounds> firstOf(const BeamInput& input) {
    const auto check = [](const Bound& bound, double value, std::string_view place,
                          std::size_t number) -> std::optional<OutOfBounds> {
        if (bound.holds(value)) return std::nullopt;
        return OutOfBounds{&bound, value, place, number};
    };
    if (auto breach = check(bounds::stockLength, input.stockLength, {}, 0)) return breach;
    for (std::size_t j = 0; j < input.supports.size(); ++j) {
        if (auto breach = check(bounds::supportWidth, input.supports[j], "Apoyo", j + 1))
            return breach;
    }
    for (std::size_t j = 0; j < input.columns.size(); ++j) {
        if (input.columns[j] == 0) continue;
        if (auto breach = check(bounds::columnWidth, input.columns[j], "Apoyo", j + 1))
            return breach;
    }
    for (std::size_t i = 0; i < input.spans.size(); ++i) {
        const Span& s = input.spans[i];
        if (auto breach = check(bounds::spanLength, s.length, "Vano", i + 1)) return breach;
        if (s.wu)
            if (auto breach = check(bounds::gravityLoad, *s.wu, "Vano", i + 1)) return breach;
        if (!input.stations.empty()) continue;
        for (const double m : {s.moments.left, s.moments.mid, s.moments.right,
                               s.moments.midMin.value_or(0.0), s.moments.posLeft.value_or(0.0),
                               s.moments.posRight.value_or(0.0)}) {
            if (auto breach = check(bounds::moment, m, "Vano", i + 1)) return breach;
        }
    }
    for (std::size_t k = 0; k < input.stations.size(); ++k) {
        if (auto breach = check(bounds::moment, input.stations[k].mu, "Estación", k + 1))
            return breach;
        // A shear that is no number is refused as such by the design, not as out of range.
        if (input.stations[k].v && !std::isnan(*input.stations[k].v))
            if (auto breach = check(bounds::shear, *input.stations[k].v, "Estación", k + 1))
                return breach;
    }
    return std::nullopt;
}

}  // namespace

Phrase rangePhrase(const Bound& bound) {
    Phrase range;
    range << Figure{bound.low, Figure::shortest} << " a " << Figure{bound.high, Figure::shortest};
    if (!bound.unit.empty()) range << " " << bound.unit;
    return range;
}

std::string rangeText(const Bound& bound, char decimalSeparator) {
    return rangePhrase(bound).text(decimalSeparator);
}

Phrase outOfBoundsPhrase(const OutOfBounds& breach) {
    const Bound& b = *breach.bound;
    Phrase text;
    if (!breach.place.empty())
        text << breach.place << " " << std::to_string(breach.number) << ": ";
    text << b.name << " «" << b.key << "» = " << Figure{breach.value, Figure::shortest};
    if (!b.unit.empty()) text << " " << b.unit;
    return text << " está fuera de lo admitido (" << rangePhrase(b) << ")";
}

std::optional<OutOfBounds> firstOutOfBounds(const BeamInput& input) {
    if (input.spans.size() > bounds::maxSpans) {
        static constexpr Bound spanCount{"span", "el número de vanos", "", 1,
                                         static_cast<double>(bounds::maxSpans)};
        return OutOfBounds{&spanCount, static_cast<double>(input.spans.size()), {}, 0};
    }
    return firstOf(input);
}

}  // namespace engine::beam

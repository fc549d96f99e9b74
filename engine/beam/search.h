#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "engine/beam/demand.h"
#include "engine/beam/stations.h"

// The search for the bars of one face: continuous bars of one size, lapped where the stock
// length ends, plus extras of one size per region where the continuous bars fall short; the
// lightest arrangement that satisfies the needs and fits.
namespace engine::beam {

struct Lap {
    double start = 0, end = 0;  // overlap of two pieces, m
};

// The extras of one region.
struct Extra {
    const Bar* bar = nullptr;
    int count = 0;
    int inFirstLayer = 0;
    double start = 0, end = 0;  // straight part, m
    bool hookStart = false, hookEnd = false;
    double mass = 0;
};

// A face's bars as searched: continuous bars plus extras per region.
struct FaceChoice {
    const Bar* bar = nullptr;  // continuous bars
    int count = 0;
    std::vector<Lap> laps;
    double mass = 0;
    int marks = 0;
    std::vector<Extra> extras;  // per region (count 0: none)
};

// Where the continuous bars of one size lap (none when no plan fits the stock length).
std::optional<std::vector<Lap>> planLaps(const Beam& beam, const Bar& bar, bool topFace);

// The lightest arrangement of the face, or the message saying why none satisfies it: the
// reason the search refused the last arrangement it tried.
std::variant<FaceChoice, Phrase> searchFace(const Beam& beam, const std::vector<Need>& needs,
                                            bool topFace);

}  // namespace engine::beam

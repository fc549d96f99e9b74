#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "engine/beam/beam.h"
#include "engine/catalogue.h"

// The beam as the designer sees it: where its supports and faces lie, its section, and the
// points of its profile (every 5 cm and every support face) with the envelope moments there.
namespace engine::beam {

inline constexpr double gridStep = 0.05;  // m

// The length rounded up to the 5 cm grid (m).
double roundUpTo5cm(double metres);

// One point of the profile.
struct Point {
    double x = 0;
    int span = -1;     // index of the span it lies in (faces included), -1 over a support
    int support = -1;  // index of the support it lies over, -1 inside a span
    int face = -1;     // 2 span + side when the point is a support face, else -1
    double muNeg = 0, muPos = 0;  // envelope magnitudes, Tn-m
};

// A first and last point index (-1, -1 when none).
using Region = std::pair<int, int>;

struct Beam {
    explicit Beam(const BeamInput& input);

    const BeamInput& in;
    int spans = 0;
    std::vector<double> xL, xR;      // faces of each span, m
    std::vector<double> supL, supR;  // edges of each support, m
    double length = 0;
    double barSeat = 0;                   // cm, face to the outside of the longitudinal bars
    double hookStartX = 0, hookEndX = 0;  // straight ends of hooked bars, m
    double available = 0;                 // width for the bars, cm
    double dTop = 0, dBot = 0;            // effective depths of the design, cm
    double rhoMin = 0;
    bool seismic = false;  // DES or DMO
    std::vector<const Bar*> sizes;  // the bars allowed, smallest first

    std::vector<Point> points;
    std::vector<int> faceIndex;  // point index of each face
    // Top extras are searched per support, from the middle of the span on its left to the
    // middle of the span on its right; bottom extras per span and per support, in regions
    // ordered along the beam (support 0, span 0, support 1, ...); a support's bottom region
    // runs from the middle of one span beside it to the middle of the other.
    std::vector<Region> topRegions, bottomRegions, bottomSupportRegions;

    // The index of the first point at x or past it (the last point past them all).
    std::size_t pointAt(double x) const;
    std::size_t spanFirst(int span) const {
        return static_cast<std::size_t>(bottomRegions[static_cast<std::size_t>(span)].first);
    }
    std::size_t spanLast(int span) const {
        return static_cast<std::size_t>(bottomRegions[static_cast<std::size_t>(span)].second);
    }
    double supportWidth(int support) const { return in.supports[static_cast<std::size_t>(support)]; }
    // ld of a bar of this beam, and ldh of its hook in an outer support, m.
    double ld(const Bar& bar, bool topFace) const;
    double ldh(const Bar& bar, int support) const;
    // Whether the hook develops in the room the outer support has.
    bool hookFitsIn(const Bar& bar, int support) const;
};

// The place of a point: a face, a point of a span or a point over a support.
Place pointPlace(const Point& p);

// A span whose stations stop short of a face: the moments between that face and the nearest
// station are taken as at that station.
struct StationGap {
    int span = 1;  // from 1
    Side side = Side::Left;
    double gap = 0;  // m from the face to the nearest station
};

// The gaps wider than half a centimetre (less is the rounding of an exported table), in order
// along the beam; none for typed moments.
std::vector<StationGap> stationGaps(const BeamInput& in);

// Reads the moments (typed or from the stations) into the envelopes and lays out the points;
// the message when a span has no stations.
std::optional<Phrase> layOutPoints(Beam& beam);

}  // namespace engine::beam

#pragma once

#include "engine/beam/stations.h"

// Why the search refused an arrangement, kept as figures while it goes on and put in words
// only when no arrangement is left.
namespace engine::beam {

struct Refusal {
    enum class Why {
        None,
        NotDeveloped,         // the extras of a region cannot develop in the room there
        NoRoom,               // continuous bars and extras do not fit the layers
        RatioAbove,           // the commercial bars pass the steel ratio limit
        NoInflection,         // the negative moment does not vanish in a span beside the support
        NotTwiceArea,         // nowhere to cut bottom extras where the others give twice the need
        TooLong,              // the extras pass the stock length
        NoRoomBesideLaps,     // continuous bars and extras do not fit beside the laps
        MergedBarNotAllowed,  // extras that meet have no bar for the supports they cross
        MergedDoNotFit,       // extras that meet do not fit or pass the stock length
        Crowded,              // bottom extras do not fit together with the continuous bars
        NoLapPlace,           // the continuous bars have nowhere to lap
        TwoBarsDoNotFit,      // two continuous bars of the smallest size do not fit the width
    };
    Why why = Why::None;
    // The region: its face, and its support or span (from 0); for merged extras, the index of
    // the first of the two regions.
    bool topFace = true;
    bool atSupport = true;
    int support = 0, span = 0, region = 0;
    int inflectionSpan = 0;  // NoInflection: the span, from 0
    // The bars: `contCount` continuous N° `contBar` and `count` extras N° `bar`.
    int contCount = 0, contBar = 0, count = 0, bar = 0;
    double ratio = 0;      // RatioAbove
    double crowdedAt = 0;  // Crowded: where, m
    // Larger bars left out because their hook does not develop in the outer support (bar 0:
    // none): the smallest of them, its ldh and the room, cm; and the support that would take
    // it (cm, 0: none).
    int hookBar = 0;
    double hookLdh = 0, hookRoom = 0, hookSupport = 0;
    // DES, an interior support: the largest bar that may cross it (20 db within its width),
    // when larger bars were left out for that (0: none left out).
    int throughBar = 0;
    bool besideLaps = false;  // TwoBarsDoNotFit: beside their laps

    // A new reason replaces the last one, and with it the hooks left out.
    void set(Why reason) {
        why = reason;
        hookBar = 0;
        throughBar = 0;
    }
};

// "Apoyo 2, barras superiores: 3 N° 5 y 4 N° 8 no caben en 2 capas; aumente b" and the like.
Phrase refusalText(const Beam& beam, const Refusal& refusal);

}  // namespace engine::beam

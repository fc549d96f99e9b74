#include "engine/beam/layers.h"

#include <algorithm>

#include "engine/beam/tolerance.h"

namespace engine::beam {

int firstLayerRoom(const Beam& beam, const Bar& cont, int count, const Bar& extra) {
    int room = 0;
    while (layerWidth(beam.in.settings, Layer{{count, &cont}, {room + 1, &extra}}) <=
           beam.available + tiny) {
        ++room;
        if (room > 40) break;
    }
    return room;
}

bool splitLayers(const Beam& beam, Extra& extra, const Bar& cont, int count,
                 const std::vector<Lap>& laps) {
    const LayoutSettings& settings = beam.in.settings;
    const double available = beam.available;
    const bool lapped = std::any_of(laps.begin(), laps.end(), [&](const Lap& lap) {
        return lap.start < extra.end + gridStep && lap.end > extra.start - gridStep;
    });
    const double pairs = lapped ? count * cont.diameterCm() : 0;
    int room = 0;
    while (room < extra.count &&
           layerWidth(settings, Layer{{count, &cont}, {room + 1, extra.bar}}) + pairs <=
               available + tiny) {
        ++room;
    }
    extra.inFirstLayer = room;
    if (room == extra.count) return true;
    if (settings.maxTensionLayers < 2) return false;
    // Bars of one mark that do not all fit beside the continuous bars stay one mark in the
    // second layer when they fit there; split between the layers only when they must be.
    if (layerWidth(settings, Layer{{extra.count, extra.bar}}) <= available + tiny) {
        extra.inFirstLayer = 0;
        return true;
    }
    return layerWidth(settings, Layer{{extra.count - room, extra.bar}}) <= available + tiny;
}

std::optional<double> shareLayers(const Beam& beam, std::vector<Extra>& extras, const Bar& cont,
                                  int count, const std::vector<Lap>& laps) {
    const LayoutSettings& settings = beam.in.settings;
    const double available = beam.available;
    std::vector<double> places;
    for (const Extra& e : extras) {
        if (e.count > 0) places.push_back(e.start);
    }
    for (const Lap& lap : laps) places.push_back(lap.start);
    // A move to the second layer at one place can crowd it at another: sweep until none moves.
    for (bool moved = true; moved;) {
        moved = false;
        for (const double x : places) {
            std::vector<Extra*> here;
            for (Extra& e : extras) {
                if (e.count > 0 && x >= e.start - tiny && x <= e.end + tiny) here.push_back(&e);
            }
            if (here.empty()) continue;
            const bool lapped = std::any_of(laps.begin(), laps.end(), [&](const Lap& lap) {
                return x >= lap.start - gridStep && x <= lap.end + gridStep;
            });
            const double pairs = lapped ? count * cont.diameterCm() : 0;
            auto width = [&](bool first) {
                Layer layer;
                if (first) layer.push_back({count, &cont});
                for (const Extra* e : here) {
                    const int n = first ? e->inFirstLayer : e->count - e->inFirstLayer;
                    if (n > 0) layer.push_back({n, e->bar});
                }
                return layer.empty() ? 0.0 : layerWidth(settings, layer) + (first ? pairs : 0.0);
            };
            while (width(true) > available + tiny) {
                Extra* most = nullptr;
                for (Extra* e : here) {
                    if (e->inFirstLayer > 0 && (!most || e->inFirstLayer > most->inFirstLayer))
                        most = e;
                }
                if (most == nullptr || settings.maxTensionLayers < 2) return x;
                --most->inFirstLayer;
                moved = true;
                // One mark rather than two when the whole group fits the second layer.
                const int kept = most->inFirstLayer;
                most->inFirstLayer = 0;
                if (width(false) > available + tiny) most->inFirstLayer = kept;
            }
            if (width(false) > available + tiny) return x;
        }
    }
    return std::nullopt;
}

}  // namespace engine::beam

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

int firstLayerShare(int count, const Bar& cont, int extras, const Bar& extra, int room) {
    for (int first = std::min(extras, room); first >= 0; --first) {
        const bool symmetric = &cont == &extra || count % 2 == 0 || first % 2 == 0;
        if (symmetric && extras - first != 1) return first;
    }
    return -1;
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
    // The first layer as full as it may be: symmetric, and leaving no bar alone in the second.
    const int first = firstLayerShare(count, cont, extra.count, *extra.bar, room);
    if (first < 0) return false;
    extra.inFirstLayer = first;
    if (first == extra.count) return true;
    if (settings.maxTensionLayers < 2) return false;
    return layerWidth(settings, Layer{{extra.count - first, extra.bar}}) <= available + tiny;
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
    // The width of a layer at x as the extras lie now.
    // (Summed here rather than through a Layer: the search asks this thousands of times.)
    auto width = [&](double x, bool first) {
        int bars = first ? count : 0;
        double sum = first ? count * cont.diameterCm() : 0.0;
        double largest = first ? cont.diameterCm() : 0.0;
        for (const Extra& e : extras) {
            if (e.count == 0 || x < e.start - tiny || x > e.end + tiny) continue;
            const int n = first ? e.inFirstLayer : e.count - e.inFirstLayer;
            if (n == 0) continue;
            bars += n;
            sum += n * e.bar->diameterCm();
            largest = std::max(largest, e.bar->diameterCm());
        }
        if (bars == 0) return 0.0;
        const bool lapped = first && std::any_of(laps.begin(), laps.end(), [&](const Lap& lap) {
                                return x >= lap.start - gridStep && x <= lap.end + gridStep;
                            });
        return occupiedWidth(settings, bars, sum, largest) +
               (lapped ? count * cont.diameterCm() : 0.0);
    };
    // A move to the second layer at one place can crowd it at another: sweep until none moves.
    for (bool moved = true; moved;) {
        moved = false;
        for (const double x : places) {
            while (width(x, true) > available + tiny) {
                Extra* most = nullptr;
                for (Extra& e : extras) {
                    if (e.count > 0 && x >= e.start - tiny && x <= e.end + tiny &&
                        e.inFirstLayer > 0 && (!most || e.inFirstLayer > most->inFirstLayer))
                        most = &e;
                }
                if (most == nullptr || settings.maxTensionLayers < 2) return x;
                most->inFirstLayer = std::max(
                    0,
                    firstLayerShare(count, cont, most->count, *most->bar, most->inFirstLayer - 1));
                moved = true;
            }
            if (width(x, false) > available + tiny) return x;
        }
    }
    // Bars moved up for a place that a later move relieved come back down where they fit
    // everywhere along their mark: the first layer full before the second.
    for (Extra& e : extras) {
        if (e.count == 0 || e.inFirstLayer == e.count) continue;
        const int kept = e.inFirstLayer;
        for (int first = e.count; first > kept; --first) {
            if (firstLayerShare(count, cont, e.count, *e.bar, first) != first) continue;
            e.inFirstLayer = first;
            const bool fits = std::all_of(places.begin(), places.end(), [&](double x) {
                return x < e.start - tiny || x > e.end + tiny ||
                       (width(x, true) <= available + tiny && width(x, false) <= available + tiny);
            });
            if (fits) break;
            e.inFirstLayer = kept;
        }
    }
    return std::nullopt;
}

}  // namespace engine::beam

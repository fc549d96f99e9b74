// A building as one analysis exports it: 500 beams of three spans, each with 11 stations a span
// in 3 load combinations, read, designed one at a time and added up, as `quintaral-cli beams`
// does. The whole run should take at most 2 s on one core.

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <variant>

#include "engine/beam/beam.h"
#include "engine/building/building.h"
#include "engine/numbers.h"

namespace {

std::pair<std::string, std::string> exportedBuilding(int beams) {
    std::string spans = "beam,span,length,support_left,support_right,b,h,cover,cover2,fc,fy,wu\n";
    std::string stations = "storey,beam,span,x,combo,mu,v\n";
    const auto number = [](double value) { return engine::formatGeneral(value, '.'); };
    for (int i = 0; i < beams; ++i) {
        const std::string name = "V-" + std::to_string(100 + i);
        const double scale = 0.6 + 0.05 * (i % 10);
        for (int span = 1; span <= 3; ++span) {
            const double length = span == 2 ? 4.0 + 0.1 * (i % 7) : 5.5;
            spans += name + ',' + std::to_string(span) + ',' + number(length) + ",40,40,30," +
                     (i % 3 == 0 ? "60" : "50") + ",6,6,210,4200,3\n";
            for (int combo = 1; combo <= 3; ++combo) {
                const double factor = scale * (1 - 0.2 * (combo - 1));
                for (int k = 0; k <= 10; ++k) {
                    const double t = k / 10.0;
                    stations += "P" + std::to_string(i / 50) + ',' + name + ',' +
                                std::to_string(span) + ',' + number(length * t) + ",C" +
                                std::to_string(combo) + ',' +
                                number(factor * (-18 + 110 * t * (1 - t))) + ',' +
                                number(factor * 15 * (1 - 2 * t)) + '\n';
                }
            }
        }
    }
    return {spans, stations};
}

void buildingOf500Beams(benchmark::State& state) {
    const auto [spans, stations] = exportedBuilding(500);
    for (auto _ : state) {
        engine::csv::Reader spansReader(engine::csv::memorySource(spans));
        auto read = engine::building::readBuilding(spansReader, '.', true);
        auto& building = std::get<engine::building::Building>(read);
        engine::csv::Reader stationsReader(engine::csv::memorySource(stations));
        if (engine::building::readBuildingStations(stationsReader, '.', building))
            state.SkipWithError("the stations were refused");
        engine::building::Quantities total;
        int passing = 0;
        for (const auto& beam : building.beams) {
            const auto outcome = engine::beam::designBeam(beam.input);
            if (const auto* design = std::get_if<engine::beam::BeamDesign>(&outcome)) {
                total.add(*design);
                passing += design->passes;
            }
        }
        benchmark::DoNotOptimize(total);
        state.counters["passing"] = passing;
        state.counters["kg"] = total.total();
    }
}
BENCHMARK(buildingOf500Beams)->Unit(benchmark::kMillisecond);

}  // namespace

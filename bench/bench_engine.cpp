#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>
#include <variant>

#include "beaminputs.h"
#include "engine/beam/beam.h"
#include "engine/capacity.h"
#include "engine/design.h"
#include "engine/layout.h"
#include "engine/report.h"
#include "engine/run.h"

namespace {

// A mix of singly and doubly reinforced sections, so branch prediction cannot settle on one.
constexpr std::array<engine::DesignInput, 8> sections{{
    {100, 15, 5, 210, 4200, 1, 5},
    {100, 15, 5, 210, 4200, 5, 5},
    {100, 15, 5, 210, 4200, 6, 4},
    {30, 50, 5, 350, 4200, 40, 5},
    {25, 40, 4, 280, 4200, 12.5, 4},
    {40, 70, 6, 245, 4200, 55, 5},
    {30, 45, 5, 210, 2400, 30, 5},
    {20, 30, 3, 420, 5000, 3.75, 3},
}};

void designAlone(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        engine::DesignInput in = sections[i++ % sections.size()];
        benchmark::DoNotOptimize(in);
        engine::nsr98::DesignOutcome outcome = engine::nsr98::design(in);
        benchmark::DoNotOptimize(outcome);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(designAlone);

void designAndReport(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        engine::DesignInput in = sections[i++ % sections.size()];
        benchmark::DoNotOptimize(in);
        const engine::nsr98::DesignOutcome outcome = engine::nsr98::design(in);
        std::string report = engine::nsr98::resultsReport(std::get<engine::nsr98::DesignResult>(outcome), '.');
        benchmark::DoNotOptimize(report);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(designAndReport);

// Sections that all design under NSR-10, three of them doubly reinforced (the doubly reinforced
// sections above have no room for compression steel above c = 0.375 d).
constexpr std::array<engine::DesignInput, 8> nsr10Sections{{
    {100, 15, 5, 210, 4200, 1, 5},
    {30, 50, 5, 210, 4200, 45, 5},
    {40, 70, 6, 280, 4200, 110, 6},
    {30, 50, 5, 350, 4200, 40, 5},
    {25, 40, 4, 280, 4200, 12.5, 4},
    {40, 70, 6, 245, 4200, 55, 5},
    {30, 45, 5, 210, 2400, 30, 5},
    {20, 30, 3, 420, 5000, 3.75, 3},
}};

// NSR-10 through the code-agnostic run: design and results report.
void nsr10DesignAndReport(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        engine::DesignInput in = nsr10Sections[i++ % nsr10Sections.size()];
        benchmark::DoNotOptimize(in);
        const engine::RunOutcome outcome = engine::runDesign(in, engine::DesignCode::Nsr10);
        std::string report = engine::resultsReport(std::get<engine::DesignRun>(outcome), '.');
        benchmark::DoNotOptimize(report);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(nsr10DesignAndReport);

// All candidates for the tension steel of one design, and for its compression steel when it
// has some, cycling through the sections above.
void layoutCandidates(benchmark::State& state) {
    std::array<engine::nsr98::DesignResult, sections.size()> designs;
    for (std::size_t k = 0; k < sections.size(); ++k) {
        designs[k] = std::get<engine::nsr98::DesignResult>(engine::nsr98::design(sections[k]));
    }
    std::size_t i = 0;
    const engine::LayoutSettings settings;
    for (auto _ : state) {
        const std::size_t k = i++ % sections.size();
        const engine::DesignInput& in = sections[k];
        double area = designs[k].as;
        double areaPrime = designs[k].asPrime;
        benchmark::DoNotOptimize(area);
        benchmark::DoNotOptimize(areaPrime);
        auto tension = engine::findCandidates(area, engine::Face::Tension, settings, in.b, in.h);
        benchmark::DoNotOptimize(tension);
        auto compression =
            engine::findCandidates(areaPrime, engine::Face::Compression, settings, in.b, in.h);
        benchmark::DoNotOptimize(compression);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(layoutCandidates);

// One capacity check of a doubly reinforced section with two tension layers, alternating the
// code and the moment so that the solver never sees the same section twice in a row.
void capacityCheck(benchmark::State& state) {
    const std::array<engine::SteelLayer, 2> tension{{{24.57, 54.2, 3.23}, {10.2, 49.0, 2.54}}};
    const std::array<engine::SteelLayer, 1> compression{{{5.68, 6.0, 1.91}}};
    engine::CapacityInput in{
        engine::DesignCode::Nsr98, 30, 60, 280, 4200, 40, tension, compression};
    std::size_t i = 0;
    for (auto _ : state) {
        in.code = i % 2 == 0 ? engine::DesignCode::Nsr98 : engine::DesignCode::Nsr10;
        in.fc = 210 + 70 * static_cast<double>(i++ % 4);
        benchmark::DoNotOptimize(in);
        auto result = engine::checkCapacity(in);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(capacityCheck);

// A 10-span DES beam of 5.6 m clear spans designed and detailed: envelopes, the bar search,
// cut-offs, laps, the capacity at every 5 cm station, the stirrups for its gravity load of
// 4.5 Tn/m (about wu ln²/10 of its interior faces' Mu−) and the checks.
void BM_beam10(benchmark::State& state) {
    engine::beam::BeamInput in = beaminputs::tenSpans();
    for (engine::beam::Span& span : in.spans) span.wu = 4.5;
    for (auto _ : state) {
        auto design = engine::beam::designBeam(in);
        benchmark::DoNotOptimize(design);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_beam10);

}  // namespace

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>
#include <variant>

#include "engine/design.h"
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
        engine::DesignOutcome outcome = engine::design(in);
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
        const engine::DesignOutcome outcome = engine::design(in);
        std::string report = engine::resultsReport(std::get<engine::DesignResult>(outcome), '.');
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

}  // namespace

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>
#include <variant>

#include "engine/design.h"
#include "engine/report.h"

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

}  // namespace

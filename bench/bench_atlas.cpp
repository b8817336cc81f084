#include "gait/feasibility_grid.h"
#include "model/core_setup.h"

#include <benchmark/benchmark.h>

using namespace orva;

namespace {

// The default atlas, 18,432 steps, on one thread and on two: wall time, so that the two show
// how well the threads share the work.
void runDefaultAtlas(benchmark::State& state) {
    setupCore();
    const AtlasGrid grid = defaultAtlasGrid();
    const int threads = static_cast<int>(state.range(0));
    size_t points = 0;
    for (auto _ : state) {
        const std::vector<AtlasPoint> atlas = computeAtlas(grid, threads);
        points += atlas.size();
        benchmark::DoNotOptimize(atlas.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(points));
}

BENCHMARK(runDefaultAtlas)
    ->Name("atlas/default")
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

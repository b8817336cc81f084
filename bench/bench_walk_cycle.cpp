#include "shell/idle_pass.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

#include <benchmark/benchmark.h>

using namespace orva;

namespace {

// An ordinary idle pass: one simulation step in the middle of a step, with both pose queries.
void idlePassMidStep(benchmark::State& state) {
    startWalking();
    for (auto _ : state) {
        walkCycle.phase = 0;
        walkCycle.phaseClock = 0.1;
        benchmark::DoNotOptimize(idlePass());
    }
}
BENCHMARK(idlePassMidStep);

// The worst calls: the idle pass that ends a step, generates the next one and builds the blend.
// Argument: the gait mode in force; second argument: the mode requested in that call (-1: none).
void idlePassStepBoundary(benchmark::State& state) {
    startWalking();
    const int mode = static_cast<int>(state.range(0));
    const int requested = static_cast<int>(state.range(1));
    for (auto _ : state) {
        walkCycle.phase = 0;
        walkCycle.current = tableGait(mode);
        walkCycle.changeLatched = 0;
        walkCycle.phaseClock = walkCycle.segments[0].duration; // this call passes the duration
        gaitSelection.gaitChanged = requested >= 0;
        gaitSelection.gaitMode = requested >= 0 ? requested : mode;
        benchmark::DoNotOptimize(idlePass());
    }
}
BENCHMARK(idlePassStepBoundary)
    ->ArgsProduct({{0, 3, 8, 15}, {-1}})
    ->Args({0, 1})
    ->Args({3, 2})
    ->Args({0, 3})
    ->Args({4, 2})
    ->Args({0, 2})
    ->Args({2, 3})
    ->Unit(benchmark::kMicrosecond);

} // namespace

#include "shell/idle_pass.h"
#include "shell/lab.h"
#include "walking/walk_cycle.h"

#include "model/core_setup.h"

#include <benchmark/benchmark.h>
#include <chrono>

using namespace orva;

namespace {

// An ordinary idle pass: one simulation step in the middle of a step, with both pose queries.
void idlePassMidStep(benchmark::State& state) {
    Lab lab;
    startWalking(lab);
    for (auto _ : state) {
        lab.walker.phase = 0;
        lab.walker.phaseClock = 0.1;
        benchmark::DoNotOptimize(idlePass(lab));
    }
}
BENCHMARK(idlePassMidStep);

// The worst calls: the idle pass that ends a step, generates the next one and builds the blend.
// Argument: the gait mode in force; second argument: the mode requested in that call (-1: none).
void idlePassStepBoundary(benchmark::State& state) {
    Lab lab;
    startWalking(lab);
    const int mode = static_cast<int>(state.range(0));
    const int requested = static_cast<int>(state.range(1));
    for (auto _ : state) {
        lab.walker.phase = 0;
        lab.walker.current = tableGait(mode);
        lab.walker.changeLatched = 0;
        lab.walker.phaseClock = lab.walker.segments[0].duration; // this call passes the duration
        lab.gait.gaitChanged = requested >= 0;
        lab.gait.gaitMode = requested >= 0 ? requested : mode;
        benchmark::DoNotOptimize(idlePass(lab));
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

// The slowest boundary a change to a custom gait makes, among 2,000 random far targets from
// row 0: a direct change that fails and gaits part of the way tried in turn, at most
// maxBoundaryCalls generator calls.
void customChangeWorstBoundary(benchmark::State& state) {
    setupCore();
    WalkCycle w{};
    RobotState pose{};
    auto boundary = [&w, &pose](const GaitTarget& target) {
        simulationInit(w);
        w.phaseClock = w.segments[0].duration;
        simulationStep(w, pose, 1, target);
    };
    GaitTarget worst = tableGait(0);
    double worstSeconds = 0;
    unsigned seed = 7;
    for (int n = 0; n < 2000; ++n) {
        GaitTarget target{customGait, gaitTable.rows[0]};
        seed = seed * 1103515245u + 12345u;
        target.entry.backStep = target.entry.foreStep = 0.02 + 0.4 * ((seed >> 8) & 0xff) / 255;
        target.entry.meanSpeed = 0.03 + 0.6 * ((seed >> 16) & 0xff) / 255;
        const auto begin = std::chrono::steady_clock::now();
        boundary(target);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        if (seconds > worstSeconds) worstSeconds = seconds, worst = target;
    }
    for (auto _ : state) {
        state.PauseTiming();
        simulationInit(w);
        w.phaseClock = w.segments[0].duration;
        state.ResumeTiming();
        simulationStep(w, pose, 1, worst);
    }
    state.counters["calls"] = w.boundaryCalls;
    state.counters["length"] = worst.entry.backStep;
    state.counters["speed"] = worst.entry.meanSpeed;
}
BENCHMARK(customChangeWorstBoundary)->Unit(benchmark::kMillisecond);

} // namespace

#include "gait/consistency.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "model/gait_table.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace orva;

namespace {

void runGenerateStep(benchmark::State& state, GaitEntry entry) {
    TrajectorySegment seg;
    StepStats stats{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(generateStep(entry, seg, &stats));
        benchmark::ClobberMemory();
    }
    state.counters["outer"] = stats.outerPasses;
    state.counters["inner"] = stats.innerPasses;
}

// Every usable gait change in turn; the time per iteration is the mean over them.
void runAllUsableTransitions(benchmark::State& state, std::vector<GaitEntry> entries) {
    TrajectorySegment seg;
    for (auto _ : state)
        for (const GaitEntry& e : entries) {
            benchmark::DoNotOptimize(generateStep(e, seg));
            benchmark::ClobberMemory();
        }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
}

void runTorsoRateResidual(benchmark::State& state) {
    TrajectorySegment seg;
    generateStep(gaitTable.rows[0], seg);
    for (auto _ : state) {
        benchmark::DoNotOptimize(torsoRateResidual(seg.poly, seg.duration));
        benchmark::ClobberMemory();
    }
}

void runStepMomentumResidual(benchmark::State& state) {
    TrajectorySegment seg;
    generateStep(gaitTable.rows[0], seg);
    for (auto _ : state) {
        benchmark::DoNotOptimize(stepMomentumResidual(seg.poly, seg.duration));
        benchmark::ClobberMemory();
    }
}

// Registered before main: each row, each usable change (short runs, there are many), all
// usable changes together, one far change that runs into the bounds, and the two measures.
const bool registered = [] {
    setupCore();
    for (int mode = 0; mode < gaitModeCount; ++mode)
        benchmark::RegisterBenchmark(("generateStep/row:" + std::to_string(mode)).c_str(),
                                     runGenerateStep, gaitTable.rows[mode])
            ->Unit(benchmark::kMicrosecond);

    std::vector<GaitEntry> usable;
    for (int from = 0; from < gaitModeCount; ++from)
        for (int to = 0; to < gaitModeCount; ++to) {
            const GaitEntry e = transitionEntry(from, to);
            TrajectorySegment seg;
            if (!generateStep(e, seg)) continue;
            usable.push_back(e);
            if (from == to) continue;
            const std::string name =
                "generateStep/transition:" + std::to_string(from) + "to" + std::to_string(to);
            benchmark::RegisterBenchmark(name.c_str(), runGenerateStep, e)
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(0.05);
        }
    benchmark::RegisterBenchmark("generateStep/allUsableTransitions", runAllUsableTransitions,
                                 usable)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("generateStep/farChangeToBounds:0to2", runGenerateStep,
                                 transitionEntry(0, 2))
        ->Unit(benchmark::kMicrosecond);

    benchmark::RegisterBenchmark("torsoRateResidual", runTorsoRateResidual)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("stepMomentumResidual", runStepMomentumResidual)
        ->Unit(benchmark::kMicrosecond);
    return true;
}();

} // namespace

// The inverse dynamics of a step against the step's generation (generateStep/row:M, in
// bench_gait.cpp, the same run): the 101 samples of `orva-gait dynamics`, and the summary.
#include "gait/dynamics.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "model/gait_table.h"

#include <benchmark/benchmark.h>
#include <string>

using namespace orva;

namespace {

void runSampleDynamics(benchmark::State& state, int mode) {
    TrajectorySegment seg;
    generateStep(gaitTable.rows[mode], seg);
    DynamicsSample samples[101];
    for (auto _ : state) {
        sampleDynamics(seg, 101, samples);
        benchmark::DoNotOptimize(samples);
        benchmark::ClobberMemory();
    }
}

void runSummarizeDynamics(benchmark::State& state, int mode) {
    TrajectorySegment seg;
    generateStep(gaitTable.rows[mode], seg);
    const GaitEntry& e = gaitTable.rows[mode];
    for (auto _ : state) benchmark::DoNotOptimize(summarizeDynamics(seg, e.backStep + e.foreStep));
}

const bool registered = [] {
    setupCore();
    for (int mode : {0, 3, 12, 15}) {
        const std::string row = "/row:" + std::to_string(mode);
        benchmark::RegisterBenchmark(("sampleDynamics101" + row).c_str(), runSampleDynamics, mode)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("summarizeDynamics" + row).c_str(), runSummarizeDynamics,
                                     mode)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace

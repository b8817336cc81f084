// A step let loose against the step's generation, as a ratio measured in the same iterations:
// each iteration generates the step and lets it loose, timing both; the reported time is the
// let-loose one, and `ratio` is let loose over generation (the target is at most 10 with the
// ankle free). Also the torso and both free, for the record. Both are timed in the thread's CPU
// time, which other work on a shared machine disturbs less than the wall clock.
#include "gait/let_loose.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "model/gait_table.h"

#include <benchmark/benchmark.h>
#include <ctime>
#include <string>

using namespace orva;

namespace {

double threadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void runLetLoose(benchmark::State& state, int mode, FreeJoints free) {
    TrajectorySegment seg;
    double generating = 0, loose = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        benchmark::DoNotOptimize(generateStep(gaitTable.rows[mode], seg));
        benchmark::ClobberMemory();
        const double generated = threadSeconds();
        benchmark::DoNotOptimize(letLoose(seg, free));
        benchmark::ClobberMemory();
        const double seconds = threadSeconds() - generated;
        generating += generated - start;
        loose += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["ratio"] = loose / generating;
    state.counters["generateUs"] = 1e6 * generating / static_cast<double>(state.iterations());
}

const bool registered = [] {
    setupCore();
    for (int f = 0; f < 3; ++f)
        for (int mode : {0, 3, 12, 15}) {
            const std::string name =
                std::string("letLoose/") + freeJointsNames[f] + "/row:" + std::to_string(mode);
            benchmark::RegisterBenchmark(name.c_str(), runLetLoose, mode,
                                         static_cast<FreeJoints>(f))
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond);
        }
    return true;
}();

} // namespace

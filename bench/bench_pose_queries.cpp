#include "model/core_setup.h"
#include "model/pose_queries.h"

#include <benchmark/benchmark.h>

using namespace orva;

namespace {

void setUpOnce() {
    static bool ready = false;
    if (ready) return;
    setupCore();
    ready = true;
}

void poseQueries(benchmark::State& state) {
    setUpOnce();
    RobotState robot{};
    const double q[linkCount] = {1.4, 0.3, -0.2, -3.0, 0.4, 1.2};
    for (int i = 0; i < linkCount; ++i) robot.q[i] = q[i];
    double com[2];
    for (auto _ : state) {
        robot.q[0] += 1e-7;
        centreOfMass(robot, com);
        benchmark::DoNotOptimize(com);
        benchmark::DoNotOptimize(swingFootReach(robot));
    }
}
BENCHMARK(poseQueries);

} // namespace

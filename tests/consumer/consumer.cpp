// Walks a few idle calls from row 3 and prints the first step's duration.
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "walking/walk_cycle.h"

#include <cstdio>

int main() {
    orva::setupCore();
    orva::TrajectorySegment seg;
    if (!orva::generateStep(orva::gaitTable.rows[3], seg)) return 1;
    orva::WalkCycle walker;
    orva::simulationInit(walker, orva::tableGait(3));
    orva::RobotState state{};
    for (int i = 0; i < 200; ++i) orva::simulationStep(walker, state, 0, 3);
    std::printf("%.17g\n", seg.duration);
    return 0;
}

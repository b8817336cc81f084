#include "shell/idle_pass.h"

#include "shell/shell_state.h"
#include "walking/sine_table.h"
#include "walking/walk_cycle.h"

#include <algorithm>

namespace {

int idleStepCount = 0; // idle passes so far; every tenth asks for a redraw
constexpr int redrawEvery = 10;

constexpr int maxStepLength = 3, maxStepHeight = 1, maxStepSpeed = 1;

} // namespace

void setStartingPose(RobotState& state) {
    state = RobotState{};
    state.q[0] = 1.0;
    state.q[1] = 1.0;
    state.q[3] = 4.0;
    state.q[4] = 5.8;
    state.q[5] = 1.0;
}

void resetIdlePass() {
    idleStepCount = 0;
}

bool idlePass() {
    WalkerPlacement& place = walkerPlacement;
    const int flag = simulationStep(robotState, gaitSelection.gaitChanged, gaitSelection.gaitMode);
    gaitSelection.gaitChanged = 0;
    if (flag != place.supportLeg) {
        // The foot that was swinging is the new stance foot; it stood swingReach ahead.
        place.hipHalfWidth = -place.hipHalfWidth;
        place.stanceArc += place.swingReach;
    }
    centreOfMass(robotState, place.comOffset);
    cameraState.eyeX = cameraState.eyeXPending;
    place.supportLeg = flag;
    place.swingReach = swingFootReach(robotState);
    ++idleStepCount;
    return idleStepCount % redrawEvery == 0;
}

void onKey(unsigned char key, int, int) {
    GaitSelection& g = gaitSelection;
    switch (key) {
    case 'x':
        g.stepLength = std::min(g.stepLength + 1, maxStepLength);
        g.gaitChanged = 1;
        break;
    case 'w':
        g.stepLength = std::max(g.stepLength - 1, 0);
        g.gaitChanged = 1;
        break;
    case 's':
        g.stepHeight = std::min(g.stepHeight + 1, maxStepHeight);
        g.gaitChanged = 1;
        break;
    case 'q':
        g.stepHeight = std::max(g.stepHeight - 1, 0);
        g.gaitChanged = 1;
        break;
    case 'z':
        g.stepSpeed = std::min(g.stepSpeed + 1, maxStepSpeed);
        g.gaitChanged = 1;
        break;
    case 'a':
        g.stepSpeed = std::max(g.stepSpeed - 1, 0);
        g.gaitChanged = 1;
        break;
    default:
        break;
    }
    g.gaitMode = g.stepLength + 4 * g.stepHeight + 8 * g.stepSpeed;
}

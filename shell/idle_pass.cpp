#include "shell/idle_pass.h"

#include "model/pose_queries.h"
#include "shell/shell_state.h"
#include "shell/walk_stats.h"
#include "walking/walk_cycle.h"

#include <algorithm>

using namespace orva;

namespace {

int idleStepCount = 0; // idle passes so far; every tenth asks for a redraw
constexpr int redrawEvery = 10;

struct GaitKey {
    unsigned char key;
    int GaitSelection::*level;
    int change;
    int top; // highest level; the lowest is 0
};

const GaitKey gaitKeys[] = {
    {'x', &GaitSelection::stepLength, +1, 3}, {'w', &GaitSelection::stepLength, -1, 3},
    {'s', &GaitSelection::stepHeight, +1, 1}, {'q', &GaitSelection::stepHeight, -1, 1},
    {'z', &GaitSelection::stepSpeed, +1, 1},  {'a', &GaitSelection::stepSpeed, -1, 1},
};

} // namespace

void setStartingPose(RobotState& state) {
    state = RobotState{};
    state.q[0] = 1.0;
    state.q[1] = 1.0;
    state.q[3] = 4.0;
    state.q[4] = 5.8;
    state.q[5] = 1.0;
}

int gaitRequest() {
    // A key pressed while another change waited was dropped by the cycle: ask again once it is
    // free, until it walks the mode the keys show.
    const bool behind =
        walkCycle.changeLatched == 0 && walkCycle.currentMode != gaitSelection.gaitMode;
    return gaitSelection.gaitChanged == 1 || behind ? 1 : 0;
}

void startWalking(int startMode) {
    resetShellState();
    GaitSelection& g = gaitSelection;
    g.stepLength = startMode % 4;
    g.stepHeight = startMode / 4 % 2;
    g.stepSpeed = startMode / 8;
    g.gaitMode = startMode;
    idleStepCount = 0;
    walkStats = WalkStats{};
    walkStats.stepFrom = walkStats.stepTo = walkStats.lastMode = startMode;
    setStartingPose(robotState);
    simulationInit(startMode);
}

bool idlePass() {
    WalkerPlacement& place = walkerPlacement;
    const int flag = simulationStep(robotState, gaitRequest(), gaitSelection.gaitMode);
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

bool runIdlePlan(const IdlePlan& plan, void (*afterIncrement)()) {
    bool redraw = plan.redraw;
    for (int i = 0; i < plan.increments; ++i) {
        if (idlePass() && plan.redrawEveryTenth) redraw = true;
        noteIncrement(walkStats);
        if (afterIncrement) afterIncrement();
    }
    return redraw;
}

void onKey(unsigned char key, int, int) {
    GaitSelection& g = gaitSelection;
    for (const GaitKey& k : gaitKeys) {
        if (k.key != key) continue;
        int& level = g.*k.level;
        level = std::clamp(level + k.change, 0, k.top);
        g.gaitChanged = 1; // also when the level was already at its bound
    }
    g.gaitMode = g.stepLength + 4 * g.stepHeight + 8 * g.stepSpeed;
}

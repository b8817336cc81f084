#include "shell/idle_pass.h"

#include "model/core_setup.h"
#include "model/pose_queries.h"
#include "shell/dynamics_history.h"
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

GaitTarget selectedGait() {
    const GaitSelection& g = gaitSelection;
    return g.custom ? GaitTarget{customGait, g.customEntry} : tableGait(g.gaitMode);
}

void selectGait(const GaitTarget& target) {
    GaitSelection& g = gaitSelection;
    g.custom = target.mode == customGait;
    if (g.custom) {
        g.customEntry = target.entry;
    } else {
        const GaitLevels levels = gaitLevels(target.mode);
        g.stepLength = levels.length;
        g.stepHeight = levels.height;
        g.stepSpeed = levels.speed;
        g.gaitMode = target.mode;
    }
    g.gaitChanged = 1;
}

int gaitRequest() {
    // A key pressed while another change waited was dropped by the cycle: ask again once it is
    // free, until it walks the gait selected.
    const bool behind =
        walkCycle.changeLatched == 0 && !sameGait(walkCycle.current, selectedGait());
    return gaitSelection.gaitChanged == 1 || behind ? 1 : 0;
}

void startWalking() {
    setupCore();
    startWalking(tableGait(0));
}

void startWalking(const GaitTarget& start) {
    resetShellState();
    idleStepCount = 0;
    walkStats = WalkStats{};
    dynamicsHistory = DynamicsHistory{};
    walkStats.stepFrom = walkStats.stepTo = walkStats.lastMode = start.mode;
    setStartingPose(robotState);
    simulationInit(walkCycle, start);
    selectGait(start);
    gaitSelection.gaitChanged = 0;
}

bool idlePass() {
    WalkerPlacement& place = walkerPlacement;
    const int flag = simulationStep(walkCycle, robotState, gaitRequest(), selectedGait());
    gaitSelection.gaitChanged = 0;
    if (walkCycle.refusals != gaitSelection.refusalsSeen) {
        // No usable step leads to the gait selected: select the one walked, so that it is not
        // asked for again at every boundary.
        gaitSelection.refusalsSeen = walkCycle.refusals;
        selectGait(walkCycle.current);
        gaitSelection.gaitChanged = 0;
    }
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
        noteDynamics(dynamicsHistory);
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
        g.custom = false;
    }
    g.gaitMode = gaitMode({g.stepLength, g.stepHeight, g.stepSpeed});
}

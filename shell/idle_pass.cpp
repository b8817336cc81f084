#include "shell/idle_pass.h"

#include "model/core_setup.h"
#include "model/pose_queries.h"
#include "walking/walk_cycle.h"

#include <algorithm>

using namespace orva;

namespace {

constexpr int redrawEvery = 10;

} // namespace

const GaitKey gaitKeys[gaitKeyCount] = {
    {'w', &GaitSelection::stepLength, -1, 3, "decrease step length"},
    {'x', &GaitSelection::stepLength, +1, 3, "increase step length"},
    {'q', &GaitSelection::stepHeight, -1, 1, "decrease step height"},
    {'s', &GaitSelection::stepHeight, +1, 1, "increase step height"},
    {'a', &GaitSelection::stepSpeed, -1, 1, "decrease step speed"},
    {'z', &GaitSelection::stepSpeed, +1, 1, "increase step speed"},
};

std::string gaitKeyCharacters() {
    std::string keys;
    for (const GaitKey& k : gaitKeys) keys += static_cast<char>(k.key);
    return keys;
}

const GaitKey* findGaitKey(unsigned char key) {
    for (const GaitKey& k : gaitKeys)
        if (k.key == key) return &k;
    return nullptr;
}

const GaitKey& findGaitKey(int GaitSelection::*level, int change) {
    const GaitKey* found = gaitKeys;
    for (const GaitKey& k : gaitKeys)
        if (k.level == level && k.change == change) found = &k;
    return *found;
}

void setStartingPose(RobotState& state) {
    state = RobotState{};
    state.q[0] = 1.0;
    state.q[1] = 1.0;
    state.q[3] = 4.0;
    state.q[4] = 5.8;
    state.q[5] = 1.0;
}

std::string gaitLabel(int mode) {
    return mode == customGait ? "custom" : "mode " + std::to_string(mode);
}

GaitTarget selectedGait(const GaitSelection& g) {
    return g.custom ? GaitTarget{customGait, g.customEntry} : tableGait(g.gaitMode);
}

void selectGait(GaitSelection& g, const GaitTarget& target) {
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

int gaitRequest(const GaitSelection& gait, const WalkCycle& walker) {
    // A key pressed while another change waited was dropped by the cycle: ask again once it is
    // free, until it walks the gait selected.
    const bool behind = walker.changeLatched == 0 && !sameGait(walker.current, selectedGait(gait));
    return gait.gaitChanged == 1 || behind ? 1 : 0;
}

void startWalking(Lab& lab) {
    setupCore();
    startWalking(lab, tableGait(0));
}

void startWalking(Lab& lab, const GaitTarget& start) {
    lab.window = WindowState{};
    lab.placement = WalkerPlacement{};
    lab.gait = GaitSelection{};
    lab.camera = CameraState{};
    lab.idlePasses = 0;
    lab.stats = WalkStats{};
    lab.dynamics = DynamicsHistory{};
    lab.ghost = Ghost{};
    lab.stats.stepFrom = lab.stats.stepTo = lab.stats.lastMode = start.mode;
    setStartingPose(lab.robot);
    simulationInit(lab.walker, start);
    selectGait(lab.gait, start);
    lab.gait.gaitChanged = 0;
}

bool idlePass(Lab& lab) {
    WalkerPlacement& place = lab.placement;
    GaitSelection& gait = lab.gait;
    const int flag =
        simulationStep(lab.walker, lab.robot, gaitRequest(gait, lab.walker), selectedGait(gait));
    gait.gaitChanged = 0;
    if (lab.walker.refusals != gait.refusalsSeen) {
        // No usable step leads to the gait selected: select the one walked, so that it is not
        // asked for again at every boundary.
        gait.refusalsSeen = lab.walker.refusals;
        selectGait(gait, lab.walker.current);
        gait.gaitChanged = 0;
    }
    if (flag != place.supportLeg) {
        // The foot that was swinging is the new stance foot; it stood swingReach ahead.
        place.hipHalfWidth = -place.hipHalfWidth;
        place.stanceArc += place.swingReach;
    }
    centreOfMass(lab.robot, place.comOffset);
    lab.camera.eyeX = lab.camera.eyeXPending;
    place.supportLeg = flag;
    place.swingReach = swingFootReach(lab.robot);
    ++lab.idlePasses;
    return lab.idlePasses % redrawEvery == 0;
}

bool runIdlePlan(Lab& lab, const IdlePlan& plan, const std::function<bool()>& stopAfter) {
    bool redraw = plan.redraw;
    for (int i = 0; i < plan.increments; ++i) {
        if (idlePass(lab) && plan.redrawEveryTenth) redraw = true;
        noteIncrement(lab.stats, lab.placement, lab.walker, lab.robot);
        noteDynamics(lab.dynamics, lab.walker);
        noteGhost(lab.ghost, lab.walker);
        if (stopAfter && stopAfter()) {
            giveBackIncrements(lab.pacing, plan.increments - i - 1);
            return true;
        }
    }
    return redraw;
}

bool pressGaitKey(GaitSelection& g, unsigned char key) {
    const GaitKey* k = findGaitKey(key);
    if (k) {
        int& level = g.*k->level;
        level = std::clamp(level + k->change, 0, k->top);
        g.gaitChanged = 1; // also when the level was already at its bound
        g.custom = false;
    }
    g.gaitMode = gaitMode({g.stepLength, g.stepHeight, g.stepSpeed});
    return k != nullptr;
}

#include "shell/ghost.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace orva;

namespace {

bool isStep(int phase) {
    return phase >= 0 && phase % 2 == 0;
}

// Brings the ghost to the pose last shown: a step new to it is let loose from its start. The
// segment shown is still the walker's: a step boundary rewrites only the others.
void follow(Ghost& g, const WalkCycle& walker) {
    g.inStep = false;
    if (!g.shown) {
        g.stepPhase = -1;
        return;
    }
    if (!isStep(g.shownPhase)) return;
    if (g.shownPhase != g.stepPhase) {
        g.stepPhase = g.shownPhase;
        g.seg = walker.segments[g.shownPhase];
        g.state = looseStart;
    }
    advanceLoose(g.seg, g.free, g.state, std::min(g.shownClock, g.seg.duration));
    g.motion = looseMotion(g.seg, g.free, g.state);
    g.inStep = true;
}

} // namespace

void noteGhost(Ghost& g, const WalkCycle& walker) {
    // The pose of this pass came from the segment and clock the cycle held after the last one.
    g.shownPhase = g.phase;
    g.shownClock = g.clock;
    g.phase = walker.phase;
    g.clock = walker.phaseClock;
    follow(g, walker);
    if (!g.shown) return;
    const LinkMotion p = linkMotionAt(walker.segments[g.shownPhase], g.shownClock);
    const float none = std::numeric_limits<float>::quiet_NaN();
    const int at = g.next;
    const double* theta = g.motion.theta;
    g.ankle[at] = g.inStep ? static_cast<float>(theta[0]) : none;
    g.torso[at] = g.inStep ? static_cast<float>(theta[2] - theta[1]) : none;
    g.planAnkle[at] = static_cast<float>(p.theta[0]);
    g.planTorso[at] = static_cast<float>(p.theta[2] - p.theta[1]);
    g.next = (at + 1) % historyLength;
    if (g.count < historyLength) ++g.count;
}

void showGhost(Ghost& g, const WalkCycle& walker, bool shown) {
    g.shown = shown;
    follow(g, walker);
}

void setGhostFree(Ghost& g, const WalkCycle& walker, FreeJoints free) {
    if (free == g.free) return;
    g.free = free;
    g.stepPhase = -1;
    follow(g, walker);
}

bool ghostDrawn(const Ghost& g) {
    return g.shown && g.inStep;
}

RobotState ghostPose(const Ghost& g) {
    LinkAngles a{};
    std::copy(g.motion.theta, g.motion.theta + modelLinkCount, a.theta);
    RobotState pose{};
    toJointCoords(a, pose.q);
    return pose;
}

#include "shell/ghost.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace orva;

namespace {

bool isStep(int phase) {
    return phase % 2 == 0;
}

} // namespace

void noteGhost(Ghost& g, const WalkCycle& walker) {
    // The pose of this pass came from the segment and clock the cycle held after the last one;
    // a step boundary since then rewrote only the other segments.
    const int phase = g.phase;
    const double clock = g.clock;
    g.phase = walker.phase;
    g.clock = walker.phaseClock;
    g.inStep = false;
    if (!g.shown) {
        g.stepPhase = -1;
        return;
    }
    const TrajectorySegment& plan = walker.segments[phase];
    const bool step = isStep(phase);
    if (step && phase != g.stepPhase) {
        g.stepPhase = phase;
        g.seg = plan;
        g.state = looseStart;
    }
    if (step) {
        advanceLoose(g.seg, g.free, g.state, std::min(clock, g.seg.duration));
        g.motion = looseMotion(g.seg, g.free, g.state);
        g.inStep = true;
    }
    const LinkMotion p = linkMotionAt(plan, clock);
    const float none = std::numeric_limits<float>::quiet_NaN();
    const int at = g.next;
    const double* theta = g.motion.theta;
    g.ankle[at] = step ? static_cast<float>(theta[0]) : none;
    g.torso[at] = step ? static_cast<float>(theta[2] - theta[1]) : none;
    g.planAnkle[at] = static_cast<float>(p.theta[0]);
    g.planTorso[at] = static_cast<float>(p.theta[2] - p.theta[1]);
    g.next = (at + 1) % historyLength;
    if (g.count < historyLength) ++g.count;
}

void setGhostFree(Ghost& g, FreeJoints free) {
    if (free == g.free) return;
    g.free = free;
    if (g.stepPhase < 0) return;
    const double reached = g.state.t;
    g.state = looseStart;
    advanceLoose(g.seg, g.free, g.state, reached);
    g.motion = looseMotion(g.seg, g.free, g.state);
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

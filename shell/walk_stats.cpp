#include "shell/walk_stats.h"

#include <cmath>

#include "model/constants.h"
#include "model/gait_table.h"
#include "walking/walk_cycle.h"

using namespace orva;

namespace {

constexpr double rateSpan = 0.5; // wall s over which the rates are measured

void record(float ring[historyLength], int at, double value) {
    ring[at] = static_cast<float>(value);
}

} // namespace

void noteIncrement(WalkStats& s, const WalkerPlacement& place, const WalkCycle& cycle,
                   const RobotState& robot) {
    // The centre of mass carried along the path: continuous across a change of support.
    const double distance = place.stanceArc + place.comOffset[0];
    const double speed = s.increments > 0 ? (distance - s.distance) / phaseIncrement : 0.0;
    ++s.increments;
    s.distance = distance;

    if (place.supportLeg != s.lastSupport) {
        if (s.steps > 0) {
            const double phase = (s.increments - s.stepStartIncrement) * phaseIncrement;
            s.stepSpeed = (distance - s.stepStartDistance) / phase;
        }
        ++s.steps;
        s.stepStartDistance = distance;
        s.stepStartIncrement = s.increments;
    }
    // A step segment ended: the generator made the next step, perhaps through a change.
    if (cycle.phase != s.lastPhase && isBlendPhase(cycle.phase)) {
        s.stepFrom = s.lastMode;
        s.stepTo = cycle.current.mode;
        s.byLevel = cycle.changeLatched == 1; // still latched: a gait part of the way
    }
    s.lastPhase = cycle.phase;
    s.lastMode = cycle.current.mode;
    s.lastSupport = place.supportLeg;

    const int at = s.historyNext;
    for (int i = 0; i < modelLinkCount; ++i) record(s.joint[i], at, robot.q[i]);
    record(s.comHeight, at, place.comOffset[1]);
    record(s.forwardSpeed, at, speed);
    s.historyNext = (at + 1) % historyLength;
}

void noteFrame(WalkStats& s) {
    ++s.frames;
}

void updateRates(WalkStats& s, double wallSeconds) {
    const double span = wallSeconds - s.rateSince;
    if (s.rateSince >= 0 && span < rateSpan) return;
    if (s.rateSince >= 0) {
        s.realTimeFactor = (s.increments - s.incrementsAtRate) * phaseIncrement / span;
        s.framesPerSecond = (s.frames - s.framesAtRate) / span;
    }
    s.rateSince = wallSeconds;
    s.incrementsAtRate = s.increments;
    s.framesAtRate = s.frames;
}

int laps(const WalkStats& s, double pathRadius) {
    return static_cast<int>(std::floor(s.distance / (2 * pi * pathRadius)));
}

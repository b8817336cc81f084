#include "shell/pacing.h"

#include "walking/walk_cycle.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

const int maxIncrementsPerCall = static_cast<int>(maxPhasePerCall / orva::phaseIncrement);

// Increments the clock owes at now and that have not run, with their fraction.
double owed(const PacingState& p, double now) {
    const double elapsed = p.paused ? 0.0 : now - p.anchorWall;
    return p.owedAtAnchor + speedFactor(p) * elapsed / orva::phaseIncrement -
           static_cast<double>(p.doneSinceAnchor);
}

void restartClock(PacingState& p, double now, double owedNow) {
    p.anchorWall = now;
    p.owedAtAnchor = owedNow;
    p.doneSinceAnchor = 0;
}

} // namespace

double speedFactor(const PacingState& pacing) {
    return std::ldexp(1.0, pacing.speedLevel);
}

void togglePacing(PacingState& pacing, double now) {
    pacing.paced = !pacing.paced;
    restartClock(pacing, now, 0.0);
    pacing.frameOwed = false;
}

void togglePause(PacingState& pacing, double now) {
    restartClock(pacing, now, owed(pacing, now));
    pacing.paused = !pacing.paused;
    pacing.stepWanted = false;
}

void changeSpeed(PacingState& pacing, int levels, double now) {
    restartClock(pacing, now, owed(pacing, now));
    pacing.speedLevel = std::clamp(pacing.speedLevel + levels, minSpeedLevel, maxSpeedLevel);
}

void requestStep(PacingState& pacing) {
    if (pacing.paused) pacing.stepWanted = true;
}

IdlePlan planIdle(PacingState& p, double now) {
    if (p.paused) {
        if (!p.stepWanted) return {0, false, false, longestWait};
        p.stepWanted = false;
        return {1, false, true, 0.0};
    }
    if (!p.paced) return {1, true, false, 0.0};

    IdlePlan plan{0, false, false, 0.0};
    const double due = std::floor(owed(p, now));
    if (due >= 1) {
        plan.increments = static_cast<int>(std::min(due, double(maxIncrementsPerCall)));
        p.doneSinceAnchor += plan.increments;
        // After a stall the rest is dropped; the fraction of the next increment stays.
        if (due > maxIncrementsPerCall)
            restartClock(p, now, owed(p, now) - (due - plan.increments));
        p.frameOwed = true;
    }
    if (p.frameOwed && now - p.lastFrameWall >= framePeriod) {
        p.frameOwed = false;
        p.lastFrameWall = now;
        plan.redraw = true; // drawn as soon as this call returns: no waiting
        return plan;
    }
    const double fraction = owed(p, now);
    double wait = (1.0 - fraction) * orva::phaseIncrement / speedFactor(p);
    if (p.frameOwed) wait = std::min(wait, p.lastFrameWall + framePeriod - now);
    plan.waitSeconds = std::clamp(wait, 0.0, longestWait);
    return plan;
}

void giveBackIncrements(PacingState& p, int increments) {
    if (p.paced) p.doneSinceAnchor -= increments;
}

double wallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

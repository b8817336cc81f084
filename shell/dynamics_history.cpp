#include "shell/dynamics_history.h"

#include "walking/walk_cycle.h"

#include <cmath>
#include <cstring>

using namespace orva;

void noteDynamics(DynamicsHistory& h, const WalkCycle& walker) {
    // The pose of this pass came from the segment and clock the cycle held after the last one;
    // a step boundary since then rewrote only the other segments.
    const DynamicsSample d = dynamicsAt(walker.segments[h.phase], h.clock);
    const int at = h.next;
    for (int k = 0; k < modelLinkCount; ++k) h.tau[k][at] = static_cast<float>(d.tau[k]);
    h.fx[at] = static_cast<float>(d.fx);
    h.fy[at] = static_cast<float>(d.fy);
    h.cop[at] = static_cast<float>(d.cop);
    h.friction[at] = static_cast<float>(d.friction);
    h.blend[at] = isBlendPhase(h.phase);
    h.latest = d;
    h.latestPhase = h.phase;
    h.latestClock = h.clock;
    h.next = (at + 1) % historyLength;
    if (h.count < historyLength) ++h.count;
    h.phase = walker.phase;
    h.clock = walker.phaseClock;
}

DynamicsWarnings dynamicsWarnings(const DynamicsSample& d) {
    const bool pulls = !(d.fy > 0);
    return {!pulls && (d.cop < footHeel || d.cop > footToe), !pulls && d.friction > frictionLimit,
            pulls};
}

const StepDynamics& currentStepDynamics(StepDynamics& cache, const WalkCycle& walker,
                                        const WalkStats& stats) {
    const int phase = walker.phase;
    const TrajectorySegment& seg = walker.segments[stepSegmentOf(phase)];
    const double length = stepLength(walker.stepEntry);
    if (std::memcmp(&seg, &cache.seg, sizeof seg) == 0 && length == cache.stepLength) return cache;
    cache.seg = seg;
    cache.stepLength = length;
    cache.from = stats.stepFrom;
    cache.to = stats.stepTo;
    cache.summary = summarizeDynamics(seg, length);
    return cache;
}

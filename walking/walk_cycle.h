// The four-phase walking cycle: step on one leg, blend, step on the other leg, blend.
// Each idle call of the shell advances it by one fixed increment of phase time.
//
// Offers: isBlendPhase, stepSegmentOf, GaitTarget, customGait, tableGait, sameGait, WalkCycle (a
// walker: the cycle, its four segments and its gait), timeStep, timeScale, phaseIncrement,
// maxBoundaryCalls, simulationInit, simulationStep, buildBlend, evalPose, evalPolyRates,
// evalPolyAccels.
//
// Segment 0 is a step on support 0, 1 the blend after it, 2 a step on support 1, 3 the blend
// after it. A blend belongs to the support of the step that follows it: the support flag is
// 1 in phases 1 and 2 and 0 in phases 3 and 0, so it changes on the first call of a blend,
// when the foot that just landed takes the load.
//
// Gait changes between two table rows go as the keys have always made them: one transition
// step, or one step-length level per step when that fails. A change that involves any other
// gait goes through gaits part of the way there (half, a quarter, an eighth of the distance in
// every field) when no one step reaches it, each a usable step from the gait before; when none
// is, the walker keeps its gait and counts a refusal.
#pragma once

#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/gait_table.h"

namespace orva {

constexpr double timeStep = 5e-05;
constexpr double timeScale = 150;
// Phase time one simulationStep advances the clock by, s.
constexpr double phaseIncrement = timeStep * timeScale;
constexpr int segmentCount = 4;
// Most generator calls one step boundary makes: a direct change, three part-way gaits (their
// transition and their own step each) and the step of the gait kept.
constexpr int maxBoundaryCalls = 8;

// Whether the segment of a phase is a blend: phases 1 and 3.
constexpr bool isBlendPhase(int phase) {
    return phase % 2 == 1;
}
// The segment that holds the current step in a phase: a blend belongs to the step after it, so
// phases 1 and 2 show segment 2's step, phases 3 and 0 segment 0's.
constexpr int stepSegmentOf(int phase) {
    return phase == 1 || phase == 2 ? 2 : 0;
}

// The mode of a gait that is no row of the table.
constexpr int customGait = -1;

// A gait to walk: a table row (mode 0..15, entry equal to that row) or any other gait entry
// (mode customGait).
struct GaitTarget {
    int mode;
    GaitEntry entry;
};

// Row mode of the table as a target.
GaitTarget tableGait(int mode);
// The same row, or for custom gaits the same entry, field for field.
bool sameGait(const GaitTarget& a, const GaitTarget& b);

struct WalkCycle {
    int phase;           // 0..3, index of the segment being replayed
    double phaseClock;   // time since the current segment began, s
    int supportFlag;     // support leg of the pose written last, 0 or 1
    GaitTarget current;  // the gait that generates the next step
    GaitTarget pending;  // latched requested gait
    int changeLatched;   // 1 while a change waits for the next step boundary
    int refusals;        // changes to a custom gait given up: no usable step led towards it
    int boundaryCalls;   // generator calls at the last step boundary
    StepStats stepStats; // the generator's passes for the step generated last
    GaitEntry stepEntry; // the gait entry that step was generated from
    TrajectorySegment segments[segmentCount];
};

// Sets the core up (setupCore), returns the cycle to its start and generates all four segments
// from row 0.
void simulationInit(WalkCycle& w);
// The same from start (which must give a usable step), the core already set up.
void simulationInit(WalkCycle& w, const GaitTarget& start);

// Writes the pose of the current segment at its clock into state.q, advances the clock and
// handles the step boundaries and the gait latch: with modeRequest 1 and no change waiting,
// requested is latched (a custom gait only if it gives a usable step of its own, else it
// counts as a refusal). Returns the support flag.
int simulationStep(WalkCycle& w, RobotState& state, int modeRequest, const GaitTarget& requested);
// The same with a table row requested.
int simulationStep(WalkCycle& w, RobotState& state, int modeRequest, int requestedMode);

// Quintic blend of duration T from the touch-down state (joint pose q, joint rates and
// accelerations) to the start of next. The touch-down state is seen from the foot that just
// landed: blend link k starts from touch-down link 4 - k.
void buildBlend(double T, TrajectorySegment& blend, const TrajectorySegment& next,
                const double q[linkCount], const double rates[linkCount],
                const double accels[linkCount]);

// The five polynomials as link angles at t (theta5 = 0).
LinkAngles evalPose(const TrajectorySegment& seg, double t);
// First and second time derivatives of the five polynomials at t, in joint-rate form.
void evalPolyRates(const TrajectorySegment& seg, double t, double jointRates[linkCount]);
void evalPolyAccels(const TrajectorySegment& seg, double t, double jointAccels[linkCount]);

} // namespace orva

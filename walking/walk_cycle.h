// The four-phase walking cycle: step on one leg, blend, step on the other leg, blend.
// Each idle call of the shell advances it by one fixed increment of phase time.
//
// Offers: WalkCycle and its instance walkCycle, the four segments, timeStep, timeScale,
// phaseIncrement, simulationInit, simulationStep, buildBlend, evalPose, evalPolyRates,
// evalPolyAccels.
//
// Segment 0 is a step on support 0, 1 the blend after it, 2 a step on support 1, 3 the blend
// after it. A blend belongs to the support of the step that follows it: the support flag is
// 1 in phases 1 and 2 and 0 in phases 3 and 0, so it changes on the first call of a blend,
// when the foot that just landed takes the load.
#pragma once

#include "model/body_model.h"
#include "model/gait_table.h"

namespace orva {

constexpr double timeStep = 5e-05;
constexpr double timeScale = 150;
// Phase time one simulationStep advances the clock by, s.
constexpr double phaseIncrement = timeStep * timeScale;
constexpr int segmentCount = 4;

struct WalkCycle {
    int phase;         // 0..3, index of the segment being replayed
    double phaseClock; // time since the current segment began, s
    int supportFlag;   // support leg of the pose written last, 0 or 1
    int currentMode;   // gait mode whose row generates the next step
    int pendingMode;   // latched requested gait mode
    int changeLatched; // 1 while a mode change waits for the next step boundary
};

extern WalkCycle walkCycle;
extern TrajectorySegment segments[segmentCount];

// Builds the sine table, the body constants and the gait table, and generates all four
// segments from row startMode (0 at the program's start). Also returns the cycle to its start.
void simulationInit(int startMode = 0);

// Writes the pose of the current segment at its clock into state.q, advances the clock and
// handles the step boundaries and the gait latch. Returns the support flag.
int simulationStep(RobotState& state, int modeRequest, int requestedMode);

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

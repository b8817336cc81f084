// The step generator: turns one gait-table row into one single-support step, five
// link-angle polynomials consistent with a free-pivot stance ankle and a passive torso.
//
// Offers: StepStats, maxOuterPasses, maxInnerPasses, generateStep, legIK, legRates, legAccels.
#pragma once

#include "walking/gait_table.h"

// Bounds of the two iterations. Every table row and every one-level gait change ends within
// 5 outer and 17 inner passes; far changes of step length never end or go undefined.
constexpr int maxOuterPasses = 40;  // evaluations of the momentum residual in one call
constexpr int maxInnerPasses = 200; // torso-rate fixed-point passes in one call, all outer passes

struct StepStats {
    int outerPasses; // evaluations of stepMomentumResidual in the call
    int innerPasses; // torso-rate fixed-point passes, summed over all outer passes
};

// Writes seg (durations first, then all five polynomials). Returns true when the step is
// usable: both iterations ended within their bounds and the durations and every coefficient
// are finite. stats, when given, receives the pass counts.
bool generateStep(const GaitEntry& entry, TrajectorySegment& seg, StepStats* stats = nullptr);

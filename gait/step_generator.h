// The step generator: turns one gait-table row into one single-support step, five
// link-angle polynomials consistent with a free-pivot stance ankle and a passive torso.
// Reads generatorConstants and modelCoefficients, constants of the body model.
//
// Offers: maxOuterPasses, maxInnerPasses, StepStats, generateStep, givesUsableStep; LegPair, legIK,
// legRates, legAccels (a leg's inverse kinematics, from its foot up to the hip).
#pragma once

#include "model/gait_table.h"

namespace orva {

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
// Whether the gait gives a usable step of its own: what every place that accepts a gait from
// outside (an option, the explorer, a requested change) asks first.
bool givesUsableStep(const GaitEntry& entry);

// Thigh and shank values of one leg: angles (rad), rates (rad/s) or accelerations (rad/s^2).
struct LegPair {
    double thigh;
    double shank;
};

// Leg angles that put the hip at (X, Y) from the foot, knee ahead of the foot-hip line.
// Out of reach gives NaN.
LegPair legIK(double X, double Y);
// Leg rates for the hip velocity (VX, VY) relative to the foot.
LegPair legRates(const LegPair& pose, double VX, double VY);
// Leg accelerations for the hip acceleration (AX, AY) relative to the foot.
LegPair legAccels(const LegPair& pose, const LegPair& rates, double AX, double AY);

} // namespace orva

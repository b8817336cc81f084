// The two integral measures of a candidate step that drive the step generator's iterations.
// Both sample the step's five link-angle polynomials at 100 instants 0, 0.01 T, ..., 0.99 T
// and integrate with pairRule, which covers the stretch from 0.01 T to 0.99 T.
//
// Offers: consistencySamples, sampleSpacing, pairRuleNear, pairRuleFar, pairRule,
// samplePowerCount, StepSamples, sampleStep, torsoRateResidual, stepMomentumResidual (each from
// the polynomials, or from samples already taken, so that the generator samples a candidate
// once for both).
#pragma once

#include "gait/poly_fit.h"
#include "model/gait_table.h"

#include <limits>

namespace orva {

constexpr int consistencySamples = 100;
// Time between two samples of a step of duration T, s: T / consistencySamples, written as the
// product both measures are defined with.
inline double sampleSpacing(double T) {
    return 0.01 * T;
}
// Weights of the two-interval rule: they sum to 2, so a constant is integrated exactly.
constexpr double pairRuleNear = 0.3584;
constexpr double pairRuleFar = 1.2832;

// Integral of the sampled f over samples 1..99 with step dt: I[99] of
// I[k+2] = I[k] + dt (near (f[k] + f[k+2]) + far f[k+1]), I[0] = I[1] = 0.
double pairRule(const double f[consistencySamples], double dt);

constexpr int samplePowerCount = evalHighestPower + 1; // t^0 up to evalPoly's highest power

// What both measures read from one step, at the instants t_k = k sampleSpacing(T).
struct StepSamples {
    double X[consistencySamples];  // centre-of-mass abscissa, m
    double Gp[consistencySamples]; // momentum about the stance ankle without the torso, kg m^2/s
    double H0;                     // whole momentum about the stance ankle at t = 0, kg m^2/s
    double s2Start;                // torso momentum weight at t = 0, kg m^2
    // Powers t_k^j of the sample times for the duration powersFor, built as evalPoly builds
    // them. Every candidate of one step shares its duration, so they are built once per step.
    double powersFor = std::numeric_limits<double>::quiet_NaN(); // s
    double power[samplePowerCount][consistencySamples];
};

// Fills out from the step's polynomials; reuses its powers when T is the one they were built for.
void sampleStep(const JointPolynomial poly[modelLinkCount], double T, StepSamples& out);

// r such that a torso rate of -r / (T + blendDuration) balances the step's momentum; rad.
double torsoRateResidual(const JointPolynomial poly[modelLinkCount], double T);
double torsoRateResidual(const StepSamples& samples, double T);
// Change of angular momentum over the step divided by g M, minus the time integral of the
// centre-of-mass abscissa; zero for a step consistent with a free pivot; m s. samples must
// have been taken from the same poly and T.
double stepMomentumResidual(const JointPolynomial poly[modelLinkCount], double T);
double stepMomentumResidual(const JointPolynomial poly[modelLinkCount], const StepSamples& samples,
                            double T);

} // namespace orva

#include "gait/step_generator.h"

#include "gait/consistency.h"
#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/sin_cos.h"
#include "model/body_model.h"

#include <cmath>
#include <initializer_list>

namespace orva {

namespace {

constexpr double torsoStartAngle = 1.53588974175501; // 88 degrees, the same at every step
constexpr double firstHipGuess = -0.1;               // hip abscissa at the start, m
constexpr double hipSpeedFactor = 1.1;               // end hip speed over the mean hip speed
constexpr double blendShare = 0.25;                  // blend duration over step duration
constexpr double tolerance = 1e-4;                   // of both iterations
// Swing foot at touch-down, relative to the ground: velocity (m/s) and acceleration (m/s^2).
constexpr double landingVx = 0.1, landingVy = -0.1;
constexpr double landingAx = -1.0, landingAy = -2.0;

// Angles, rates, accelerations and jerks of links 0..4 at one end of the step.
struct BoundaryState {
    double theta[modelLinkCount];
    double rate[modelLinkCount];
    double accel[modelLinkCount];
    double jerk[modelLinkCount];
};

// Hip motion of one leg relative to its foot at one end of the step.
struct LegTarget {
    double X, Y;   // position, m
    double VX, VY; // velocity, m/s
};

// Angles and rates of one leg; the accelerations follow once the hip's ax is known.
struct LegMotion {
    LegPair angle;
    LegPair rate;
};

LegMotion solveLeg(const LegTarget& target) {
    LegMotion m;
    m.angle = legIK(target.X, target.Y);
    m.rate = legRates(m.angle, target.VX, target.VY);
    return m;
}

// Xc with the hip abscissa given, rather than recomputed from the stance leg.
double comAbscissaWithHip(double hipX, const double theta[modelLinkCount]) {
    const GeneratorConstants& k = generatorConstants;
    double c[modelLinkCount], s[modelLinkCount];
    for (int i = 0; i < modelLinkCount; ++i) sinCos(theta[i], s[i], c[i]);
    return hipX + k.shankWeight * (c[0] + c[4]) + k.thighWeight * (c[1] + c[3]) +
           k.torsoWeight * c[2];
}

// Link k's (angle, rate, acceleration, jerk) at both ends, as the fits take them.
struct LinkEnds {
    double start[4], end[4];
};

LinkEnds linkEnds(const BoundaryState& S, const BoundaryState& E, int k) {
    return LinkEnds{{S.theta[k], S.rate[k], S.accel[k], S.jerk[k]},
                    {E.theta[k], E.rate[k], E.accel[k], E.jerk[k]}};
}

// Link k's jerk at both ends, from the third derivative of its polynomial.
void setJerks(const JointPolynomial& p, int k, double T, BoundaryState& S, BoundaryState& E) {
    JointPolynomial d1, d2, d3;
    derivPoly(p, d1);
    derivPoly(d1, d2);
    derivPoly(d2, d3);
    S.jerk[k] = evalPoly(d3, 0.0);
    E.jerk[k] = evalPoly(d3, T);
}

void setLeg(double (&field)[modelLinkCount], int thighLink, int shankLink, const LegPair& value) {
    field[thighLink] = value.thigh;
    field[shankLink] = value.shank;
}

bool allFinite(const TrajectorySegment& seg) {
    if (!std::isfinite(seg.duration) || !std::isfinite(seg.blendDuration)) return false;
    for (const JointPolynomial& p : seg.poly)
        for (double c : p.c)
            if (!std::isfinite(c)) return false;
    return true;
}

} // namespace

LegPair legIK(double X, double Y) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const double a = X * X + Y * Y;
    const double b = X * (L0 * L0 - L1 * L1 - X * X - Y * Y) / L1;
    const double u = X * X + Y * Y + L1 * L1 - L0 * L0;
    const double c = (u * u - 4 * L1 * L1 * Y * Y) / (4 * L1 * L1);
    // The smaller root puts the knee ahead of the line from foot to hip.
    const double s = (-b - std::sqrt(b * b - 4 * a * c)) / (2 * a);
    return LegPair{std::acos(s), std::acos((X - L1 * s) / L0)};
}

LegPair legRates(const LegPair& pose, double VX, double VY) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const SineCosine shank = sinCos(pose.shank), thigh = sinCos(pose.thigh);
    const double spread = sinCos(pose.thigh - pose.shank).sin;
    return LegPair{-(VX * shank.cos + VY * shank.sin) / (L1 * spread),
                   (VX * thigh.cos + VY * thigh.sin) / (L0 * spread)};
}

LegPair legAccels(const LegPair& pose, const LegPair& rates, double AX, double AY) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const SineCosine shank = sinCos(pose.shank), thigh = sinCos(pose.thigh);
    const double PX = AX + L0 * shank.cos * (rates.shank * rates.shank) +
                      L1 * thigh.cos * (rates.thigh * rates.thigh);
    const double PY = AY + L0 * shank.sin * (rates.shank * rates.shank) +
                      L1 * thigh.sin * (rates.thigh * rates.thigh);
    const double Dn = L0 * L1 * sinCos(pose.thigh - pose.shank).sin;
    return LegPair{-L0 * (shank.sin * PY + shank.cos * PX) / Dn,
                   L1 * (thigh.cos * PX + thigh.sin * PY) / Dn};
}

namespace {

// One candidate's two ends, and the horizontal hip accelerations that keep the balance there.
struct CandidateEnds {
    BoundaryState S, E;
    double axS, axE; // m/s^2
};

// Stage 1: the ends of the candidate with hip start abscissa xS and torso rate v. Legs from
// the row's hip motion; the hip's ax from the balance; the torso hangs as a linearised
// passive pendulum on the accelerating hip. Jerks are left to the fits.
CandidateEnds boundaryStates(const GaitEntry& e, double T, double blendDuration, double xS,
                             double v) {
    const GeneratorConstants& k = generatorConstants;
    const double vx = hipSpeedFactor * e.meanSpeed;
    const double xE = e.meanSpeed * T + xS;
    const double theta2S = torsoStartAngle;
    const double theta2E = theta2S - v * blendDuration;
    CandidateEnds c{};
    BoundaryState &S = c.S, &E = c.E;
    S.theta[2] = theta2S;
    S.rate[2] = v;
    E.theta[2] = theta2E;
    E.rate[2] = v;

    // Stance leg from its ankle; swing leg from the trailing foot at S and from the landing
    // point at E, which moves with (landingVx, landingVy) at touch-down.
    const LegMotion stanceS = solveLeg({xS, e.hipHeightStart, vx, e.hipVyStart});
    const LegMotion swingS =
        solveLeg({xS + e.backStep, e.hipHeightStart + e.backDrop, vx, e.hipVyStart});
    const LegMotion stanceE = solveLeg({xE, e.hipHeightEnd, vx, e.hipVyEnd});
    const LegMotion swingE = solveLeg(
        {xE - e.foreStep, e.hipHeightEnd - e.foreRise, vx - landingVx, e.hipVyEnd - landingVy});
    setLeg(S.theta, 1, 0, stanceS.angle);
    setLeg(S.rate, 1, 0, stanceS.rate);
    setLeg(S.theta, 3, 4, swingS.angle);
    setLeg(S.rate, 3, 4, swingS.rate);
    setLeg(E.theta, 1, 0, stanceE.angle);
    setLeg(E.rate, 1, 0, stanceE.rate);
    setLeg(E.theta, 3, 4, swingE.angle);
    setLeg(E.rate, 3, 4, swingE.rate);

    const double GS = -k.gravity * k.totalMass * comAbscissaWithHip(xS, S.theta);
    const double GE = -k.gravity * k.totalMass * comAbscissaWithHip(xE, E.theta);
    c.axS = hipAccelForZeroMoment(S.theta, S.rate, e.hipAyStart, 0.0, 0.0, GS);
    c.axE = hipAccelForZeroMoment(E.theta, E.rate, e.hipAyEnd, landingAx, landingAy, GE);

    setLeg(S.accel, 1, 0, legAccels(stanceS.angle, stanceS.rate, c.axS, e.hipAyStart));
    setLeg(S.accel, 3, 4, legAccels(swingS.angle, swingS.rate, c.axS, e.hipAyStart));
    setLeg(E.accel, 1, 0, legAccels(stanceE.angle, stanceE.rate, c.axE, e.hipAyEnd));
    setLeg(E.accel, 3, 4,
           legAccels(swingE.angle, swingE.rate, c.axE - landingAx, e.hipAyEnd - landingAy));
    S.accel[2] = k.torsoGain * (c.axS - (halfPi - theta2S) * (k.gravity + e.hipAyStart));
    E.accel[2] = k.torsoGain * (c.axE - (halfPi - theta2E) * (k.gravity + e.hipAyEnd));
    return c;
}

// Stage 2: the five fits. Stance leg: quintics. Swing leg: sextics through the leg pose
// that puts the swing ankle at (0, clearance) above the stance ankle at mid-step. Torso: a
// septic, its end jerks from the balance with the legs' jerks, which the fits fix.
void fitStep(const GaitEntry& e, double T, CandidateEnds& ends, TrajectorySegment& seg) {
    const GeneratorConstants& k = generatorConstants;
    BoundaryState &S = ends.S, &E = ends.E;
    for (int link : {0, 1}) {
        const LinkEnds stance = linkEnds(S, E, link);
        fitQuintic(stance.start, stance.end, T, seg.poly[link]);
    }

    const double m0 = evalPoly(seg.poly[0], T / 2), m1 = evalPoly(seg.poly[1], T / 2);
    const SineCosine a0 = sinCos(m0), a1 = sinCos(m1);
    const double Xm = k.shankLength * a0.cos + k.thighLength * a1.cos;
    const double Ym = k.shankLength * a0.sin + k.thighLength * a1.sin - e.clearance;
    const LegPair swingMid = legIK(Xm, Ym);
    const LinkEnds shank = linkEnds(S, E, 4), thigh = linkEnds(S, E, 3);
    fitSextic(shank.start, shank.end, swingMid.shank, T, seg.poly[4]);
    fitSextic(thigh.start, thigh.end, swingMid.thigh, T, seg.poly[3]);

    for (int link : {0, 1, 3, 4}) setJerks(seg.poly[link], link, T, S, E);
    S.jerk[2] = torsoJerk(S.theta, S.rate, S.accel, S.jerk);
    E.jerk[2] = torsoJerk(E.theta, E.rate, E.accel, E.jerk);
    const LinkEnds torso = linkEnds(S, E, 2);
    fitSeptic(torso.start, torso.end, T, seg.poly[2]);
}

// Stage 3, the inner iteration: the torso rate v (the same at both ends) as the fixed point
// of v = -r / (T + blendDuration), r the torso-rate residual, for the hip start xS. Leaves the
// last candidate in seg and its samples in samples; false when the pass bound was reached or
// values went undefined.
bool settleTorsoRate(const GaitEntry& e, double xS, double& v, TrajectorySegment& seg,
                     StepSamples& samples, int& innerPasses) {
    const double T = seg.duration;
    double d;
    do {
        ++innerPasses;
        CandidateEnds ends = boundaryStates(e, T, seg.blendDuration, xS, v);
        fitStep(e, T, ends, seg);
        sampleStep(seg.poly, T, samples);
        const double r = torsoRateResidual(samples, T);
        const double vNew = -r / (T + seg.blendDuration);
        d = std::fabs(vNew - v);
        v = vNew;
    } while (d >= tolerance && innerPasses < maxInnerPasses);
    return d < tolerance;
}

// Stage 4, the outer iteration: moves the hip start xS by R / T, R the step's momentum
// residual, until |R| is within tolerance. True when it ended by that test, false at a pass
// bound or on undefined values.
bool settleHipStart(const GaitEntry& e, TrajectorySegment& seg, StepStats& stats) {
    const double T = seg.duration;
    double xS = firstHipGuess;
    double v = 0.0;      // torso rate, carried from one outer pass to the next
    StepSamples samples; // of the last candidate, read again by the momentum residual
    for (;;) {
        if (!settleTorsoRate(e, xS, v, seg, samples, stats.innerPasses)) return false;
        const double R = stepMomentumResidual(seg.poly, samples, T);
        ++stats.outerPasses;
        if (std::fabs(R) < tolerance) return true;
        if (!(std::fabs(R) >= tolerance) || stats.outerPasses == maxOuterPasses) return false;
        xS = xS + R / T;
    }
}

} // namespace

bool generateStep(const GaitEntry& e, TrajectorySegment& seg, StepStats* stats) {
    const double T =
        2 * (e.backStep + e.foreStep) / (4 * e.meanSpeed + hipSpeedFactor * e.meanSpeed);
    seg.duration = T;
    seg.blendDuration = blendShare * T;
    StepStats passes{0, 0};
    const bool ended = settleHipStart(e, seg, passes);
    if (stats) *stats = passes;
    return ended && allFinite(seg);
}

bool givesUsableStep(const GaitEntry& entry) {
    TrajectorySegment scratch;
    return generateStep(entry, scratch);
}

} // namespace orva

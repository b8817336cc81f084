#include "gait/consistency.h"
#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/gait_table.h"
#include "tests/poly_motion.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

using namespace orva;

namespace {

// Links 0..4 at t: angles, rates and accelerations; the hip and the swing ankle seen from the
// stance ankle, with their velocities, {x, y, vx, vy}, and the hip's vertical acceleration; and
// for each leg the cross product of foot-to-hip and foot-to-knee, negative with the knee ahead.
struct Motion {
    double theta[modelLinkCount], rate[modelLinkCount], accel[modelLinkCount], hip[5], ankle[4];
    double kneeSide[2];
};

Motion motionAt(const TrajectorySegment& seg, double t) {
    Motion m;
    for (int k = 0; k < modelLinkCount; ++k) {
        double v[3];
        polyMotion(seg.poly[k], t, v);
        m.theta[k] = v[0], m.rate[k] = v[1], m.accel[k] = v[2];
    }
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const double *th = m.theta, *r = m.rate, *a = m.accel;
    double *hip = m.hip, *ankle = m.ankle;
    hip[0] = L0 * std::cos(th[0]) + L1 * std::cos(th[1]);
    hip[1] = L0 * std::sin(th[0]) + L1 * std::sin(th[1]);
    hip[2] = -L0 * std::sin(th[0]) * r[0] - L1 * std::sin(th[1]) * r[1];
    hip[3] = L0 * std::cos(th[0]) * r[0] + L1 * std::cos(th[1]) * r[1];
    hip[4] = L0 * (std::cos(th[0]) * a[0] - std::sin(th[0]) * r[0] * r[0]) +
             L1 * (std::cos(th[1]) * a[1] - std::sin(th[1]) * r[1] * r[1]);
    ankle[0] = hip[0] - L1 * std::cos(th[3]) - L0 * std::cos(th[4]);
    ankle[1] = hip[1] - L1 * std::sin(th[3]) - L0 * std::sin(th[4]);
    ankle[2] = hip[2] + L1 * std::sin(th[3]) * r[3] + L0 * std::sin(th[4]) * r[4];
    ankle[3] = hip[3] - L1 * std::cos(th[3]) * r[3] - L0 * std::cos(th[4]) * r[4];
    m.kneeSide[0] = hip[0] * std::sin(th[0]) - hip[1] * std::cos(th[0]);
    m.kneeSide[1] = (hip[0] - ankle[0]) * std::sin(th[4]) - (hip[1] - ankle[1]) * std::cos(th[4]);
    return m;
}

// dH/dt + g M Xc: zero when the stance ankle is a free pivot.
double momentumBalance(const Motion& m) {
    double s[modelLinkCount], ds[modelLinkCount], dH = 0;
    momentumWeights(massMatrix(m.theta), s);
    momentumWeights(massMatrixRate(m.theta, m.rate), ds);
    for (int i = 0; i < modelLinkCount; ++i) dH += ds[i] * m.rate[i] + s[i] * m.accel[i];
    return dH + generatorConstants.gravity * generatorConstants.totalMass * comAbscissa(m.theta);
}

// Exact for a line, t^2 / 2 from t1 to t99; blind to sample 0; sample 99 weighs near dt.
TEST(Consistency, PairRuleSpansTheSecondToTheLastSample) {
    const double T = 0.56, dt = 0.01 * T;
    double ramp[100];
    for (int k = 0; k < 100; ++k) ramp[k] = k * dt;
    const double base = pairRule(ramp, dt);
    EXPECT_NEAR(base, (0.99 * 0.99 - 0.01 * 0.01) * T * T / 2, 1e-14);
    ramp[0] = 1e6;
    EXPECT_EQ(pairRule(ramp, dt), base);
    ramp[99] += 1.0;
    EXPECT_NEAR(pairRule(ramp, dt) - base, pairRuleNear * dt, 1e-12);
}

// Both measures as their definition reads, one instant at a time through motionAt, massMatrix,
// momentumWeights and comAbscissa: torso rate residual r, momentum residual R.
void referenceMeasures(const TrajectorySegment& seg, double& r, double& R) {
    const double gM = generatorConstants.gravity * generatorConstants.totalMass;
    const double T = seg.duration, dt = 0.01 * T;
    double X[100], Gp[100], B[100] = {}, A[100] = {}, H[2] = {}, s2 = 0;
    for (int k = 0; k <= 100; ++k) {
        const Motion m = motionAt(seg, k * dt);
        const double* rate = m.rate;
        double s[modelLinkCount];
        momentumWeights(massMatrix(m.theta), s);
        const double H3 = s[0] * rate[0] + s[1] * rate[1] + s[3] * rate[3] + s[4] * rate[4];
        if (k == 0 || k == 100) H[k / 100] = H3 + s[2] * rate[2];
        if (k == 0) s2 = s[2];
        if (k == 100) break; // t = T counts only in the end momentum
        X[k] = comAbscissa(m.theta);
        Gp[k] = H3;
    }
    for (int k = 0; k + 2 < 100; ++k) {
        B[k + 2] = B[k] + dt * (0.3584 * ((T - k * dt) * X[k] + (T - (k + 2) * dt) * X[k + 2]) +
                                1.2832 * (T - (k + 1) * dt) * X[k + 1]);
        A[k + 2] = A[k] + dt * (0.3584 * (Gp[k] + Gp[k + 2]) + 1.2832 * Gp[k + 1]);
    }
    r = (Gp[0] * T - gM * B[99] - A[99]) / s2;
    R = (H[0] - H[1]) / gM - pairRule(X, dt);
}

TEST(Consistency, MeasuresOfGeneratedStepsMatchTheirDefinition) {
    for (int mode : {0, 3, 8, 14}) {
        TrajectorySegment seg, bent;
        generateStep(gaitTable.rows[mode], seg);
        bent = seg; // a candidate far from convergence too
        bent.poly[2].c[1] += 0.3;
        bent.poly[0].c[3] -= 2.0;
        for (const TrajectorySegment* step : {&seg, &bent}) {
            double r, R;
            referenceMeasures(*step, r, R);
            EXPECT_NEAR(torsoRateResidual(step->poly, step->duration), r,
                        1e-12 * (1 + std::abs(r)));
            EXPECT_NEAR(stepMomentumResidual(step->poly, step->duration), R, 1e-13);
        }
        // Converged: the momentum residual is within tolerance and the torso rate is the fixed
        // point of its iteration.
        const double T = seg.duration, v = seg.poly[2].c[1];
        EXPECT_LT(std::abs(stepMomentumResidual(seg.poly, T)), 1e-4) << mode;
        EXPECT_NEAR(-torsoRateResidual(seg.poly, T) / (T + seg.blendDuration), v, 1e-4) << mode;
    }
}

// Every gait change (from == to: the plain row) ends within the bounds and gives the same step
// whatever the segment held before. Changes of one length level are usable, the far ones from
// the shortest steps (0 -> 2, 0 -> 3, 4 -> 2, ...) report unusable. A usable step is physical;
// its leg rates and accelerations come from legRates and legAccels.
TEST(StepGenerator, EveryGaitChangeGivesAPhysicalStepOrReportsUnusable) {
    TrajectorySegment seg; // holds the previous step
    for (int from = 0; from < gaitModeCount; ++from)
        for (int to = 0; to < gaitModeCount; ++to) {
            SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
            const GaitEntry e = transitionEntry(from, to);
            TrajectorySegment clean{};
            StepStats stats{-1, -1};
            const bool usable = generateStep(e, seg, &stats);
            generateStep(e, clean);
            EXPECT_EQ(std::memcmp(&seg, &clean, sizeof seg), 0);
            EXPECT_TRUE(stats.outerPasses >= int(usable) && stats.outerPasses <= maxOuterPasses);
            EXPECT_TRUE(stats.innerPasses >= 1 && stats.innerPasses <= maxInnerPasses);
            EXPECT_TRUE(usable || std::abs(from % 4 - to % 4) > 1);
            EXPECT_FALSE(usable && (from == 0 || from == 4) && to % 4 >= 2);
            if (!usable) continue;

            // Hip speed 0.07 m/s over 0.1 m, rising to 1.1 times that: 0.2 / (5.1 x 0.07) s.
            const double T = seg.duration, vx = 1.1 * e.meanSpeed;
            EXPECT_TRUE(from + to > 0 || std::abs(T - 0.2 / (5.1 * 0.07)) < 1e-15) << T;
            EXPECT_NEAR(seg.blendDuration, 0.25 * T, 1e-15);
            const Motion start = motionAt(seg, 0), mid = motionAt(seg, T / 2),
                         end = motionAt(seg, T);

            // The trailing foot lifts off at rest, passes (0, clearance) at mid-step and lands
            // moving with (0.1, -0.1) on level ground. The hip rises from 0.86 m at 0.05 m/s
            // and ends at 0.87 m falling at 0.1 m/s and slowing its fall at 4 m/s^2.
            const double x0 = start.hip[0];
            const double hipS[5] = {x0, 0.86, vx, 0.05, 0}, ankleS[4] = {-e.backStep, 0, 0, 0};
            const double hipE[5] = {x0 + e.meanSpeed * T, 0.87, vx, -0.1, -4};
            const double ankleE[4] = {e.foreStep, 0, 0.1, -0.1};
            for (int i = 0; i < 5; ++i) {
                EXPECT_NEAR(start.hip[i], hipS[i], 1e-8) << i;
                EXPECT_NEAR(end.hip[i], hipE[i], 1e-7) << i;
            }
            for (int i = 0; i < 4; ++i) {
                EXPECT_NEAR(start.ankle[i], ankleS[i], 1e-9) << i;
                EXPECT_NEAR(end.ankle[i], ankleE[i], 1e-7) << i;
            }
            for (const Motion* m : {&start, &mid, &end}) {
                EXPECT_LT(m->kneeSide[0], 0);
                EXPECT_LT(m->kneeSide[1], 0);
            }
            EXPECT_NEAR(mid.ankle[0], 0, 1e-9);
            EXPECT_NEAR(mid.ankle[1], e.clearance, 1e-9);
            EXPECT_NEAR(momentumBalance(start), 0, 1e-8);
            EXPECT_NEAR(momentumBalance(end), 0, 1e-6);

            // The torso starts at 88 degrees and turns at the same rate at both ends, so a
            // blend of blendDuration at that rate brings it back.
            const double v = start.rate[2];
            EXPECT_NEAR(start.theta[2], 88 * pi / 180, 1e-14);
            EXPECT_NEAR(end.rate[2], v, 1e-7);
            EXPECT_NEAR(end.theta[2] + v * seg.blendDuration, start.theta[2], 1e-9);
        }
    GaitEntry standing = gaitTable.rows[0]; // no duration at all
    standing.meanSpeed = 0;
    EXPECT_FALSE(generateStep(standing, seg));
    EXPECT_TRUE(std::isnan(legIK(0.0, 0.95).thigh)); // beyond full extension
}

} // namespace

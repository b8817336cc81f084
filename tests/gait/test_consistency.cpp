#include "gait/consistency.h"
#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "walking/body_model.h"

#include <gtest/gtest.h>

namespace {

class Consistency : public ::testing::Test {
  protected:
    void SetUp() override {
        setupModel();
        setupGeneratorConstants();
    }
};

TEST_F(Consistency, PairRuleSpansTheSecondToTheLastSample) {
    const double T = 0.56, dt = 0.01 * T;
    double one[consistencySamples], ramp[consistencySamples];
    for (int k = 0; k < consistencySamples; ++k) {
        one[k] = 1.0;
        ramp[k] = k * dt;
    }
    EXPECT_NEAR(pairRule(one, dt), 0.98 * T, 1e-14);
    // Integral of t from 0.01 T to 0.99 T; the first and last samples take no part.
    EXPECT_NEAR(pairRule(ramp, dt), (0.99 * 0.99 - 0.01 * 0.01) * T * T / 2, 1e-14);
    // The first sample takes no part; the last one closes the last pair.
    const double base = pairRule(ramp, dt);
    ramp[0] = 1e6;
    EXPECT_EQ(pairRule(ramp, dt), base);
    ramp[99] += 1.0;
    EXPECT_NEAR(pairRule(ramp, dt) - base, pairRuleNear * dt, 1e-12);
}

TEST_F(Consistency, StillPoseGivesTheGravityMomentOnly) {
    const GeneratorConstants& c = generatorConstants;
    const double theta[5] = {1.3, 1.8, 1.5, 2.0, 1.45};
    JointPolynomial poly[polyLinkCount] = {};
    for (int k = 0; k < polyLinkCount; ++k) poly[k].c[0] = theta[k];
    double s[5];
    momentumWeights(massMatrix(theta), s);
    const double Xc = comAbscissa(theta);
    for (double T : {0.23, 0.78}) {
        EXPECT_NEAR(stepMomentumResidual(poly, T), -0.98 * T * Xc, 1e-14);
        EXPECT_NEAR(torsoRateResidual(poly, T), -0.49 * c.gravity * c.totalMass * T * T * Xc / s[2],
                    1e-12);
    }
}

// The two measures as their definition reads: every sample through evalPoly, massMatrix,
// momentumWeights and comAbscissa, one instant at a time.
struct Reference {
    double torsoRate, stepMomentum;
};

Reference referenceMeasures(const JointPolynomial poly[5], double T) {
    const GeneratorConstants& c = generatorConstants;
    JointPolynomial d[5];
    for (int k = 0; k < 5; ++k) derivPoly(poly[k], d[k]);
    auto at = [&](double t, double theta[5], double rate[5], double s[5]) {
        for (int k = 0; k < 5; ++k) {
            theta[k] = evalPoly(poly[k], t);
            rate[k] = evalPoly(d[k], t);
        }
        momentumWeights(massMatrix(theta), s);
    };
    const double dt = 0.01 * T;
    double X[100], Gp[100], B[100] = {}, A[100] = {}, H[2] = {}, s2 = 0;
    for (int k = 0; k < 100; ++k) {
        double theta[5], rate[5], s[5];
        at(k * dt, theta, rate, s);
        X[k] = comAbscissa(theta);
        Gp[k] = s[0] * rate[0] + s[1] * rate[1] + s[3] * rate[3] + s[4] * rate[4];
        if (k == 0) {
            s2 = s[2];
            H[0] =
                s[0] * rate[0] + s[1] * rate[1] + s[2] * rate[2] + s[3] * rate[3] + s[4] * rate[4];
        }
    }
    for (int k = 0; k + 2 < 100; ++k) {
        B[k + 2] = B[k] + dt * (0.3584 * ((T - k * dt) * X[k] + (T - (k + 2) * dt) * X[k + 2]) +
                                1.2832 * (T - (k + 1) * dt) * X[k + 1]);
        A[k + 2] = A[k] + dt * (0.3584 * (Gp[k] + Gp[k + 2]) + 1.2832 * Gp[k + 1]);
    }
    double theta[5], rate[5], s[5];
    at(T, theta, rate, s);
    H[1] = s[0] * rate[0] + s[1] * rate[1] + s[2] * rate[2] + s[3] * rate[3] + s[4] * rate[4];
    const double gM = c.gravity * c.totalMass;
    return {(Gp[0] * T - gM * B[99] - A[99]) / s2, (H[0] - H[1]) / gM - pairRule(X, dt)};
}

TEST_F(Consistency, MeasuresOfGeneratedStepsMatchTheirDefinition) {
    fillGaitTable();
    for (int mode : {0, 3, 8, 14}) {
        TrajectorySegment seg;
        generateStep(gaitTable.rows[mode], seg);
        // A candidate away from convergence too: the measures are then far from zero.
        TrajectorySegment bent = seg;
        bent.poly[2].c[1] += 0.3;
        bent.poly[0].c[3] -= 2.0;
        for (const TrajectorySegment* step : {&seg, &bent}) {
            const Reference ref = referenceMeasures(step->poly, step->duration);
            const double r = torsoRateResidual(step->poly, step->duration);
            const double R = stepMomentumResidual(step->poly, step->duration);
            EXPECT_NEAR(r, ref.torsoRate, 1e-12 * (1 + std::abs(ref.torsoRate))) << mode;
            EXPECT_NEAR(R, ref.stepMomentum, 1e-13) << mode;
        }
        // Converged: the momentum residual is within the tolerance, and the torso rate is the
        // fixed point of its iteration.
        const double v = seg.poly[2].c[1];
        EXPECT_LT(std::abs(stepMomentumResidual(seg.poly, seg.duration)), 1e-4) << mode;
        EXPECT_NEAR(-torsoRateResidual(seg.poly, seg.duration) / (seg.duration + seg.blendDuration),
                    v, 1e-4)
            << mode;
    }
}

} // namespace

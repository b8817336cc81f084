#include "gait/consistency.h"
#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/body_model.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

TEST(Consistency, PairRuleSpansTheSecondToTheLastSample) {
    const double T = 0.56, dt = 0.01 * T;
    double one[100], ramp[100];
    for (int k = 0; k < 100; ++k) {
        one[k] = 1.0;
        ramp[k] = k * dt;
    }
    EXPECT_NEAR(pairRule(one, dt), 0.98 * T, 1e-14);
    const double base = pairRule(ramp, dt); // exact for a line: t^2 / 2 from t1 to t99
    EXPECT_NEAR(base, (0.99 * 0.99 - 0.01 * 0.01) * T * T / 2, 1e-14);
    ramp[0] = 1e6;
    EXPECT_EQ(pairRule(ramp, dt), base);
    ramp[99] += 1.0;
    EXPECT_NEAR(pairRule(ramp, dt) - base, pairRuleNear * dt, 1e-12);
}

TEST(Consistency, StillPoseGivesTheGravityMomentOnly) {
    const GeneratorConstants& c = generatorConstants;
    const double theta[modelLinkCount] = {1.3, 1.8, 1.5, 2.0, 1.45};
    JointPolynomial poly[modelLinkCount] = {};
    for (int k = 0; k < modelLinkCount; ++k) poly[k].c[0] = theta[k];
    double s[modelLinkCount];
    momentumWeights(massMatrix(theta), s);
    const double Xc = comAbscissa(theta), gM = c.gravity * c.totalMass;
    for (double T : {0.23, 0.78}) {
        EXPECT_NEAR(stepMomentumResidual(poly, T), -0.98 * T * Xc, 1e-14);
        EXPECT_NEAR(torsoRateResidual(poly, T), -0.49 * gM * T * T * Xc / s[2], 1e-12);
    }
}

// Both measures as their definition reads, one instant at a time through evalPoly,
// massMatrix, momentumWeights and comAbscissa: torso rate residual, momentum residual.
void referenceMeasures(const JointPolynomial poly[modelLinkCount], double T, double& r, double& R) {
    const double gM = generatorConstants.gravity * generatorConstants.totalMass, dt = 0.01 * T;
    JointPolynomial d[modelLinkCount];
    for (int k = 0; k < modelLinkCount; ++k) derivPoly(poly[k], d[k]);
    double X[100], Gp[100], B[100] = {}, A[100] = {}, H[2] = {}, s2 = 0;
    for (int k = 0; k <= 100; ++k) {
        double theta[modelLinkCount], rate[modelLinkCount], s[modelLinkCount];
        for (int i = 0; i < modelLinkCount; ++i) {
            theta[i] = evalPoly(poly[i], k * dt);
            rate[i] = evalPoly(d[i], k * dt);
        }
        momentumWeights(massMatrix(theta), s);
        const double H3 = s[0] * rate[0] + s[1] * rate[1] + s[3] * rate[3] + s[4] * rate[4];
        if (k == 0 || k == 100) H[k / 100] = H3 + s[2] * rate[2];
        if (k == 0) s2 = s[2];
        if (k == 100) break; // t = T counts only in the end momentum
        X[k] = comAbscissa(theta);
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
            referenceMeasures(step->poly, step->duration, r, R);
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

} // namespace

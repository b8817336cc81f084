#include "gait/consistency.h"
#include "gait/momentum.h"
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

} // namespace

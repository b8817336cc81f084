#include "gait/momentum.h"
#include "model/body_model.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

// A walking-like instant: knees bent, torso a little forward, swing leg behind; and a cubic
// motion through it.
const double pose[modelLinkCount] = {1.35, 1.75, 1.52, 1.95, 1.40};
const double rates[modelLinkCount] = {0.8, -0.6, 0.3, 1.9, -1.2};
const double accels[modelLinkCount] = {2.5, -4.0, 1.1, 6.0, -3.5};

void motionAt(const double accel[modelLinkCount], const double jerk[modelLinkCount], double t,
              double theta[modelLinkCount], double rate[modelLinkCount]) {
    for (int i = 0; i < modelLinkCount; ++i) {
        theta[i] = pose[i] + t * (rates[i] + t * (accel[i] / 2 + t * jerk[i] / 6));
        rate[i] = rates[i] + t * (accel[i] + t * jerk[i] / 2);
    }
}

// Angular momentum about the stance ankle, sum of s_i theta_i', at time t of the motion.
double momentumAt(const double accel[modelLinkCount], const double jerk[modelLinkCount], double t) {
    double theta[modelLinkCount], rate[modelLinkCount], s[modelLinkCount];
    motionAt(accel, jerk, t, theta, rate);
    momentumWeights(massMatrix(theta), s);
    return s[0] * rate[0] + s[1] * rate[1] + s[2] * rate[2] + s[3] * rate[3] + s[4] * rate[4];
}

// Upright and straight, every cosine is 1 and the centre of mass is over the ankle; away from
// it the matrix derivatives (constant torso-swing entries included) match finite differences.
TEST(Momentum, MassMatrixUprightAndDerivativesByFiniteDifferences) {
    const double upright[modelLinkCount] = {pi / 2, pi / 2, pi / 2, pi / 2, pi / 2};
    const Mat5 u = massMatrix(upright);
    for (int k = 0; k < 25; ++k) EXPECT_EQ(u.m[k], modelCoefficients.massMatrixCoeff[k / 5][k % 5]);
    EXPECT_NEAR(comAbscissa(upright), 0.0, 1e-15);

    const double h = 1e-4, jerk[modelLinkCount] = {-20, 15, 0, 40, -30};
    double th[3][modelLinkCount], r[3][modelLinkCount];
    for (int n = 0; n < 3; ++n) motionAt(accels, jerk, (n - 1) * h, th[n], r[n]);
    const Mat5 m[3] = {massMatrix(th[0]), massMatrix(th[1]), massMatrix(th[2])};
    const Mat5 dm = massMatrixRate(pose, rates), ddm = massMatrixAccel(pose, rates, accels);
    for (int k = 0; k < 25; ++k) {
        EXPECT_NEAR(dm.m[k], (m[2].m[k] - m[0].m[k]) / (2 * h), 1e-6) << k;
        EXPECT_NEAR(ddm.m[k], (m[2].m[k] - 2 * m[1].m[k] + m[0].m[k]) / (h * h), 1e-4) << k;
    }
    EXPECT_NEAR(comAbscissaRate(pose, rates), (comAbscissa(th[2]) - comAbscissa(th[0])) / (2 * h),
                1e-8);
}

// The torso jerk keeps d2H/dt2 = -g M Xc'. (The hip acceleration's dH/dt = G is checked at
// both ends of every generated step.)
TEST(Momentum, TorsoJerkKeepsTheBalance) {
    const GeneratorConstants& k = generatorConstants;
    double jerk[modelLinkCount] = {-20, 15, 0, 40, -30};
    jerk[2] = torsoJerk(pose, rates, accels, jerk);
    const double H = 1e-4;
    const double d2H = (momentumAt(accels, jerk, H) - 2 * momentumAt(accels, jerk, 0) +
                        momentumAt(accels, jerk, -H)) /
                       (H * H);
    EXPECT_NEAR(d2H, -k.gravity * k.totalMass * comAbscissaRate(pose, rates), 1e-4);
}

} // namespace

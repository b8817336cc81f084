#include "gait/momentum.h"
#include "gait/step_generator.h"
#include "walking/body_model.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class Momentum : public ::testing::Test {
  protected:
    void SetUp() override {
        setupModel();
        setupGeneratorConstants();
    }
};

// A walking-like pose and motion: knees bent, torso a little forward, swing leg behind.
const double pose[5] = {1.35, 1.75, 1.52, 1.95, 1.40};
const double rates[5] = {0.8, -0.6, 0.3, 1.9, -1.2};
const double accels[5] = {2.5, -4.0, 1.1, 6.0, -3.5};
const double jerks[5] = {-20.0, 15.0, 0.0, 40.0, -30.0};

// theta(t) along the cubic motion through (pose, rates, accels, jerk).
void motionAt(const double jerk[5], double t, double theta[5], double rate[5]) {
    for (int i = 0; i < 5; ++i) {
        theta[i] = pose[i] + t * (rates[i] + t * (accels[i] / 2 + t * jerk[i] / 6));
        rate[i] = rates[i] + t * (accels[i] + t * jerk[i] / 2);
    }
}

// Angular momentum about the stance ankle, sum of s_i theta_i'.
double momentumAt(const double theta[5], const double rate[5]) {
    double s[5];
    momentumWeights(massMatrix(theta), s);
    double H = 0;
    for (int i = 0; i < 5; ++i) H += s[i] * rate[i];
    return H;
}

TEST_F(Momentum, MassMatricesAreSymmetricWithConstantTorsoSwingEntries) {
    const Mat5 m = massMatrix(pose), dm = massMatrixRate(pose, rates),
               ddm = massMatrixAccel(pose, rates, accels);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(m(i, j), m(j, i));
            EXPECT_EQ(dm(i, j), dm(j, i));
            EXPECT_EQ(ddm(i, j), ddm(j, i));
        }
    for (int j : {3, 4}) {
        EXPECT_EQ(m(2, j), modelCoefficients.massMatrixCoeff[2][j]);
        EXPECT_EQ(dm(2, j), 0.0);
        EXPECT_EQ(ddm(2, j), 0.0);
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(dm(i, i), 0.0);

    // Upright and straight: every cosine is 1 and the centre of mass is over the ankle.
    const double upright[5] = {pi / 2, pi / 2, pi / 2, pi / 2, pi / 2};
    const Mat5 u = massMatrix(upright);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) EXPECT_EQ(u(i, j), modelCoefficients.massMatrixCoeff[i][j]);
    EXPECT_NEAR(comAbscissa(upright), 0.0, 1e-15);
}

TEST_F(Momentum, RatesAgreeWithFiniteDifferencesAlongAMotion) {
    const double h = 1e-4;
    double thetaMinus[5], thetaPlus[5], rateMinus[5], ratePlus[5], rate0[5], theta0[5];
    motionAt(jerks, -h, thetaMinus, rateMinus);
    motionAt(jerks, h, thetaPlus, ratePlus);
    motionAt(jerks, 0, theta0, rate0);
    const Mat5 mMinus = massMatrix(thetaMinus), m0 = massMatrix(theta0),
               mPlus = massMatrix(thetaPlus);
    const Mat5 dm = massMatrixRate(pose, rates), ddm = massMatrixAccel(pose, rates, accels);
    for (int k = 0; k < 25; ++k) {
        EXPECT_NEAR(dm.m[k], (mPlus.m[k] - mMinus.m[k]) / (2 * h), 1e-6) << "entry " << k;
        EXPECT_NEAR(ddm.m[k], (mPlus.m[k] - 2 * m0.m[k] + mMinus.m[k]) / (h * h), 1e-4)
            << "entry " << k;
    }
    EXPECT_NEAR(comAbscissaRate(pose, rates),
                (comAbscissa(thetaPlus) - comAbscissa(thetaMinus)) / (2 * h), 1e-8);

    // Row sums of the mass matrix are the momentum weights.
    double s[5];
    momentumWeights(m0, s);
    for (int i = 0; i < 5; ++i) {
        double sum = 0;
        for (int j = 0; j < 5; ++j) sum += m0(i, j);
        EXPECT_NEAR(s[i], sum, 1e-14);
    }
}

TEST_F(Momentum, Mat2InverseAndProduct) {
    const Mat2 a = {{2, 1, 7, 4}};
    const Mat2 inv = inverse(a);
    EXPECT_DOUBLE_EQ(inv(1, 1), 4.0);
    EXPECT_DOUBLE_EQ(inv(1, 2), -1.0);
    EXPECT_DOUBLE_EQ(inv(2, 1), -7.0);
    EXPECT_DOUBLE_EQ(inv(2, 2), 2.0);

    const Mat2 J = legJacobian(pose[0], pose[1]);
    for (const Mat2& p : {product(J, inverse(J)), product(inverse(J), J)}) {
        EXPECT_NEAR(p(1, 1), 1.0, 1e-14);
        EXPECT_NEAR(p(1, 2), 0.0, 1e-14);
        EXPECT_NEAR(p(2, 1), 0.0, 1e-14);
        EXPECT_NEAR(p(2, 2), 1.0, 1e-14);
    }
}

TEST_F(Momentum, HipAccelerationKeepsTheMomentumBalance) {
    const GeneratorConstants& k = generatorConstants;
    const double ay = -1.5, fx = -1.0, fy = -2.0, G = -12.0;
    const double ax = hipAccelForZeroMoment(pose, rates, ay, fx, fy, G);

    // The motion that ax implies: legs follow the hip (swing relative to its moving foot),
    // the torso hangs as a linearised pendulum.
    double accel[5];
    const LegPair stance = legAccels({pose[1], pose[0]}, {rates[1], rates[0]}, ax, ay);
    const LegPair swing = legAccels({pose[3], pose[4]}, {rates[3], rates[4]}, ax - fx, ay - fy);
    accel[0] = stance.shank;
    accel[1] = stance.thigh;
    accel[2] = k.torsoGain * (ax - (pi / 2 - pose[2]) * (k.gravity + ay));
    accel[3] = swing.thigh;
    accel[4] = swing.shank;

    // dH/dt along theta(t) = pose + rates t + accel t^2 / 2, by central differences.
    const double h = 1e-5;
    double thMinus[5], thPlus[5], rMinus[5], rPlus[5];
    for (int i = 0; i < 5; ++i) {
        thMinus[i] = pose[i] - h * rates[i] + h * h / 2 * accel[i];
        thPlus[i] = pose[i] + h * rates[i] + h * h / 2 * accel[i];
        rMinus[i] = rates[i] - h * accel[i];
        rPlus[i] = rates[i] + h * accel[i];
    }
    const double dH = (momentumAt(thPlus, rPlus) - momentumAt(thMinus, rMinus)) / (2 * h);
    EXPECT_NEAR(dH, G, 1e-6);
}

TEST_F(Momentum, TorsoJerkKeepsTheDerivativeOfTheBalance) {
    const GeneratorConstants& k = generatorConstants;
    double jerk[5];
    for (int i = 0; i < 5; ++i) jerk[i] = jerks[i];
    jerk[2] = torsoJerk(pose, rates, accels, jerks);

    // d2H/dt2 along the cubic motion must equal -g M Xc'.
    const double h = 1e-4;
    double th[3][5], r[3][5];
    for (int n = 0; n < 3; ++n) motionAt(jerk, (n - 1) * h, th[n], r[n]);
    const double d2H =
        (momentumAt(th[2], r[2]) - 2 * momentumAt(th[1], r[1]) + momentumAt(th[0], r[0])) / (h * h);
    EXPECT_NEAR(d2H, -k.gravity * k.totalMass * comAbscissaRate(pose, rates), 1e-4);
}

} // namespace

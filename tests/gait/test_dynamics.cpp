#include "gait/dynamics.h"
#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/gait_table.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

TrajectorySegment stepOf(int from, int to) {
    TrajectorySegment seg{};
    EXPECT_TRUE(generateStep(transitionEntry(from, to), seg)) << from << ">" << to;
    return seg;
}

double totalEnergy(const TrajectorySegment& seg, double t) {
    const LinkMotion m = linkMotionAt(seg, t);
    return kineticEnergy(m) + potentialEnergy(m.theta);
}

// The whole body's centre of mass from the model's weights (the swing foot a point at the
// swing ankle, so without the foot's own weight w5).
void centreOfMass(const double theta[modelLinkCount], double com[2]) {
    const double* w = modelCoefficients.comWeight;
    const double* L = bodyParams.length;
    com[0] = L[0] * std::cos(theta[0]) + L[1] * std::cos(theta[1]);
    com[1] = L[0] * std::sin(theta[0]) + L[1] * std::sin(theta[1]);
    for (int i = 0; i < modelLinkCount; ++i) {
        com[0] += w[i] * std::cos(theta[i]);
        com[1] += w[i] * std::sin(theta[i]);
    }
}

// Along every table step and the hardest change (15 to 0, where the ground pulls), the joints'
// work is the change of kinetic and potential energy; the positive work agrees with a fine
// trapezoid of max(tau_k q_k', 0), whose kinks cost it little at this step.
TEST(Dynamics, WorkBalancesEnergyAndPositiveWorkIsAccurate) {
    for (int mode = 0; mode <= gaitModeCount; ++mode) {
        const bool change = mode == gaitModeCount;
        const TrajectorySegment seg = change ? stepOf(15, 0) : stepOf(mode, mode);
        const StepWork work = stepWork(seg);
        const double gained = totalEnergy(seg, seg.duration) - totalEnergy(seg, 0);
        EXPECT_NEAR(work.net, gained, 1e-6 * std::fabs(gained)) << mode;
        EXPECT_GT(work.positive, std::max(work.net, 0.0)) << mode;
        if (mode != 12 && !change) continue;
        const int n = 200000;
        double positive = 0;
        for (int i = 0; i <= n; ++i) {
            const LinkMotion m = linkMotionAt(seg, seg.duration * i / n);
            const DynamicsSample d = inverseDynamics(m);
            const double q[modelLinkCount] = {m.rate[0], m.rate[1] - m.rate[0],
                                              m.rate[2] - m.rate[1], m.rate[3] - m.rate[1],
                                              m.rate[4] - m.rate[3]};
            double sum = 0;
            for (int k = 0; k < modelLinkCount; ++k) sum += std::max(d.tau[k] * q[k], 0.0);
            positive += (i == 0 || i == n ? 0.5 : 1.0) * sum * seg.duration / n;
        }
        EXPECT_NEAR(work.positive, positive, 1e-7 * positive) << mode;
    }
}

// The bodies' kinetic energy is the generator's 1/2 theta'^T M theta'; the ground force is the
// total mass times the centre of mass's acceleration plus g; the derivatives of the polynomials
// are those of finite differences.
TEST(Dynamics, AgreesWithTheMassMatrixTheCentreOfMassAndFiniteDifferences) {
    const double M = bodyParams.totalMass, g = bodyParams.gravity, h = 1e-4;
    for (int mode : {3, 13, 15}) {
        const TrajectorySegment seg = stepOf(mode, mode);
        for (double share : {0.0, 0.37, 0.81}) {
            const double t = share * seg.duration;
            const LinkMotion m = linkMotionAt(seg, t);
            const Mat5 mass = massMatrix(m.theta);
            double energy = 0;
            for (int i = 0; i < modelLinkCount; ++i)
                for (int j = 0; j < modelLinkCount; ++j)
                    energy += 0.5 * m.rate[i] * mass(i, j) * m.rate[j];
            EXPECT_NEAR(kineticEnergy(m), energy, 1e-12 * energy) << mode << " " << share;

            double com[3][2];
            for (int n = 0; n < 3; ++n) {
                double theta[modelLinkCount];
                for (int k = 0; k < modelLinkCount; ++k) {
                    const double before = evalPoly(seg.poly[k], t - h);
                    const double at = evalPoly(seg.poly[k], t),
                                 after = evalPoly(seg.poly[k], t + h);
                    EXPECT_NEAR(m.theta[k], at, 1e-13);
                    EXPECT_NEAR(m.rate[k], (after - before) / (2 * h), 1e-5);
                    EXPECT_NEAR(m.accel[k], (after - 2 * at + before) / (h * h), 1e-3);
                    theta[k] = evalPoly(seg.poly[k], t + (n - 1) * h);
                }
                centreOfMass(theta, com[n]);
            }
            const DynamicsSample d = inverseDynamics(m);
            EXPECT_NEAR(d.fx, M * (com[2][0] - 2 * com[1][0] + com[0][0]) / (h * h), 1e-3);
            EXPECT_NEAR(d.fy, M * ((com[2][1] - 2 * com[1][1] + com[0][1]) / (h * h) + g), 1e-3);
        }
    }
}

// Standing still, the ground carries the weight under the centre of mass, and each joint
// holds the moment of gravity: the change of potential energy with its joint coordinate.
TEST(Dynamics, StillPoseCarriesTheWeightAndGravityMoments) {
    const double q[linkCount] = {1.35, 0.4, -0.23, -2.9, -0.45, 0};
    const LinkAngles a = toLinkAngles(q);
    TrajectorySegment still{};
    for (int k = 0; k < modelLinkCount; ++k) still.poly[k].c[0] = a.theta[k];
    still.duration = 0.5;
    const DynamicsSample d = dynamicsAt(still, 0.2);
    const double Mg = bodyParams.totalMass * bodyParams.gravity;
    double com[2];
    centreOfMass(a.theta, com);
    EXPECT_NEAR(d.fx, 0.0, 1e-12);
    EXPECT_NEAR(d.fy, Mg, 1e-12 * Mg);
    EXPECT_NEAR(potentialEnergy(a.theta), Mg * com[1], 1e-12);
    EXPECT_NEAR(d.cop, com[0], 1e-12);
    EXPECT_EQ(d.power, 0.0);
    const double h = 1e-6;
    for (int k = 0; k < modelLinkCount; ++k) {
        double up[linkCount], down[linkCount];
        std::copy(q, q + linkCount, up);
        std::copy(q, q + linkCount, down);
        up[k] += h;
        down[k] -= h;
        const double moment =
            (potentialEnergy(toLinkAngles(up).theta) - potentialEnergy(toLinkAngles(down).theta)) /
            (2 * h);
        EXPECT_NEAR(d.tau[k], moment, 1e-7) << k;
    }
}

// At both ends of every usable step the generator balances its momentum with a centre of mass
// that leaves the swing foot's mass out of the swing leg, so the ankle moment there is not zero
// but m5 g (x_swingAnkle - x_hip). The summary then tells a step where the ground must pull.
TEST(Dynamics, AnkleMomentAtStepEndsIsTheSwingFootsLeftOutWeight) {
    const double m5g = bodyParams.mass[5] * bodyParams.gravity;
    const double* L = bodyParams.length;
    double lowest = HUGE_VAL, highest = -HUGE_VAL;
    for (int from = 0; from < gaitModeCount; ++from)
        for (int to = 0; to < gaitModeCount; ++to) {
            TrajectorySegment seg{};
            if (!generateStep(transitionEntry(from, to), seg)) continue;
            for (double t : {0.0, seg.duration}) {
                const LinkMotion m = linkMotionAt(seg, t);
                const double swingAnkleFromHip =
                    -L[3] * std::cos(m.theta[3]) - L[4] * std::cos(m.theta[4]);
                const double expected = m5g * swingAnkleFromHip;
                EXPECT_NEAR(inverseDynamics(m).tau[0], expected, 1e-6) << from << ">" << to;
                if (from != to) continue;
                lowest = std::min(lowest, expected);
                highest = std::max(highest, expected);
            }
        }
    EXPECT_NEAR(lowest, -1.6, 0.1);
    EXPECT_NEAR(highest, 2.2, 0.1);

    const TrajectorySegment seg = stepOf(12, 12);
    const DynamicsSummary s = summarizeDynamics(seg, 0.1);
    EXPECT_LT(s.fyMin, 0.0);
    EXPECT_GT(s.liftOff, 0.02);
    EXPECT_LT(s.liftOff, 0.06);
    EXPECT_NEAR(s.costOfTransport,
                s.positiveWork / (bodyParams.totalMass * bodyParams.gravity * 0.1), 1e-15);
    DynamicsSample samples[summarySampleCount];
    sampleDynamics(seg, summarySampleCount, samples);
    int lifted = 0;
    for (const DynamicsSample& d : samples) {
        EXPECT_EQ(std::isnan(d.cop), d.fy <= 0);
        lifted += d.fy <= 0;
        EXPECT_LE(std::fabs(d.tau[0]), s.peakAnkleMoment);
        if (d.fy > 0) {
            EXPECT_LE(d.friction, s.frictionMax);
        }
    }
    EXPECT_EQ(s.liftOff, static_cast<double>(lifted) / summarySampleCount);
}

} // namespace

namespace {

// Friction needed is |fx| / fy: the ground pushes ORVA back at the step's start and forward at
// its end, and both need friction, so it is never negative where the foot presses.
TEST(Dynamics, FrictionNeededIsTheSizeOfTheHorizontalForce) {
    DynamicsSample d[101];
    sampleDynamics(stepOf(6, 6), 101, d);
    int backwards = 0;
    for (const DynamicsSample& s : d) {
        ASSERT_GT(s.fy, 0);
        backwards += s.fx < 0;
        EXPECT_EQ(s.friction, std::fabs(s.fx) / s.fy) << "fx " << s.fx;
    }
    EXPECT_GT(backwards, 0); // a sample where the sign matters
    EXPECT_LT(backwards, 101);
}

} // namespace

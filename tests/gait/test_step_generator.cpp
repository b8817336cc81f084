#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/core_setup.h"
#include "model/gait_table.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using namespace orva;

namespace {

// Every gait test reads the body constants and the gait table: set up once for the binary.
class GaitModel : public ::testing::Environment {
    void SetUp() override { setupCore(); }
};
[[maybe_unused]] const auto* const gaitModel = ::testing::AddGlobalTestEnvironment(new GaitModel);

// Leg rates and accelerations are checked through the steps generated below.
TEST(StepGenerator, LegKinematics) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const double cases[3][4] = {{0, 0.86, 1.8700541, 1.2715385},
                                {-0.1, 0.86, 1.9631397, 1.4099714},
                                {0.1, 0.86, 1.7316213, 1.1784529}}; // X, Y, thigh, shank
    for (const auto& c : cases) {
        const LegPair leg = legIK(c[0], c[1]);
        EXPECT_NEAR(leg.thigh, c[2], 5e-8);
        EXPECT_NEAR(leg.shank, c[3], 5e-8);
        EXPECT_NEAR(L0 * std::cos(leg.shank) + L1 * std::cos(leg.thigh), c[0], 1e-14);
        EXPECT_NEAR(L0 * std::sin(leg.shank) + L1 * std::sin(leg.thigh), c[1], 1e-14);
    }
    EXPECT_TRUE(std::isnan(legIK(0.0, 0.95).thigh)); // beyond full extension
}

// Links 0..4 at t: angles, rates and accelerations; and the hip and the swing ankle seen from
// the stance ankle, with their velocities: {x, y, vx, vy}.
struct Motion {
    double theta[modelLinkCount], rate[modelLinkCount], accel[modelLinkCount], hip[4], ankle[4];
};

Motion motionAt(const TrajectorySegment& seg, double t) {
    Motion m;
    for (int k = 0; k < modelLinkCount; ++k) {
        JointPolynomial d1, d2;
        derivPoly(seg.poly[k], d1);
        derivPoly(d1, d2);
        m.theta[k] = evalPoly(seg.poly[k], t);
        m.rate[k] = evalPoly(d1, t);
        m.accel[k] = evalPoly(d2, t);
    }
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const double *th = m.theta, *r = m.rate;
    double *hip = m.hip, *ankle = m.ankle;
    hip[0] = L0 * std::cos(th[0]) + L1 * std::cos(th[1]);
    hip[1] = L0 * std::sin(th[0]) + L1 * std::sin(th[1]);
    hip[2] = -L0 * std::sin(th[0]) * r[0] - L1 * std::sin(th[1]) * r[1];
    hip[3] = L0 * std::cos(th[0]) * r[0] + L1 * std::cos(th[1]) * r[1];
    ankle[0] = hip[0] - L1 * std::cos(th[3]) - L0 * std::cos(th[4]);
    ankle[1] = hip[1] - L1 * std::sin(th[3]) - L0 * std::sin(th[4]);
    ankle[2] = hip[2] + L1 * std::sin(th[3]) * r[3] + L0 * std::sin(th[4]) * r[4];
    ankle[3] = hip[3] - L1 * std::cos(th[3]) * r[3] - L0 * std::cos(th[4]) * r[4];
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

TEST(StepGenerator, EveryRowGivesAPhysicalStep) {
    for (int mode = 0; mode < gaitModeCount; ++mode) {
        SCOPED_TRACE(mode);
        const GaitEntry& e = gaitTable.rows[mode];
        TrajectorySegment seg; // pass counts: see GaitChangesEndWithinBounds (from == to)
        ASSERT_TRUE(generateStep(e, seg));
        const double T = seg.duration, vx = 1.1 * e.meanSpeed;
        const double knownDuration[] = {0.5602241, 0, 0, 0.7843137, 0, 0, 0, 0, 0.2306805};
        if (mode < 9 && knownDuration[mode] > 0) {
            EXPECT_NEAR(T, knownDuration[mode], 5e-8);
        }
        EXPECT_NEAR(seg.blendDuration, 0.25 * T, 1e-15);
        const Motion start = motionAt(seg, 0), mid = motionAt(seg, T / 2), end = motionAt(seg, T);

        // The trailing foot lifts off at rest, passes (0, clearance) at mid-step and lands
        // moving with (0.1, -0.1); the hip follows the row's heights and speeds.
        const double x0 = start.hip[0];
        const double wantS[2][4] = {{x0, e.hipHeightStart, vx, e.hipVyStart},
                                    {-e.backStep, -e.backDrop, 0, 0}};
        const double wantE[2][4] = {{x0 + e.meanSpeed * T, e.hipHeightEnd, vx, e.hipVyEnd},
                                    {e.foreStep, e.foreRise, 0.1, -0.1}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(start.hip[i], wantS[0][i], 1e-9) << i;
            EXPECT_NEAR(start.ankle[i], wantS[1][i], 1e-9) << i;
            EXPECT_NEAR(end.hip[i], wantE[0][i], 1e-8) << i;
            EXPECT_NEAR(end.ankle[i], wantE[1][i], 1e-7) << i;
        }
        EXPECT_NEAR(mid.ankle[0], 0, 1e-9);
        EXPECT_NEAR(mid.ankle[1], e.clearance, 1e-9);
        EXPECT_NEAR(momentumBalance(start), 0, 1e-8);
        EXPECT_NEAR(momentumBalance(end), 0, 1e-6);

        // The torso starts at 88 degrees and turns at the same rate at both ends, so a blend
        // of blendDuration at that rate brings it back.
        const double v = start.rate[2];
        EXPECT_EQ(start.theta[2], 1.53588974175501);
        EXPECT_NEAR(end.rate[2], v, 1e-7);
        EXPECT_NEAR(end.theta[2] + v * seg.blendDuration, start.theta[2], 1e-9);
    }
}

// Every gait change ends within the bounds; changes of one length level converge quickly, and
// the far ones of the issue (0 -> 2, 0 -> 3, 4 -> 2) report unusable.
TEST(StepGenerator, GaitChangesEndWithinBounds) {
    for (int from = 0; from < gaitModeCount; ++from)
        for (int to = 0; to < gaitModeCount; ++to) {
            SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
            const GaitEntry e = transitionEntry(from, to);
            TrajectorySegment seg;
            StepStats stats{-1, -1};
            const bool usable = generateStep(e, seg, &stats);
            EXPECT_TRUE(stats.outerPasses >= 0 && stats.outerPasses <= maxOuterPasses);
            EXPECT_TRUE(stats.innerPasses >= 1 && stats.innerPasses <= maxInnerPasses);
            if (std::abs(from % 4 - to % 4) <= 1) {
                EXPECT_TRUE(usable);
                EXPECT_LE(stats.outerPasses, 5);
                EXPECT_LE(stats.innerPasses, 17);
            }
            if ((from == 0 || from == 4) && to % 4 >= 2) {
                EXPECT_FALSE(usable);
            }
        }
    GaitEntry standing = gaitTable.rows[0]; // no duration at all
    standing.meanSpeed = 0;
    TrajectorySegment seg;
    EXPECT_FALSE(generateStep(standing, seg));
}

TEST(StepGenerator, OutputDoesNotDependOnTheSegmentsOldContent) {
    TrajectorySegment clean{}, dirty;
    for (JointPolynomial& p : dirty.poly)
        for (double& c : p.c) c = std::numeric_limits<double>::quiet_NaN();
    dirty.duration = dirty.blendDuration = 7;
    ASSERT_TRUE(generateStep(gaitTable.rows[13], clean));
    ASSERT_TRUE(generateStep(gaitTable.rows[13], dirty));
    EXPECT_EQ(std::memcmp(&clean, &dirty, sizeof clean), 0);
}

} // namespace

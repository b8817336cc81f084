#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "walking/body_model.h"
#include "walking/gait_table.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {

class StepGenerator : public ::testing::Test {
  protected:
    void SetUp() override {
        setupModel();
        setupGeneratorConstants();
        fillGaitTable();
    }
};

struct Point {
    double x, y;
};

Point legTip(const LegPair& leg) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    return {L0 * std::cos(leg.shank) + L1 * std::cos(leg.thigh),
            L0 * std::sin(leg.shank) + L1 * std::sin(leg.thigh)};
}

TEST_F(StepGenerator, LegKinematics) {
    struct Case {
        double X, Y, thigh, shank;
    };
    for (const Case& c :
         {Case{0, 0.86, 1.8700541, 1.2715385}, Case{-0.1, 0.86, 1.9631397, 1.4099714},
          Case{0.1, 0.86, 1.7316213, 1.1784529}}) {
        const LegPair leg = legIK(c.X, c.Y);
        EXPECT_NEAR(leg.thigh, c.thigh, 5e-8);
        EXPECT_NEAR(leg.shank, c.shank, 5e-8);
        EXPECT_GT(leg.thigh, leg.shank); // knee ahead of the line from foot to hip
        const Point tip = legTip(leg);
        EXPECT_NEAR(tip.x, c.X, 1e-14);
        EXPECT_NEAR(tip.y, c.Y, 1e-14);
    }
    EXPECT_TRUE(std::isnan(legIK(0.0, 0.95).thigh)); // beyond full extension

    // Rates and accelerations follow the hip along x = 0.05 + 0.3 t + 2 t^2, y = 0.84 - 0.2 t
    // - t^2, differentiated numerically around t = 0.
    auto hipAt = [](double t) { return legIK(0.05 + t * (0.3 + 2 * t), 0.84 - t * (0.2 + t)); };
    const double h = 1e-5;
    const LegPair pose = hipAt(0), rate = legRates(pose, 0.3, -0.2);
    const LegPair before = hipAt(-h), after = hipAt(h);
    EXPECT_NEAR(rate.thigh, (after.thigh - before.thigh) / (2 * h), 1e-8);
    EXPECT_NEAR(rate.shank, (after.shank - before.shank) / (2 * h), 1e-8);
    const LegPair accel = legAccels(pose, rate, 4.0, -2.0);
    EXPECT_NEAR(accel.thigh, (after.thigh - 2 * pose.thigh + before.thigh) / (h * h), 1e-4);
    EXPECT_NEAR(accel.shank, (after.shank - 2 * pose.shank + before.shank) / (h * h), 1e-4);
}

TEST_F(StepGenerator, Durations) {
    TrajectorySegment seg;
    generateStep(gaitTable.rows[0], seg);
    EXPECT_NEAR(seg.duration, 0.5602241, 5e-8);
    EXPECT_NEAR(seg.blendDuration, 0.1400560, 5e-8);
    generateStep(gaitTable.rows[3], seg);
    EXPECT_NEAR(seg.duration, 0.7843137, 5e-8);
    generateStep(gaitTable.rows[8], seg);
    EXPECT_NEAR(seg.duration, 0.2306805, 5e-8);
}

// Angles, rates and accelerations of links 0..4 at t.
struct Motion {
    double theta[5], rate[5], accel[5];
};

Motion motionAt(const TrajectorySegment& seg, double t) {
    Motion m;
    for (int k = 0; k < 5; ++k) {
        JointPolynomial d1, d2;
        derivPoly(seg.poly[k], d1);
        derivPoly(d1, d2);
        m.theta[k] = evalPoly(seg.poly[k], t);
        m.rate[k] = evalPoly(d1, t);
        m.accel[k] = evalPoly(d2, t);
    }
    return m;
}

// Hip and swing ankle positions and velocities, from the stance ankle.
struct Feet {
    Point hip, hipVelocity, ankle, ankleVelocity;
};

Feet feetAt(const Motion& m) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const double* th = m.theta;
    const double* r = m.rate;
    Feet f;
    f.hip = {L0 * std::cos(th[0]) + L1 * std::cos(th[1]),
             L0 * std::sin(th[0]) + L1 * std::sin(th[1])};
    f.hipVelocity = {-L0 * std::sin(th[0]) * r[0] - L1 * std::sin(th[1]) * r[1],
                     L0 * std::cos(th[0]) * r[0] + L1 * std::cos(th[1]) * r[1]};
    f.ankle = {f.hip.x - L1 * std::cos(th[3]) - L0 * std::cos(th[4]),
               f.hip.y - L1 * std::sin(th[3]) - L0 * std::sin(th[4])};
    f.ankleVelocity = {f.hipVelocity.x + L1 * std::sin(th[3]) * r[3] + L0 * std::sin(th[4]) * r[4],
                       f.hipVelocity.y - L1 * std::cos(th[3]) * r[3] - L0 * std::cos(th[4]) * r[4]};
    return f;
}

// dH/dt + g M Xc: zero when the ankle is a free pivot.
double momentumBalance(const Motion& m) {
    const GeneratorConstants& k = generatorConstants;
    double s[5], ds[5];
    momentumWeights(massMatrix(m.theta), s);
    momentumWeights(massMatrixRate(m.theta, m.rate), ds);
    double dH = 0;
    for (int i = 0; i < 5; ++i) dH += ds[i] * m.rate[i] + s[i] * m.accel[i];
    return dH + k.gravity * k.totalMass * comAbscissa(m.theta);
}

TEST_F(StepGenerator, EveryRowGivesAPhysicalStep) {
    for (int mode = 0; mode < gaitModeCount; ++mode) {
        SCOPED_TRACE(mode);
        const GaitEntry& e = gaitTable.rows[mode];
        TrajectorySegment seg;
        StepStats stats{};
        ASSERT_TRUE(generateStep(e, seg, &stats));
        EXPECT_LE(stats.outerPasses, 5);
        EXPECT_LE(stats.innerPasses, 17);
        const double T = seg.duration, vx = 1.1 * e.meanSpeed;
        const Motion start = motionAt(seg, 0), mid = motionAt(seg, T / 2), end = motionAt(seg, T);
        const Feet s = feetAt(start), m = feetAt(mid), f = feetAt(end);

        // The trailing foot lifts off at rest; the swing foot lands moving with (0.1, -0.1).
        EXPECT_NEAR(s.ankle.x, -e.backStep, 1e-9);
        EXPECT_NEAR(s.ankle.y, -e.backDrop, 1e-9);
        EXPECT_NEAR(s.ankleVelocity.x, 0, 1e-9);
        EXPECT_NEAR(s.ankleVelocity.y, 0, 1e-9);
        EXPECT_NEAR(f.ankle.x, e.foreStep, 1e-8);
        EXPECT_NEAR(f.ankle.y, e.foreRise, 1e-8);
        EXPECT_NEAR(f.ankleVelocity.x, 0.1, 1e-7);
        EXPECT_NEAR(f.ankleVelocity.y, -0.1, 1e-7);
        EXPECT_NEAR(m.ankle.x, 0, 1e-9);
        EXPECT_NEAR(m.ankle.y, e.clearance, 1e-9);

        // The hip rises from hipHeightStart to hipHeightEnd and advances meanSpeed x duration.
        EXPECT_NEAR(s.hip.y, e.hipHeightStart, 1e-9);
        EXPECT_NEAR(f.hip.y, e.hipHeightEnd, 1e-9);
        EXPECT_NEAR(f.hip.x - s.hip.x, e.meanSpeed * T, 1e-9);
        EXPECT_NEAR(s.hipVelocity.x, vx, 1e-9);
        EXPECT_NEAR(s.hipVelocity.y, e.hipVyStart, 1e-9);
        EXPECT_NEAR(f.hipVelocity.x, vx, 1e-8);
        EXPECT_NEAR(f.hipVelocity.y, e.hipVyEnd, 1e-8);

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

TEST_F(StepGenerator, OneLevelGaitChangesConvergeQuickly) {
    for (int from = 0; from < gaitModeCount; ++from)
        for (int to = 0; to < gaitModeCount; ++to) {
            if (std::abs(from % 4 - to % 4) > 1) continue;
            GaitEntry e = gaitTable.rows[from];
            e.foreStep = gaitTable.rows[to].backStep;
            TrajectorySegment seg;
            StepStats stats{};
            EXPECT_TRUE(generateStep(e, seg, &stats)) << from << " to " << to;
            EXPECT_LE(stats.outerPasses, 5) << from << " to " << to;
            EXPECT_LE(stats.innerPasses, 17) << from << " to " << to;
        }
}

TEST_F(StepGenerator, FarGaitChangesEndWithinBoundsAndReportUnusable) {
    struct Change {
        int row;
        double foreStep;
    };
    for (const Change& c : {Change{0, 0.2}, Change{0, 0.28}, Change{4, 0.2}}) {
        GaitEntry e = gaitTable.rows[c.row];
        e.foreStep = c.foreStep;
        TrajectorySegment seg;
        StepStats stats{-1, -1};
        EXPECT_FALSE(generateStep(e, seg, &stats)) << c.row << " " << c.foreStep;
        EXPECT_GE(stats.outerPasses, 0);
        EXPECT_LE(stats.outerPasses, maxOuterPasses);
        EXPECT_GE(stats.innerPasses, 1);
        EXPECT_LE(stats.innerPasses, maxInnerPasses);
    }
    // A standing gait has no duration at all.
    GaitEntry still = gaitTable.rows[0];
    still.meanSpeed = 0;
    TrajectorySegment seg;
    EXPECT_FALSE(generateStep(still, seg));
}

TEST_F(StepGenerator, OutputDoesNotDependOnTheSegmentsOldContent) {
    TrajectorySegment clean{}, dirty;
    for (JointPolynomial& p : dirty.poly)
        for (double& c : p.c) c = std::numeric_limits<double>::quiet_NaN();
    dirty.duration = dirty.blendDuration = 7;
    ASSERT_TRUE(generateStep(gaitTable.rows[13], clean));
    ASSERT_TRUE(generateStep(gaitTable.rows[13], dirty));
    EXPECT_EQ(std::memcmp(&clean, &dirty, sizeof clean), 0);
}

} // namespace

#include "shell/idle_pass.h"
#include "shell/shell_state.h"
#include "shell/walk_stats.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace orva;

namespace {

class IdlePassTest : public ::testing::Test {
  protected:
    void SetUp() override { startWalking(); }

    static void press(const char* keys) {
        for (; *keys; ++keys) onKey(static_cast<unsigned char>(*keys), 0, 0);
    }

    // Hip along the path, m: the stance foot's arc plus the hip's x over the stance ankle.
    static double hipArc() {
        const LinkAngles a = toLinkAngles(robotState.q);
        return walkerPlacement.stanceArc + 0.45 * std::cos(a.theta[0]) +
               0.45 * std::cos(a.theta[1]);
    }
};

// Levels stay in bounds; a request reaches exactly one step with the latest mode; the pending
// camera move lands; unpaced, each call is one increment and every tenth redraws.
TEST_F(IdlePassTest, GaitKeysReachOneStepAndEveryTenthCallRedraws) {
    press("Z?");
    EXPECT_EQ(gaitSelection.gaitChanged, 0);
    press("xxxxzsa");
    EXPECT_EQ(gaitSelection.gaitMode, 7);
    press("wwwwwsqz");
    cameraState.eyeXPending = 1.5;
    EXPECT_FALSE(idlePass());
    EXPECT_EQ(gaitSelection.gaitChanged, 0);
    EXPECT_EQ(walkCycle.pending.mode, 8);
    EXPECT_EQ(cameraState.eyeX, 1.5);
    PacingState unpaced;
    for (int call = 2; call <= 30; ++call) {
        EXPECT_EQ(runIdlePlan(planIdle(unpaced, 0.0)), call % 10 == 0) << call;
        EXPECT_EQ(walkStats.increments, call - 1);
    }
}

TEST_F(IdlePassTest, SoakWithRandomGaitKeysWalksSmoothlyAndEndsOnTheKeysMode) {
    std::mt19937 random(12345);
    idlePass(); // from the starting pose to the first step's
    int changes = 0;
    for (int call = 0; call < 100000; ++call) {
        if (random() % 150 == 0) onKey(static_cast<unsigned char>("wxqsaz"[random() % 6]), 0, 0);
        const WalkerPlacement before = walkerPlacement;
        const double hipBefore = hipArc();
        idlePass();
        for (double q : robotState.q) ASSERT_TRUE(std::isfinite(q)) << call;
        ASSERT_LT(std::fabs(hipArc() - hipBefore), 0.02) << call; // a jump: tenths of a metre
        if (walkerPlacement.supportLeg == before.supportLeg) continue;
        ++changes;
        // The foot that landed takes the load on the other side; the one it relieves stays put.
        ASSERT_EQ(walkerPlacement.hipHalfWidth, -before.hipHalfWidth) << call;
        ASSERT_NEAR(walkerPlacement.stanceArc + walkerPlacement.swingReach, before.stanceArc, 0.002)
            << call;
    }
    EXPECT_GT(changes, 500);
    for (int call = 0; call < 4000; ++call) idlePass();
    EXPECT_EQ(walkCycle.current.mode, gaitSelection.gaitMode);
}

// The statistics follow the walk; paced, it passes through the same poses at other times.
TEST_F(IdlePassTest, StatisticsFollowTheWalkAndAPacedWalkRetracesIt) {
    int changes = 0;
    long long changedAt = 0;
    double hipAtChange = 0, speed = 0;
    PacingState unpacedLoop;
    for (int call = 0; call < 3000; ++call) {
        const int support = walkerPlacement.supportLeg;
        runIdlePlan(planIdle(unpacedLoop, 0.0)); // one pass
        if (walkerPlacement.supportLeg == support) continue;
        if (changes++ > 0) {
            speed =
                (hipArc() - hipAtChange) / ((walkStats.increments - changedAt) * phaseIncrement);
        }
        hipAtChange = hipArc();
        changedAt = walkStats.increments;
    }
    EXPECT_EQ(walkStats.steps, changes);
    EXPECT_NEAR(walkStats.stepSpeed, speed, 1e-3 * speed);
    EXPECT_NEAR(walkStats.stepSpeed, gaitTable.rows[0].meanSpeed, 0.1 * speed);
    const RobotState unpaced = robotState;

    SetUp();
    PacingState paced;
    togglePacing(paced, 0.0);
    for (double now = 0.005; walkStats.increments < 3000; now += 0.005) {
        IdlePlan plan = planIdle(paced, now);
        plan.increments = std::min(plan.increments, int(3000 - walkStats.increments));
        EXPECT_EQ(runIdlePlan(plan), plan.redraw); // no redraw by count when paced
    }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(robotState.q[i], unpaced.q[i]);

    WalkStats rates; // phase seconds and frames per wall second, over half a second or more
    rates.frames = 10;
    updateRates(rates, 10.0);
    rates.increments = 200;
    rates.frames = 40;
    updateRates(rates, 10.2);
    EXPECT_EQ(rates.realTimeFactor, 0.0);
    updateRates(rates, 11.5);
    EXPECT_DOUBLE_EQ(rates.realTimeFactor, 1.0);
    EXPECT_DOUBLE_EQ(rates.framesPerSecond, 20.0);
}

} // namespace

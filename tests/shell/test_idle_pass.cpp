#include "shell/idle_pass.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace orva;

namespace {

class IdlePassTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetShellState();
        resetIdlePass();
        setStartingPose(robotState);
        simulationInit();
    }

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

TEST_F(IdlePassTest, GaitKeysChangeLevelsWithinBounds) {
    press("xxxx");
    EXPECT_EQ(gaitSelection.stepLength, 3);
    EXPECT_EQ(gaitSelection.gaitMode, 3);
    press("wwwww");
    EXPECT_EQ(gaitSelection.stepLength, 0);

    resetShellState();
    press("w"); // clamped, but still a request
    EXPECT_EQ(gaitSelection.stepLength, 0);
    EXPECT_EQ(gaitSelection.gaitChanged, 1);

    resetShellState();
    press("Z?");
    EXPECT_EQ(gaitSelection.gaitChanged, 0);
    EXPECT_EQ(gaitSelection.gaitMode, 0);
    press("zsx");
    EXPECT_EQ(gaitSelection.gaitMode, 13);
    press("xxxss");
    EXPECT_EQ(gaitSelection.gaitMode, 15);
    press("qa");
    EXPECT_EQ(gaitSelection.gaitMode, 3);
}

// A gait request reaches exactly one step; the pending camera move lands; every tenth call
// redraws.
TEST_F(IdlePassTest, GaitRequestReachesOneStepAndEveryTenthCallRedraws) {
    press("zz");
    cameraState.eyeXPending = 1.5;
    EXPECT_FALSE(idlePass());
    EXPECT_EQ(gaitSelection.gaitChanged, 0);
    EXPECT_EQ(walkCycle.pendingMode, 8);
    EXPECT_EQ(cameraState.eyeX, 1.5);
    for (int call = 2; call <= 30; ++call) EXPECT_EQ(idlePass(), call % 10 == 0) << call;
}

TEST_F(IdlePassTest, SupportChangeFlipsSideAndAdvancesStanceFoot) {
    idlePass(); // from the starting pose to the first step's
    int changes = 0;
    for (int call = 1; call < 1500; ++call) {
        const WalkerPlacement before = walkerPlacement;
        const double hipBefore = hipArc();
        idlePass();
        const WalkerPlacement& after = walkerPlacement;
        EXPECT_LT(std::fabs(hipArc() - hipBefore), 0.003) << call;
        if (after.supportLeg == before.supportLeg) {
            EXPECT_EQ(after.hipHalfWidth, before.hipHalfWidth);
            EXPECT_EQ(after.stanceArc, before.stanceArc);
            continue;
        }
        ++changes;
        EXPECT_EQ(after.hipHalfWidth, -before.hipHalfWidth);
        EXPECT_EQ(after.stanceArc, before.stanceArc + before.swingReach);
        // The foot that just landed stood about foreStep ahead; the foot it relieves stays put.
        EXPECT_NEAR(before.swingReach, 0.05, 0.01);
        EXPECT_NEAR(after.stanceArc + after.swingReach, before.stanceArc, 0.002);
    }
    EXPECT_GT(changes, 10);
    EXPECT_GT(hipArc(), 0.5); // forward along the circle
}

TEST_F(IdlePassTest, FarGaitChangesByKeysReachTheRequestedMode) {
    press("xxx"); // 0 -> 3, two levels further than one step can go
    for (int call = 0; call < 3000; ++call) idlePass();
    EXPECT_EQ(walkCycle.currentMode, 3);
    press("wwws"); // 3 -> 4
    for (int call = 0; call < 3000; ++call) idlePass();
    EXPECT_EQ(walkCycle.currentMode, 4);
    for (double q : robotState.q) EXPECT_TRUE(std::isfinite(q));
}

TEST_F(IdlePassTest, SoakWithRandomGaitKeysStaysFiniteAndWalksForward) {
    std::mt19937 random(12345);
    const char keys[] = "wxqsaz";
    idlePass(); // from the starting pose to the first step's
    double hip = hipArc(), worstHipMove = 0;
    for (int call = 0; call < 100000; ++call) {
        if (random() % 150 == 0) onKey(static_cast<unsigned char>(keys[random() % 6]), 0, 0);
        idlePass();
        for (double q : robotState.q) ASSERT_TRUE(std::isfinite(q)) << call;
        worstHipMove = std::fmax(worstHipMove, std::fabs(hipArc() - hip));
        hip = hipArc();
    }
    EXPECT_LT(worstHipMove, 0.02); // no jumps: a foot jump would be tenths of a metre
    EXPECT_GT(walkerPlacement.stanceArc, 20.0);
}

} // namespace

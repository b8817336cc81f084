#include "model/core_setup.h"
#include "shell/idle_pass.h"
#include "shell/lab.h"
#include "shell/walk_stats.h"
#include "shell/walk_trace.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace orva;

namespace {

class IdlePassTest : public ::testing::Test {
  protected:
    void SetUp() override { startWalking(lab); }

    void press(const char* keys) {
        for (; *keys; ++keys) pressGaitKey(lab.gait, static_cast<unsigned char>(*keys));
    }

    // Hip along the path, m: the stance foot's arc plus the hip's x over the stance ankle.
    double hipArc() const {
        const LinkAngles a = toLinkAngles(lab.robot.q);
        return lab.placement.stanceArc + 0.45 * std::cos(a.theta[0]) + 0.45 * std::cos(a.theta[1]);
    }

    Lab lab;
};

// Levels stay in bounds; a request reaches exactly one step with the latest mode; the pending
// camera move lands; unpaced, each call is one increment and every tenth redraws.
TEST_F(IdlePassTest, GaitKeysReachOneStepAndEveryTenthCallRedraws) {
    press("Z?");
    EXPECT_EQ(lab.gait.gaitChanged, 0);
    press("xxxxzsa");
    EXPECT_EQ(lab.gait.gaitMode, 7);
    press("wwwwwsqz");
    lab.camera.eyeXPending = 1.5;
    EXPECT_FALSE(idlePass(lab));
    // The window probe of bench/ reads the statistics at the lab's address.
    EXPECT_EQ(static_cast<void*>(&lab.stats), static_cast<void*>(&lab));
    EXPECT_EQ(lab.gait.gaitChanged, 0);
    EXPECT_EQ(lab.walker.pending.mode, 8);
    EXPECT_EQ(lab.camera.eyeX, 1.5);
    PacingState unpaced;
    for (int call = 2; call <= 30; ++call) {
        EXPECT_EQ(runIdlePlan(lab, planIdle(unpaced, 0.0)), call % 10 == 0) << call;
        EXPECT_EQ(lab.stats.increments, call - 1);
    }
}

TEST_F(IdlePassTest, SoakWithRandomGaitKeysWalksSmoothlyAndEndsOnTheKeysMode) {
    std::mt19937 random(12345);
    idlePass(lab); // from the starting pose to the first step's
    int changes = 0;
    for (int call = 0; call < 100000; ++call) {
        if (random() % 150 == 0) pressGaitKey(lab.gait, gaitKeys[random() % gaitKeyCount].key);
        const WalkerPlacement before = lab.placement;
        const double hipBefore = hipArc();
        idlePass(lab);
        for (double q : lab.robot.q) ASSERT_TRUE(std::isfinite(q)) << call;
        ASSERT_LT(std::fabs(hipArc() - hipBefore), 0.02) << call; // a jump: tenths of a metre
        if (lab.placement.supportLeg == before.supportLeg) continue;
        ++changes;
        // The foot that landed takes the load on the other side; the one it relieves stays put.
        ASSERT_EQ(lab.placement.hipHalfWidth, -before.hipHalfWidth) << call;
        ASSERT_NEAR(lab.placement.stanceArc + lab.placement.swingReach, before.stanceArc, 0.002)
            << call;
    }
    EXPECT_GT(changes, 500);
    for (int call = 0; call < 4000; ++call) idlePass(lab);
    EXPECT_EQ(lab.walker.current.mode, lab.gait.gaitMode);
}

// The statistics follow the walk; paced, it passes through the same poses at other times.
TEST_F(IdlePassTest, StatisticsFollowTheWalkAndAPacedWalkRetracesIt) {
    int changes = 0;
    long long changedAt = 0;
    double hipAtChange = 0, speed = 0;
    PacingState unpacedLoop;
    for (int call = 0; call < 3000; ++call) {
        const int support = lab.placement.supportLeg;
        runIdlePlan(lab, planIdle(unpacedLoop, 0.0)); // one pass
        if (lab.placement.supportLeg == support) continue;
        if (changes++ > 0) {
            speed =
                (hipArc() - hipAtChange) / ((lab.stats.increments - changedAt) * phaseIncrement);
        }
        hipAtChange = hipArc();
        changedAt = lab.stats.increments;
    }
    EXPECT_EQ(lab.stats.steps, changes);
    EXPECT_NEAR(lab.stats.stepSpeed, speed, 1e-3 * speed);
    EXPECT_NEAR(lab.stats.stepSpeed, gaitTable.rows[0].meanSpeed, 0.1 * speed);
    const RobotState unpaced = lab.robot;

    SetUp();
    PacingState paced;
    togglePacing(paced, 0.0);
    for (double now = 0.005; lab.stats.increments < 3000; now += 0.005) {
        IdlePlan plan = planIdle(paced, now);
        plan.increments = std::min(plan.increments, int(3000 - lab.stats.increments));
        EXPECT_EQ(runIdlePlan(lab, plan), plan.redraw); // no redraw by count when paced
    }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(lab.robot.q[i], unpaced.q[i]);

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

// A frame wanted mid-plan stops the passes; the paced clock owes the rest again.
TEST_F(IdlePassTest, APlanStoppedForAFrameLeavesItsRestOwed) {
    togglePacing(lab.pacing, 0.0);
    const IdlePlan plan = planIdle(lab.pacing, 10 * phaseIncrement);
    ASSERT_EQ(plan.increments, 10);
    int run = 0;
    EXPECT_TRUE(runIdlePlan(lab, plan, [&run] { return ++run == 3; }));
    EXPECT_EQ(lab.stats.increments, 3);
    EXPECT_EQ(planIdle(lab.pacing, 10 * phaseIncrement).increments, 7);
}

// The trace: one row per pass, after the keys and changes of its call; a change with no usable
// step is noted and not asked for.
TEST(WalkTrace, PressesKeysAndAsksForGaitsBeforeTheirCallsAndNotesRefusals) {
    setupCore();
    Lab lab;
    WalkTraceRequest request;
    request.calls = 300;
    request.start = tableGait(2);
    request.presses = {{5, "x"}, {5, "z"}};
    GaitTarget still{customGait, gaitTable.rows[0]};
    still.entry.meanSpeed = 0;
    request.changes = {{7, "meanSpeed=0", still}};
    std::vector<WalkTraceRow> rows;
    std::vector<std::string> notes;
    traceWalk(lab, request, rows, notes);
    ASSERT_EQ(rows.size(), 300u);
    EXPECT_EQ(rows[0].call, 1);
    EXPECT_EQ(rows[3].gaitMode, 2) << "keys before their call";
    EXPECT_EQ(rows[4].gaitMode, 11) << "row 2, one length up, fast";
    EXPECT_EQ(rows[0].cycleMode, 2);
    EXPECT_EQ(rows[299].cycleMode, 11);
    EXPECT_EQ(rows[299].walked.meanSpeed, gaitTable.rows[11].meanSpeed);
    EXPECT_EQ(rows[299].q[2], lab.robot.q[2]);
    EXPECT_EQ(rows[299].stanceArc, lab.placement.stanceArc);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].rfind("call 7: the gait meanSpeed=0 gives no usable step", 0), 0u)
        << notes[0];

    // A key pressed just before the pass that ends a step is seen by that pass: the next step
    // is of the new gait at once.
    WalkTraceRequest plain;
    plain.calls = 200;
    plain.start = tableGait(0);
    rows.clear();
    traceWalk(lab, plain, rows, notes);
    long boundary = 1;
    while (boundary < 200 && rows[boundary].supportLeg == rows[0].supportLeg) ++boundary;
    plain.presses = {{boundary, "x"}}; // the pass before the support changes
    rows.clear();
    traceWalk(lab, plain, rows, notes);
    EXPECT_EQ(rows[boundary - 1].cycleMode, 1) << "the key at call " << boundary;
}

} // namespace

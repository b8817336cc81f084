#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

constexpr double increment = timeStep * timeScale;

class WalkCycleTest : public ::testing::Test {
  protected:
    void SetUp() override { simulationInit(); }

    RobotState state{};

    // Steps until the phase changes (bounded, so a stuck cycle fails instead of hanging).
    void runUntilPhaseChanges() {
        const int phase = walkCycle.phase;
        for (int calls = 0; walkCycle.phase == phase && calls < 100000; ++calls)
            simulationStep(state, 0, 0);
    }
};

// The first call writes row 0's start pose; a step ends only once the clock passes its length.
TEST_F(WalkCycleTest, FirstCallWritesRowZeroStartPoseAndStepEndIsStrict) {
    TrajectorySegment expected;
    ASSERT_TRUE(generateStep(gaitTable.rows[0], expected));
    segments[0].duration = increment; // the first advance reaches it exactly
    EXPECT_EQ(simulationStep(state, 0, 0), 0);
    double q[linkCount];
    toJointCoords(evalPose(expected, 0), q);
    for (int i = 0; i < linkCount; ++i) EXPECT_EQ(state.q[i], q[i]);
    EXPECT_EQ(walkCycle.phaseClock, increment);
    EXPECT_EQ(walkCycle.phase, 0);
    simulationStep(state, 0, 0);
    EXPECT_EQ(walkCycle.phase, 1);
    EXPECT_EQ(walkCycle.phaseClock, 0.0);
}

TEST_F(WalkCycleTest, SupportFlagChangesOnFirstCallOfEachBlend) {
    const int expectedFlag[segmentCount] = {0, 1, 1, 0};
    for (int round = 0; round < 8; ++round) {
        const int phase = walkCycle.phase;
        const int flag = simulationStep(state, 0, 0);
        EXPECT_EQ(flag, expectedFlag[phase]) << "phase " << phase;
        runUntilPhaseChanges();
    }
}

TEST_F(WalkCycleTest, BlendJoinsTouchDownSeenFromLandedFootToNextStep) {
    double lastClock = 0; // the clock of the call that ends step 0
    while (walkCycle.phase == 0) {
        lastClock = walkCycle.phaseClock;
        simulationStep(state, 0, 0);
    }
    const TrajectorySegment &step = segments[0], &blend = segments[1], &next = segments[2];
    const double T = blend.blendDuration;
    EXPECT_DOUBLE_EQ(T, 0.2 * step.duration);

    // Touch-down: the last pose written and the rates at the advanced clock.
    const LinkAngles touchDown = toLinkAngles(state.q);
    const double tEnd = lastClock + increment;
    double rates[linkCount], accels[linkCount], linkRates[linkCount], linkAccels[linkCount];
    evalPolyRates(step, tEnd, rates);
    evalPolyAccels(step, tEnd, accels);
    toLinkRates(rates, linkRates);
    toLinkRates(accels, linkAccels);

    for (int k = 0; k < modelLinkCount; ++k) {
        JointPolynomial d1, d2, n1, n2;
        derivPoly(blend.poly[k], d1);
        derivPoly(d1, d2);
        derivPoly(next.poly[k], n1);
        derivPoly(n1, n2);
        const int j = modelLinkCount - 1 - k;
        EXPECT_NEAR(evalPoly(blend.poly[k], 0), touchDown.theta[j], 1e-9) << k;
        EXPECT_NEAR(evalPoly(d1, 0), linkRates[j], 1e-9) << k;
        EXPECT_NEAR(evalPoly(d2, 0), linkAccels[j], 1e-9) << k;
        EXPECT_NEAR(evalPoly(blend.poly[k], T), evalPoly(next.poly[k], 0), 1e-9) << k;
        EXPECT_NEAR(evalPoly(d1, T), evalPoly(n1, 0), 1e-8) << k;
        EXPECT_NEAR(evalPoly(d2, T), evalPoly(n2, 0), 1e-6) << k;
    }
}

TEST_F(WalkCycleTest, GaitLatchKeepsFirstRequestAndRestoresRow) {
    simulationStep(state, 1, 1); // latched
    simulationStep(state, 1, 2); // dropped: a change is already waiting
    EXPECT_EQ(walkCycle.pendingMode, 1);
    runUntilPhaseChanges();
    EXPECT_EQ(walkCycle.currentMode, 1);
    EXPECT_EQ(walkCycle.changeLatched, 0);
    EXPECT_EQ(gaitTable.rows[0].foreStep, gaitTable.rows[0].backStep);

    // The transition step lands at row 1's distance from row 0's start.
    GaitEntry transition = gaitTable.rows[0];
    transition.foreStep = gaitTable.rows[1].backStep;
    TrajectorySegment expected;
    ASSERT_TRUE(generateStep(transition, expected));
    EXPECT_EQ(segments[2].duration, expected.duration);
    for (int k = 0; k < modelLinkCount; ++k)
        for (int i = 0; i < polyCoeffCount; ++i)
            EXPECT_EQ(segments[2].poly[k].c[i], expected.poly[k].c[i]);

    // A request after the boundary is latched normally.
    simulationStep(state, 1, 5);
    EXPECT_EQ(walkCycle.changeLatched, 1);
    EXPECT_EQ(walkCycle.pendingMode, 5);
}

TEST_F(WalkCycleTest, RequestInTheCallThatEndsAStepIsUsedAtOnce) {
    segments[0].duration = increment / 2; // the first call ends the step
    simulationStep(state, 1, 1);
    EXPECT_EQ(walkCycle.phase, 1);
    EXPECT_EQ(walkCycle.currentMode, 1);
}

TEST_F(WalkCycleTest, FarLengthChangeGoesOneLevelPerStep) {
    simulationStep(state, 1, 3); // 0 -> 3 cannot be generated in one step
    runUntilPhaseChanges();
    EXPECT_EQ(walkCycle.currentMode, 1);
    EXPECT_EQ(walkCycle.changeLatched, 1);
    EXPECT_EQ(walkCycle.pendingMode, 3);
    for (int i = 0; i < 2; ++i) runUntilPhaseChanges(); // the next step boundary
    EXPECT_EQ(walkCycle.currentMode, 2);
    for (int i = 0; i < 2; ++i) runUntilPhaseChanges();
    EXPECT_EQ(walkCycle.currentMode, 3);
    EXPECT_EQ(walkCycle.changeLatched, 0);
    for (const TrajectorySegment& seg : segments)
        for (const JointPolynomial& p : seg.poly)
            for (double c : p.c) EXPECT_TRUE(std::isfinite(c));
}

} // namespace

#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "tests/poly_motion.h"
#include "walking/walk_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace orva;

namespace {

constexpr double increment = timeStep * timeScale;

class WalkCycleTest : public ::testing::Test {
  protected:
    void SetUp() override { simulationInit(walkCycle); }

    WalkCycle walkCycle{};
    TrajectorySegment (&segments)[segmentCount] = walkCycle.segments;

    RobotState state{};

    // One call; the support flag is 1 in phases 1 and 2, so it changes on the first call of
    // each blend, when the foot that just landed takes the load.
    void step(int modeRequest = 0, int requestedMode = 0) {
        const int phase = walkCycle.phase;
        EXPECT_EQ(simulationStep(walkCycle, state, modeRequest, requestedMode),
                  phase == 1 || phase == 2);
    }

    // Steps until the phase changes (bounded, so a stuck cycle fails instead of hanging).
    void runUntilPhaseChanges() {
        const int phase = walkCycle.phase;
        for (int calls = 0; walkCycle.phase == phase && calls < 100000; ++calls) step();
    }
};

// The first call writes row 0's start pose; a step and a blend end only once the clock has
// passed their length, not on reaching it.
TEST_F(WalkCycleTest, FirstCallWritesRowZeroStartPoseAndSegmentEndsAreStrict) {
    TrajectorySegment expected;
    ASSERT_TRUE(generateStep(gaitTable.rows[0], expected));
    segments[0].duration = increment; // the first advance reaches it exactly
    step();
    double q[linkCount];
    toJointCoords(evalPose(expected, 0), q);
    for (int i = 0; i < linkCount; ++i) EXPECT_EQ(state.q[i], q[i]);
    EXPECT_EQ(walkCycle.phaseClock, increment);
    EXPECT_EQ(walkCycle.phase, 0);
    step();
    EXPECT_EQ(walkCycle.phase, 1);
    EXPECT_EQ(walkCycle.phaseClock, 0.0);
    segments[1].blendDuration = increment;
    step();
    EXPECT_EQ(walkCycle.phase, 1);
    step();
    EXPECT_EQ(walkCycle.phase, 2);
}

TEST_F(WalkCycleTest, BlendJoinsTouchDownSeenFromLandedFootToNextStep) {
    double lastClock = 0; // the clock of the call that ends step 0
    while (walkCycle.phase == 0) {
        lastClock = walkCycle.phaseClock;
        step();
    }
    const TrajectorySegment &ended = segments[0], &blend = segments[1], &next = segments[2];
    const double T = blend.blendDuration;
    EXPECT_DOUBLE_EQ(T, 0.2 * ended.duration);

    // Touch-down: the last pose written, and the rates and accelerations at the advanced clock.
    const LinkAngles touchDown = toLinkAngles(state.q);
    for (int k = 0; k < modelLinkCount; ++k) {
        const int j = modelLinkCount - 1 - k;
        double touch[3], start[3], end[3], nextStart[3];
        polyMotion(ended.poly[j], lastClock + increment, touch);
        touch[0] = touchDown.theta[j];
        polyMotion(blend.poly[k], 0, start);
        polyMotion(blend.poly[k], T, end);
        polyMotion(next.poly[k], 0, nextStart);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(start[i], touch[i], 1e-9) << k << i;
            EXPECT_NEAR(end[i], nextStart[i], 1e-6) << k << i;
        }
    }
}

// A request waits for the next step boundary, and one made meanwhile is dropped. The far change
// 0 -> 11 (length level 0 to 3, slow to fast), which no one step makes, goes one length level
// per step, through 9 and 10; its first step is row 0 landing at row 9's distance.
TEST_F(WalkCycleTest, GaitChangeWaitsForTheStepBoundaryAndGoesOneLengthLevelPerStep) {
    step(1, 11); // latched
    step(1, 2);  // dropped: a change is already waiting
    EXPECT_EQ(walkCycle.pending.mode, 11);
    runUntilPhaseChanges();
    EXPECT_EQ(walkCycle.current.mode, 9);
    EXPECT_EQ(walkCycle.changeLatched, 1);
    GaitEntry transition = gaitTable.rows[0];
    transition.foreStep = gaitTable.rows[9].backStep;
    TrajectorySegment expected;
    ASSERT_TRUE(generateStep(transition, expected));
    EXPECT_EQ(segments[2].duration, expected.duration);
    EXPECT_EQ(std::memcmp(segments[2].poly, expected.poly, sizeof expected.poly), 0);

    for (int mode : {10, 11}) {
        for (int i = 0; i < 2; ++i) runUntilPhaseChanges(); // the next step boundary
        EXPECT_EQ(walkCycle.current.mode, mode);
    }
    EXPECT_EQ(walkCycle.changeLatched, 0);
    for (const TrajectorySegment& seg : segments)
        for (const JointPolynomial& p : seg.poly)
            for (double c : p.c) EXPECT_TRUE(std::isfinite(c));
    step(1, 5); // a request after the change is latched again
    EXPECT_EQ(walkCycle.pending.mode, 5);
}

TEST_F(WalkCycleTest, RequestInTheCallThatEndsAStepIsUsedAtOnce) {
    segments[0].duration = increment / 2; // the first call ends the step
    step(1, 1);
    EXPECT_EQ(walkCycle.phase, 1);
    EXPECT_EQ(walkCycle.current.mode, 1);
}

} // namespace

namespace {

// Runs w to its next step boundary at once: the call that ends step 0.
void stepBoundary(WalkCycle& w, RobotState& state, int request, const GaitTarget& target) {
    w.phase = 0;
    w.phaseClock = w.segments[0].duration;
    simulationStep(w, state, request, target);
}

bool sameSegment(const TrajectorySegment& a, const TrajectorySegment& b) {
    return a.duration == b.duration && std::memcmp(a.poly, b.poly, sizeof a.poly) == 0;
}

// A gait equal to table row m, but named by its fields, walks exactly like row m.
TEST(CustomGait, EqualToATableRowWalksExactlyLikeIt) {
    setupCore();
    for (int m : {0, 6, 11, 15}) {
        WalkCycle table{}, custom{};
        simulationInit(table, tableGait(m));
        simulationInit(custom, GaitTarget{customGait, gaitTable.rows[m]});
        RobotState a{}, b{};
        for (int call = 0; call < 400; ++call) {
            simulationStep(table, a, 0, 0);
            simulationStep(custom, b, 0, 0);
            ASSERT_EQ(std::memcmp(a.q, b.q, sizeof a.q), 0) << m << " " << call;
        }
    }
}

// Random targets, usable or not, near or far: every step replayed is the generator's usable
// step from the gait before (directly or to a gait part of the way), the walker ends on the
// target or counts a refusal, and no boundary calls the generator more than its budget allows.
TEST(CustomGait, StormOfTargetsNeverReplaysAnUnusableStep) {
    WalkCycle w{};
    simulationInit(w);
    RobotState state{};
    unsigned seed = 12345;
    auto uniform = [&seed](double lo, double hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + (hi - lo) * ((seed >> 8) & 0xffff) / 65535.0;
    };
    int reached = 0, refused = 0, partWay = 0, worstCalls = 0;
    TrajectorySegment expected;
    for (int n = 0; n < 10000; ++n) {
        GaitTarget target = tableGait(n % gaitModeCount);
        if (n % 5 != 0) {
            target.mode = customGait;
            GaitEntry& e = target.entry;
            e.backStep = e.foreStep = uniform(0.01, 0.5);
            e.meanSpeed = uniform(0.02, 0.8);
            e.clearance = uniform(0.01, 0.35);
            if (n % 7 == 0) e.hipHeightEnd = uniform(0.8, 0.9);
            if (n % 11 == 0) e.hipAyEnd = uniform(-6, -2);
        }
        const int refusalsBefore = w.refusals;
        int boundaries = 0;
        do {
            const GaitTarget from = w.current;
            stepBoundary(w, state, boundaries == 0, target);
            ASSERT_LT(++boundaries, 200) << "no end to the change " << n;
            worstCalls = std::max(worstCalls, w.boundaryCalls);
            ASSERT_LE(w.boundaryCalls, maxBoundaryCalls);
            // The step replayed is the usable step from the gait before to the one walked now.
            const GaitEntry made = sameGait(from, w.current)
                                       ? from.entry
                                       : transitionEntry(from.entry, w.current.entry);
            ASSERT_TRUE(generateStep(made, expected)) << n;
            ASSERT_TRUE(sameSegment(expected, w.segments[2])) << n;
        } while (w.changeLatched);
        partWay += boundaries - 1;
        if (sameGait(w.current, target))
            ++reached;
        else
            ASSERT_EQ(w.refusals, refusalsBefore + 1) << n;
        refused += w.refusals - refusalsBefore;
        ASSERT_TRUE(generateStep(w.current.entry, expected)) << "the gait kept must be usable";
    }
    EXPECT_GT(reached, 3000);
    EXPECT_GT(refused, 300);
    EXPECT_GT(partWay, 100);
    RecordProperty("worstBoundaryCalls", worstCalls);
}

} // namespace

namespace {

// A custom gait no one step reaches is walked towards through the gait a half, a quarter or an
// eighth of the way, the largest of them that makes a usable step: in each case here the larger
// ones do not, so the gait walked after the first boundary is exactly that fraction of the way.
TEST(CustomGait, PartWayGaitsAreAHalfAQuarterAndAnEighthOfTheWay) {
    setupCore();
    struct Case {
        int from;
        int base; // the target is this row with the fields below
        double backStep, hipHeightStart, hipAyEnd;
        double fraction;
    };
    const Case cases[] = {{4, 15, 0.30, 0.86, -4, 0.5},
                          {4, 15, 0.31, 0.86, -4, 0.25},
                          {11, 10, 0.50, 0.30, 2, 0.125}};
    for (const Case& c : cases) {
        SCOPED_TRACE("a fraction " + std::to_string(c.fraction) + " of the way from row " +
                     std::to_string(c.from));
        GaitTarget target = tableGait(c.base);
        target.mode = customGait;
        target.entry.backStep = c.backStep;
        target.entry.hipHeightStart = c.hipHeightStart;
        target.entry.hipAyEnd = c.hipAyEnd;
        WalkCycle w{};
        simulationInit(w, tableGait(c.from));
        RobotState state{};
        stepBoundary(w, state, 1, target);
        ASSERT_TRUE(w.changeLatched) << "the change went in one step";
        const GaitEntry& a = gaitTable.rows[c.from];
        for (const GaitField& f : gaitFields)
            EXPECT_EQ(w.current.entry.*f.member,
                      a.*f.member + c.fraction * (target.entry.*f.member - a.*f.member))
                << f.name;
    }
}

} // namespace

#include "gait/dynamics.h"
#include "gait/poly_fit.h"
#include "shell/dynamics_history.h"
#include "shell/idle_pass.h"
#include "shell/lab.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

int newest(const DynamicsHistory& h, int age = 0) {
    return (h.next + historyLength - 1 - age) % historyLength;
}

// Every pass records the dynamics of the pose it showed (not the one the next pass shows), in
// the ring's newest place; blends are marked for as long as the cycle blends; the step summary
// follows a gait change.
TEST(DynamicsHistory, RecordsThePoseShownAndMarksTheBlendsAsLongAsTheyLast) {
    Lab lab;
    startWalking(lab);
    const DynamicsHistory& h = lab.dynamics;
    PacingState unpaced;
    for (int pass = 0; pass < 600; ++pass) {
        // The pose a pass shows comes from the segment and clock the cycle held before it.
        const int phase = lab.walker.phase;
        const double clock = lab.walker.phaseClock;
        runIdlePlan(lab, planIdle(unpaced, 0.0));
        const TrajectorySegment& seg = lab.walker.segments[phase];
        const LinkAngles shown = toLinkAngles(lab.robot.q);
        for (int k = 0; k < modelLinkCount; ++k)
            ASSERT_NEAR(evalPoly(seg.poly[k], clock), shown.theta[k], 1e-12) << pass << " " << k;
        const DynamicsSample expected = dynamicsAt(seg, clock);
        ASSERT_EQ(h.latest.fy, expected.fy) << "pass " << pass << ": not the pose shown";
        ASSERT_EQ(h.fy[newest(h)], static_cast<float>(expected.fy)) << "pass " << pass;
        ASSERT_EQ(h.tau[4][newest(h)], static_cast<float>(expected.tau[4])) << "pass " << pass;
        ASSERT_EQ(h.cop[newest(h)], static_cast<float>(expected.cop)) << "pass " << pass;
    }
    EXPECT_EQ(h.count, historyLength);

    // Row 0 walks steadily: each run of blend samples lasts the blend, each other run the step.
    const double blendPasses = lab.walker.segments[1].blendDuration / phaseIncrement;
    const double stepPasses = lab.walker.segments[0].duration / phaseIncrement;
    int runs = 0;
    for (int age = 1, run = 1; age < historyLength; ++age, ++run) {
        if (h.blend[newest(h, age)] == h.blend[newest(h, age - 1)]) continue;
        if (run < age) { // a whole run, not the one the ring cut
            const double expected = h.blend[newest(h, age - 1)] ? blendPasses : stepPasses;
            EXPECT_NEAR(run, expected, 1.5)
                << "a run of " << (h.blend[newest(h, age - 1)] ? "blend" : "step")
                << " samples ending " << age - run << " passes ago";
            ++runs;
        }
        run = 0;
    }
    EXPECT_GE(runs, 2);

    StepDynamics cache;
    int from = currentStepDynamics(cache, lab.walker, lab.stats).from, to = cache.to;
    EXPECT_EQ(from * 100 + to, 0) << "the step before the change";
    pressGaitKey(lab.gait, 'z'); // row 8
    for (int pass = 0; pass < 600; ++pass) {
        runIdlePlan(lab, planIdle(unpaced, 0.0));
        const StepDynamics& step = currentStepDynamics(cache, lab.walker, lab.stats);
        if (step.from != from || step.to != to) {
            EXPECT_TRUE(step.to == 8 && (step.from == 0 || step.from == 8))
                << "step " << step.from << ">" << step.to;
            from = step.from;
            to = step.to;
        }
    }
    EXPECT_EQ(from * 100 + to, 808) << "the summary did not reach the new gait";
    EXPECT_GT(cache.summary.positiveWork, 0.0);
}

TEST(DynamicsHistory, WarnsOffTheFootAboveTheFrictionLimitAndWhereTheGroundPulls) {
    DynamicsSample d{};
    d.fy = 300;
    d.cop = footToe + 1e-3;
    d.friction = frictionLimit + 1e-3;
    DynamicsWarnings w = dynamicsWarnings(d);
    EXPECT_TRUE(w.copOffFoot && w.frictionHigh && !w.groundPulls);
    d.cop = footHeel + 1e-3;
    d.friction = frictionLimit;
    w = dynamicsWarnings(d);
    EXPECT_FALSE(w.copOffFoot || w.frictionHigh || w.groundPulls);
    d.cop = footHeel - 1e-3;
    EXPECT_TRUE(dynamicsWarnings(d).copOffFoot);
    d.fy = 0;
    d.cop = d.friction = NAN;
    w = dynamicsWarnings(d);
    EXPECT_TRUE(!w.copOffFoot && !w.frictionHigh && w.groundPulls);
}

} // namespace

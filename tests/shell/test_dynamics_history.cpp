#include "gait/dynamics.h"
#include "gait/poly_fit.h"
#include "shell/dynamics_history.h"
#include "shell/idle_pass.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

// Every pass records the dynamics of the pose it showed, blends and a gait change included, from
// the segment and clock the cycle replayed; the summary is that of the step the walk is in.
TEST(DynamicsHistory, FollowsThePosesTheWalkShowsAndSummarisesTheCurrentStep) {
    startWalking();
    PacingState unpaced;
    const DynamicsHistory& h = dynamicsHistory;
    int blendPasses = 0;
    for (int pass = 0; pass < 450; ++pass) {
        if (pass == 120) onKey('z', 0, 0);
        runIdlePlan(planIdle(unpaced, 0.0));
        const LinkAngles shown = toLinkAngles(robotState.q);
        for (int k = 0; k < modelLinkCount; ++k)
            ASSERT_NEAR(evalPoly(walkCycle.segments[h.latestPhase].poly[k], h.latestClock),
                        shown.theta[k], 1e-12)
                << pass;
        const DynamicsSample d = dynamicsAt(walkCycle.segments[h.latestPhase], h.latestClock);
        ASSERT_EQ(h.latest.tau[3], d.tau[3]);
        const int newest = (h.next + historyLength - 1) % historyLength;
        ASSERT_EQ(h.fy[newest], static_cast<float>(d.fy));
        ASSERT_EQ(h.blend[newest], h.latestPhase % 2 == 1);
        blendPasses += h.blend[newest];
    }
    EXPECT_EQ(h.count, historyLength);
    EXPECT_GT(blendPasses, 20);
    EXPECT_EQ(walkCycle.current.mode, 8);

    StepDynamics cache;
    const StepDynamics& step = currentStepDynamics(cache);
    const int phase = walkCycle.phase;
    const TrajectorySegment& seg = walkCycle.segments[phase == 1 || phase == 2 ? 2 : 0];
    EXPECT_EQ(step.summary.positiveWork, summarizeDynamics(seg, 0.1).positiveWork);
    EXPECT_EQ(step.stepLength, 0.1);
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

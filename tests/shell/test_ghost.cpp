#include "gait/let_loose.h"
#include "model/core_setup.h"
#include "shell/ghost.h"
#include "walking/walk_cycle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>

using namespace orva;

namespace {

struct Walk {
    WalkCycle walker{};
    RobotState robot{};
    Walk() {
        setupCore();
        simulationInit(walker, tableGait(3));
    }
    // One idle pass of the walk on row 3, each ghost noted after it as the window does.
    void pass(std::initializer_list<Ghost*> ghosts) {
        simulationStep(walker, robot, 0, 3);
        for (Ghost* ghost : ghosts) noteGhost(*ghost, walker);
    }
};

// Shown from the start, the ghost is let loose from the pose each step starts with, follows the
// step in lockstep with the walk to the same state as one integration to that time, is not
// drawn in the blends and starts again with the next step; the plan's history is the pose shown.
TEST(Ghost, LetsEveryStepLooseInLockstepWithTheWalk) {
    Walk walk;
    Ghost ghost;
    ghost.shown = true;
    int steps = 0, blendPasses = 0;
    double lastDrift = 0;
    for (int pass = 0; pass < 400; ++pass) {
        const int phase = walk.walker.phase;
        const double clock = walk.walker.phaseClock;
        walk.pass({&ghost});
        const LinkAngles shown = toLinkAngles(walk.robot.q);
        const int newest = (ghost.next + historyLength - 1) % historyLength;
        ASSERT_EQ(ghost.planAnkle[newest], static_cast<float>(shown.theta[0])) << pass;
        ASSERT_EQ(ghostDrawn(ghost), phase % 2 == 0) << pass;
        if (phase % 2) {
            ++blendPasses;
            ASSERT_TRUE(std::isnan(ghost.ankle[newest]));
            continue;
        }
        if (clock == 0) {
            ++steps;
            for (int k = 0; k < modelLinkCount; ++k)
                ASSERT_NEAR(ghost.motion.theta[k], shown.theta[k], 1e-12) << k;
        }
        LooseState once = looseStart;
        advanceLoose(ghost.seg, ghost.free, once, clock);
        ASSERT_NEAR(ghost.state.offset[0], once.offset[0], 1e-10) << pass;
        lastDrift = std::fmax(lastDrift, std::fabs(ghost.state.offset[0]));
    }
    EXPECT_GE(steps, 3);
    EXPECT_GT(blendPasses, 20);
    EXPECT_GT(lastDrift, 0.01); // row 3 drifts by some 2.5 degrees a step
}

// Shown mid-step, or switched to the torso mid-step, the ghost is let loose from its step's
// start: it reaches the state of a ghost that was shown, or torso-free, from the start.
TEST(Ghost, ShownOrChangedMidStepStartsFromTheStepsStart) {
    Walk walk;
    Ghost ankle, torso, late;
    ankle.shown = torso.shown = true;
    torso.free = FreeJoints::torso;
    for (int pass = 0; pass < 160; ++pass) {
        walk.pass({&ankle, &torso, &late});
        // At once, as when paused: no pass between the key and the ghost drawn.
        if (pass == 30) showGhost(late, walk.walker, true);
        if (pass == 50) setGhostFree(late, walk.walker, FreeJoints::torso);
        if (pass < 30) continue;
        const Ghost& same = pass < 50 ? ankle : torso;
        ASSERT_EQ(ghostDrawn(late), ghostDrawn(same)) << pass;
        ASSERT_EQ(late.stepPhase, same.stepPhase) << pass;
        for (int j = 0; j < 2; ++j)
            ASSERT_NEAR(late.state.offset[j], same.state.offset[j], 1e-9) << pass;
    }
    EXPECT_EQ(late.stepPhase, 2); // through a blend into the next step
}

} // namespace

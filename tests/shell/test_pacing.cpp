#include <gtest/gtest.h>

#include <random>

#include "shell/pacing.h"
#include "walking/walk_cycle.h"

using namespace orva;

namespace {

struct Tally {
    long long increments = 0, frames = 0, calls = 0, idleWakeUps = 0;
};

// Idle calls from `now` for `seconds` of wall time, each after the wait the last one asked for
// (plus 20 us of work), or after a random 1..20 ms when `irregular`.
Tally drive(PacingState& p, double& now, double seconds, bool irregular = false) {
    static std::mt19937 random(7);
    Tally run;
    const double end = now + seconds;
    double wait = 0;
    while (now < end) {
        now += irregular ? (1 + random() % 20) * 1e-3 : wait + 2e-5;
        const IdlePlan plan = planIdle(p, now);
        EXPECT_LE(plan.increments * phaseIncrement, maxPhasePerCall);
        EXPECT_TRUE(plan.redraw || plan.waitSeconds > 0) << "spins at " << now;
        if (wait > 0 && plan.increments == 0 && !plan.redraw && plan.waitSeconds < longestWait)
            ++run.idleWakeUps;
        run.increments += plan.increments;
        run.frames += plan.redraw;
        ++run.calls;
        wait = plan.waitSeconds;
    }
    return run;
}

TEST(Pacing, PacedClockKeepsTimeOverAMillionIncrementsAndDrawsAtTheRefreshRate) {
    PacingState p;
    double now = 1000.0;
    togglePacing(p, now);
    const Tally run = drive(p, now, 1e6 * phaseIncrement);
    EXPECT_NEAR(run.increments, 1e6, 1.0); // no drift
    EXPECT_NEAR(run.frames, 1e6 * phaseIncrement / framePeriod, 1e6 * phaseIncrement);
    EXPECT_EQ(run.idleWakeUps, 0); // each wait ends when an increment or a frame is due

    const Tally irregular = drive(p, now, 100.0, true);
    EXPECT_NEAR(irregular.increments, 100.0 / phaseIncrement, 1.0);
    EXPECT_LE(irregular.frames, 100.0 / framePeriod + 1);
}

TEST(Pacing, SpeedChangesPausesAndStallsKeepThePhaseContinuous) {
    PacingState p;
    double now = 50.0;
    togglePacing(p, now);
    long long done = 0;
    double expected = 0;
    auto walkFor = [&](double seconds) {
        const double from = now;
        done += drive(p, now, seconds, true).increments;
        expected += speedFactor(p) * (now - from) / phaseIncrement;
    };
    walkFor(10.0);
    changeSpeed(p, 2, now); // 4x
    walkFor(10.0);
    changeSpeed(p, -10, now); // clamped at 1/16x
    EXPECT_EQ(speedFactor(p), 1.0 / 16);
    walkFor(10.0);
    changeSpeed(p, 4, now);
    togglePause(p, now);
    EXPECT_EQ(drive(p, now, 5.0, true).increments, 0);
    requestStep(p); // one increment and a frame, outside the clock
    const IdlePlan step = planIdle(p, now);
    EXPECT_EQ(step.increments, 1);
    EXPECT_TRUE(step.redraw);
    togglePause(p, now);
    walkFor(10.0);
    EXPECT_NEAR(done, expected, 1.0);

    // After a stall only 0.25 phase seconds are made up; then the clock goes on as before.
    now += 10.0;
    EXPECT_EQ(planIdle(p, now).increments, int(maxPhasePerCall / phaseIncrement));
    done = 0;
    expected = 0;
    walkFor(1.0);
    EXPECT_NEAR(done, expected, 1.0);
}

TEST(Pacing, UnpacedRunsOnePassPerCallAndWaitsOnlyWhilePaused) {
    PacingState p;
    const IdlePlan plan = planIdle(p, 0.0);
    EXPECT_EQ(plan.increments, 1);
    EXPECT_TRUE(plan.redrawEveryTenth);
    EXPECT_EQ(plan.waitSeconds, 0.0);
    togglePause(p, 0.0);
    EXPECT_EQ(planIdle(p, 1.0).increments, 0);
    EXPECT_GT(planIdle(p, 1.0).waitSeconds, 0.0);
    requestStep(p);
    EXPECT_EQ(planIdle(p, 1.0).increments, 1);
    togglePause(p, 2.0);
    EXPECT_EQ(planIdle(p, 2.0).increments, 1);
}

} // namespace

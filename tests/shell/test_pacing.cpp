#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "shell/pacing.h"
#include "walking/walk_cycle.h"

using namespace orva;

namespace {

struct Tally {
    long long increments = 0, frames = 0, idleWakeUps = 0;
};

// Idle calls for `seconds` of wall time, each after the wait the last one asked for (plus
// 20 us of work), or after a random 1..20 ms when `irregular`.
Tally drive(PacingState& p, double& now, double seconds, bool irregular) {
    static std::mt19937 random(7);
    Tally tally;
    const double end = now + seconds;
    double wait = 0;
    while (now < end) {
        now += irregular ? (1 + random() % 20) * 1e-3 : wait + 2e-5;
        const IdlePlan plan = planIdle(p, now);
        EXPECT_LE(plan.increments * phaseIncrement, maxPhasePerCall);
        EXPECT_TRUE(plan.redraw || plan.waitSeconds > 0) << "spins at " << now;
        if (wait > 0 && plan.increments == 0 && !plan.redraw && plan.waitSeconds < longestWait)
            ++tally.idleWakeUps;
        tally.increments += plan.increments;
        tally.frames += plan.redraw;
        wait = plan.waitSeconds;
    }
    return tally;
}

TEST(Pacing, PacedClockKeepsTimeThroughSpeedChangesPausesAndStalls) {
    PacingState p;
    double now = 1000.0;
    togglePacing(p, now);
    const Tally run = drive(p, now, 1e6 * phaseIncrement, false);
    EXPECT_NEAR(run.increments, 1e6, 1.0); // no drift
    EXPECT_NEAR(run.frames, 1e6 * phaseIncrement / framePeriod, 1e6 * phaseIncrement);
    EXPECT_EQ(run.idleWakeUps, 0); // each wait ends when an increment or a frame is due

    long long done = 0;
    double expected = 0;
    auto walkFor = [&](double seconds) {
        const double from = now;
        const Tally tally = drive(p, now, seconds, true);
        EXPECT_LE(tally.frames, std::min((now - from) / framePeriod, 1.0 * tally.increments) + 1);
        done += tally.increments;
        expected += speedFactor(p) * (now - from) / phaseIncrement;
    };
    walkFor(10.0);
    changeSpeed(p, 5, now); // clamped at 4x
    EXPECT_EQ(speedFactor(p), 4.0);
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
    EXPECT_EQ(planIdle(p, now).increments, int(0.25 / phaseIncrement));
    done = 0;
    expected = 0;
    walkFor(1.0);
    EXPECT_NEAR(done, expected, 1.0);
}

} // namespace

// How the idle loop is paced, without a window: how many simulation increments an idle call
// runs, whether it asks for a redraw, and how long it may then wait. The wall clock is passed
// in, in seconds.
//
// Offers: PacingState, the speed bounds, speedFactor,
// togglePacing, togglePause, changeSpeed, requestStep, IdlePlan, planIdle, giveBackIncrements,
// wallSeconds.
//
// Unpaced (the start): one increment per idle call and a redraw after every tenth, as fast as
// idle calls come. Paced: the phase clock follows the wall clock times the speed factor; a call
// runs the increments due, at most maxPhasePerCall of phase time (the rest is dropped after a
// stall), and redraws at most once per framePeriod. Paused, in either mode, nothing runs but
// the single step asked for with requestStep.
#pragma once

struct PacingState {
    bool paced = false;
    bool paused = false;
    int speedLevel = 0;      // the speed factor is 2^speedLevel
    bool stepWanted = false; // one increment asked for while paused
    // The paced clock: increments due = owedAtAnchor + speed x (now - anchorWall) / increment,
    // less those done since the anchor. Counting from an anchor keeps long runs from drifting.
    double anchorWall = 0.0;   // s
    double owedAtAnchor = 0.0; // increments, with their fraction
    long long doneSinceAnchor = 0;
    double lastFrameWall = -1e9; // s
    bool frameOwed = false;      // increments ran since the last frame
};

constexpr int minSpeedLevel = -4;        // 1/16 x
constexpr int maxSpeedLevel = 2;         // 4 x
constexpr double framePeriod = 1.0 / 60; // s: one display refresh
constexpr double maxPhasePerCall = 0.25; // phase s
constexpr double longestWait = 0.1;      // s: a waiting loop still returns to GLUT this often

double speedFactor(const PacingState& pacing);

// Each keeps the phase continuous: no increment is lost or doubled by the change.
void togglePacing(PacingState& pacing, double now);
void togglePause(PacingState& pacing, double now);
void changeSpeed(PacingState& pacing, int levels, double now); // clamped to the bounds
void requestStep(PacingState& pacing);                         // only while paused

struct IdlePlan {
    int increments;        // idle passes (stages 1 to 8) to run now
    bool redrawEveryTenth; // the redraw follows the idle pass's own count (unpaced)
    bool redraw;           // ask for a redraw once they ran
    double waitSeconds;    // then wait this long for window events (0: return at once)
};

IdlePlan planIdle(PacingState& pacing, double now);
// Increments a plan named that did not run (a video frame came first): the paced clock owes
// them again.
void giveBackIncrements(PacingState& pacing, int increments);

// Seconds of a steady clock, for the window program.
double wallSeconds();

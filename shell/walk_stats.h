// What the panel shows of the walk, gathered without a window: distance, steps, the speed over
// the last step, the last 3 phase seconds of the pose, and the measured real-time factor and
// frame rate.
//
// Offers: WalkStats, historyLength, noteIncrement, noteFrame,
// updateRates, laps. The window program calls noteIncrement after
// every idle pass, noteFrame for every frame and updateRates on every idle call.
#pragma once

#include <cstddef>

#include "gait/step_generator.h"
#include "model/body_model.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

// The last 3 phase seconds, one sample per increment.
constexpr int historyLength = 400;

struct WalkStats {
    long long increments = 0; // idle passes run, each one phase increment
    double distance = 0.0;    // centre of mass along the path, m
    long long frames = 0;
    int steps = 0;          // changes of support
    double stepSpeed = 0.0; // forward speed over the last step, m per phase s
    double stepStartDistance = 0.0;
    long long stepStartIncrement = 0;
    // The step the generator made last, in gait modes (customGait for a custom gait); byLevel
    // when a far change went part of the way.
    int stepFrom = 0, stepTo = 0;
    bool byLevel = false;
    int lastPhase = 0, lastMode = 0, lastSupport = 0; // of the walking cycle after the last pass
    // Pose history, a ring of historyLength samples ending before historyNext.
    float joint[orva::modelLinkCount][historyLength] = {};
    float comHeight[historyLength] = {};    // above the stance ankle, m
    float forwardSpeed[historyLength] = {}; // of the centre of mass, m per phase s
    int historyNext = 0;
    // Rates measured over about half a wall second.
    double rateSince = -1.0; // wall s
    long long incrementsAtRate = 0, framesAtRate = 0;
    double realTimeFactor = 0.0; // phase s per wall s
    double framesPerSecond = 0.0;
};
// The window probe of bench/ reads these two fields of the program's instance.
static_assert(offsetof(WalkStats, increments) == 0 && offsetof(WalkStats, distance) == 8,
              "the probe's view of WalkStats");

// After an idle pass: the walk as the pass left it.
void noteIncrement(WalkStats& stats, const WalkerPlacement& place, const orva::WalkCycle& walker,
                   const orva::RobotState& robot);
void noteFrame(WalkStats& stats);
void updateRates(WalkStats& stats, double wallSeconds);

int laps(const WalkStats& stats, double pathRadius); // whole turns of the path circle, m

// What the panel's Dynamics section shows, gathered without a window: the inverse dynamics of
// every pose the walk shows over the last 3 phase seconds, and the summary of the current step.
// The split of the ground force between the feet during a blend is not determined by the
// motion: a blend is taken as single support on the stance foot the walking cycle reports.
//
// Offers: frictionLimit, DynamicsHistory, noteDynamics,
// DynamicsWarnings, dynamicsWarnings, StepDynamics, currentStepDynamics. The window
// program calls noteDynamics after every idle pass, after noteIncrement.
#pragma once

#include "assets/data_set.h"
#include "gait/dynamics.h"
#include "model/constants.h"
#include "shell/walk_stats.h"

// Friction needed above this is marked: a common limit in gait optimisation.
constexpr double frictionLimit = 0.6;

struct DynamicsHistory {
    // A ring of historyLength samples ending before next, one per idle pass; cop and friction
    // NaN where fy <= 0.
    float tau[orva::modelLinkCount][historyLength] = {};
    float fx[historyLength] = {}, fy[historyLength] = {}; // N
    float cop[historyLength] = {};                        // m ahead of the stance ankle
    float friction[historyLength] = {};
    bool blend[historyLength] = {}; // the sample is of a blend
    int next = 0;
    int count = 0; // samples recorded, up to historyLength
    // The newest sample and the segment and time it was taken at.
    orva::DynamicsSample latest{};
    int latestPhase = 0;
    double latestClock = 0.0;
    // The walking cycle's phase and clock after the last pass: where the next pose comes from.
    int phase = 0;
    double clock = 0.0;
};

// After an idle pass: the dynamics of the pose it showed.
void noteDynamics(DynamicsHistory& history, const orva::WalkCycle& walker);

struct DynamicsWarnings {
    bool copOffFoot;   // the centre of pressure lies outside the stance foot
    bool frictionHigh; // more friction needed than frictionLimit
    bool groundPulls;  // fy <= 0
};
DynamicsWarnings dynamicsWarnings(const orva::DynamicsSample& sample);

// The step the walk is in, or begins after the blend it is in, with its summary.
struct StepDynamics {
    orva::TrajectorySegment seg{};
    double stepLength = 0.0; // m
    int from = 0, to = 0;    // gait modes
    orva::DynamicsSummary summary{};
};
// Brings cache up to the walker's current step, summarising only when the step changed; from and
// to come from the statistics.
const StepDynamics& currentStepDynamics(StepDynamics& cache, const orva::WalkCycle& walker,
                                        const WalkStats& stats);

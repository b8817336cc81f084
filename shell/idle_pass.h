// The shell's start-up and idle pass without a window, and the gait keys.
//
// Offers: setStartingPose, startWalking, selectedGait, selectGait, gaitRequest, idlePass,
// runIdlePlan, onKey. The
// window program's idle callback runs the pacing plan's passes with runIdlePlan, asks for a
// redisplay when it returns true and runs mouse-look; its keyboard callback calls onKey.
#pragma once

#include "model/body_model.h"
#include "shell/pacing.h"
#include "walking/walk_cycle.h"

// Start-up step 1: the pose a frame drawn before the first step shows.
void setStartingPose(orva::RobotState& state);

// The gait the selection asks for: the custom gait, else the row of the levels.
orva::GaitTarget selectedGait();
// Asks for target at the next step boundary, as a gait key does; a table row also sets the
// levels.
void selectGait(const orva::GaitTarget& target);

// Stage 1's mode request: 1 when a gait key was pressed since the last pass, or when the
// walking cycle has no change latched and walks another gait than the one selected.
int gaitRequest();

// One idle pass, stages 1 to 8: one simulation step, the placement bookkeeping and the
// redraw counter. Returns true when a redisplay is due (after every tenth call).
bool idlePass();
// One idle call's simulation: the plan's idle passes, each noted in walkStats and then handed
// to afterIncrement when given (the video recorder's frame clock). Returns true when a redraw
// is due.
bool runIdlePlan(const IdlePlan& plan, void (*afterIncrement)() = nullptr);
// The walk from its start, as the program begins it: the shell records, the redraw counter and
// the walk statistics as new, the starting pose, and the walking cycle set up on row 0 or on
// start (which must give a usable step; needs setupCore), selected.
void startWalking();
void startWalking(const orva::GaitTarget& start);

// Gait keys "w" "x" "q" "s" "a" "z"; every key recomputes gaitMode. Only key is used.
void onKey(unsigned char key, int x, int y);

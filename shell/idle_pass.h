// The shell's start-up and idle pass without a window, and the gait keys.
//
// Offers: setStartingPose, startWalking, gaitRequest, idlePass, runIdlePlan, onKey. The
// window program's idle callback runs the pacing plan's passes with runIdlePlan, asks for a
// redisplay when it returns true and runs mouse-look; its keyboard callback calls onKey.
#pragma once

#include "model/body_model.h"
#include "shell/pacing.h"

// Start-up step 1: the pose a frame drawn before the first step shows.
void setStartingPose(orva::RobotState& state);

// Stage 1's mode request: 1 when a gait key was pressed since the last pass, or when the
// walking cycle has no change latched and walks another mode than gaitMode.
int gaitRequest();

// One idle pass, stages 1 to 8: one simulation step, the placement bookkeeping and the
// redraw counter. Returns true when a redisplay is due (after every tenth call).
bool idlePass();
// One idle call's simulation: the plan's idle passes, each noted in walkStats and then handed
// to afterIncrement when given (the video recorder's frame clock). Returns true when a redraw
// is due.
bool runIdlePlan(const IdlePlan& plan, void (*afterIncrement)() = nullptr);
// The walk from its start, as the program begins it: the shell records, the redraw counter and
// the walk statistics as new, the starting pose, and the walking cycle set up. Another
// startMode begins the same way on that gait-table row, its levels selected as by the keys.
void startWalking(int startMode = 0);

// Gait keys "w" "x" "q" "s" "a" "z"; every key recomputes gaitMode. Only key is used.
void onKey(unsigned char key, int x, int y);

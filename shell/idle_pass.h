// The shell's start-up and idle pass without a window, and the gait keys.
//
// Offers: setStartingPose, idlePass, resetIdlePass, onKey. The window program calls idlePass from
// its GLUT idle callback, then asks for a redisplay when it returns true and runs mouse-look; it
// registers onKey with glutKeyboardFunc as it is.
#pragma once

#include "model/body_model.h"

// Start-up step 1: the pose a frame drawn before the first step shows.
void setStartingPose(orva::RobotState& state);

// One idle pass, stages 1 to 8: one simulation step, the placement bookkeeping and the
// redraw counter. Returns true when a redisplay is due (after every tenth call).
bool idlePass();
// Restarts the idle pass's redraw counter (a fresh program has it at 0).
void resetIdlePass();

// Gait keys "w" "x" "q" "s" "a" "z"; every key recomputes gaitMode. Only key is used.
void onKey(unsigned char key, int x, int y);

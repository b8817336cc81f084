// The lab: everything the walk keeps between idle passes, in one value owned by whoever runs
// the walk (the window program's main, orva-gait walk, a test) and passed by reference.
//
// Offers: Lab. A new part of the walk is a new member here, reset by startWalking when it
// belongs to one walk, and handed by reference to the functions that use it.
#pragma once

#include "model/body_model.h"
#include "shell/dynamics_history.h"
#include "shell/gait_explorer.h"
#include "shell/ghost.h"
#include "shell/pacing.h"
#include "shell/shell_state.h"
#include "shell/walk_stats.h"
#include "walking/walk_cycle.h"

struct Lab {
    WalkStats stats; // first: the window probe of bench/ reads it at the Lab's address
    WindowState window;
    WalkerPlacement placement;
    GaitSelection gait;
    CameraState camera;
    CameraState cameraBeforeViews; // the camera as the first "c" found it
    orva::RobotState robot;
    orva::WalkCycle walker;
    int idlePasses = 0; // idle passes so far; every tenth asks for a redraw
    PacingState pacing;
    DynamicsHistory dynamics;
    StepDynamics stepDynamics; // the panel's summary of the current step
    Ghost ghost;               // the walk's steps let loose, key "g"
    Explorer explorer;
    GaitMap gaitMap;
};

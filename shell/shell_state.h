// The shell's records of the walk as the window shows it: the window's size, where the robot
// stands, the gait the keys select and the camera. They are parts of the Lab (shell/lab.h).
//
// Offers: WindowState, WalkerPlacement, GaitSelection, CameraState.
#pragma once

#include "model/body_model.h"
#include "model/constants.h"
#include "walking/walk_cycle.h"

struct WindowState {
    int width = 400;     // window width as last reported by reshape, pixels
    int height = 400;    // window height, pixels
    float aspect = 1.0f; // width / height, given to the projection
};

// Where the robot stands in the world: on a circle around the origin in the ground plane.
struct WalkerPlacement {
    float pathRadius = static_cast<float>(orva::walkingCircleRadius); // m
    double stanceArc = 0.0;           // arc length at which the stance foot stands, m
    double comOffset[2] = {0, 0};     // centre of mass relative to the stance ankle (x, y), m
    double swingReach = 0.0;          // swing ankle ahead of the stance ankle, as last measured, m
    double hipHalfWidth = 0.09;       // signed lateral offset of the stance leg from the path, m
    int supportLeg = 0;               // support-leg flag of the previous simulation step, 0 or 1
    float drawX = 0.0f, drawZ = 0.0f; // stance foot's path point, written by every frame, m
};

struct GaitSelection {
    int stepLength = 0;  // 0..3
    int stepHeight = 0;  // 0..1
    int stepSpeed = 0;   // 0..1
    int gaitMode = 0;    // stepLength + 4 stepHeight + 8 stepSpeed
    int gaitChanged = 0; // 1 when a gait key was pressed since the last step
    // A gait chosen by its fields (the explorer, --gait, --change) instead of the levels; a
    // gait key returns to the levels.
    bool custom = false;
    orva::GaitEntry customEntry{};
    int refusalsSeen = 0; // the walker's refusals already answered
};

struct CameraState {
    int mode = 1;             // 1 follows ORVA, -1 free camera
    double eyeX = 0.0;        // free camera X, as used for viewing, m
    double eyeXPending = 0.0; // free camera X as moved by the arrows, m
    double eyeY = 1.0;        // camera height in both modes, m
    double eyeZ = 5.0;        // free camera Z, m
    double yaw =
        180 / orva::degreesPerRadian; // heading; view direction (sin yaw, cos yaw) in (x, z)
    double pitch = 0.0;               // downward tilt of the view, rad
    float followDistance = 2.6f;      // follow camera's horizontal distance, m
    float followAngle = 1.0f;         // follow camera's orbit angle, rad
    float followOffsetX = 0.0f, followOffsetZ = 0.0f; // follow eye's offset from its target, m
    int navigationMode = 1;                           // -1 mouse-look on, 1 off
    int view = 0; // key "c": 0 the follow or free camera above, 1 side-on, 2 aimed at ORVA
};

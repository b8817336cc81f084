// The user's hold on the camera, without a window: the special keys, the help text, the free
// camera's moves and placement, and mouse-look.
//
// Offers: the special key codes (GLUT's values, checked against GLUT where the window program
// includes it), KeyEffect, specialKeyPass, printHelp, placeFreeCamera, cycleCameraView,
// PointerPosition, insertWarpPoint, mouseLookTurn. The special-key callback calls specialKeyPass
// and carries out the effect it returns; the idle callback calls mouseLookTurn with the pointer it
// read.
//
// Pointer positions are in pixels of the window's drawing area: origin at its top-left corner,
// x to the right, y downwards.
#pragma once

#include <optional>
#include <ostream>

#include "shell/shell_state.h"

constexpr int keyF1 = 1;
constexpr int keyF2 = 2;
constexpr int keyF4 = 4;
constexpr int keyF12 = 12;
constexpr int keyLeft = 100;
constexpr int keyUp = 101;
constexpr int keyRight = 102;
constexpr int keyDown = 103;
constexpr int keyInsert = 108;

// What a special key asks of the window side once the records are changed.
enum class KeyEffect { none, printHelp, exitProgram, warpPointer, screenshot };

// Applies a special key to camera (F2 places the free camera by placement); unknown keys do
// nothing.
KeyEffect specialKeyPass(CameraState& camera, const WalkerPlacement& placement, int key);

// The fourteen help lines (the gait keys' from their table), each flushed.
void printHelp(std::ostream& out);

// Leaving the follow camera: the free camera starts at the follow eye's offset from the stance
// foot's path point, as the last frame left them.
void placeFreeCamera(CameraState& camera, const WalkerPlacement& placement);

// Key "c": the follow camera (as it was before the first "c"), then the follow camera side-on,
// then a free camera at the follow eye aimed at ORVA's centre of mass, and round again;
// beforeViews keeps the camera the first "c" found.
void cycleCameraView(CameraState& camera, CameraState& beforeViews,
                     const WalkerPlacement& placement);

struct PointerPosition {
    int x, y; // pixels in the drawing area
};

// Where INSERT puts the pointer: the drawing area's centre, the point mouse-look turns about.
PointerPosition insertWarpPoint(const WindowState& window);

// Mouse-look on a pointer read: turns yaw and pitch by its offset from the drawing area's centre
// and returns where to put the pointer back, or nothing when it is within the dead zone.
std::optional<PointerPosition> mouseLookTurn(CameraState& camera, const WindowState& window,
                                             PointerPosition pointer);

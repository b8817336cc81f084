// The window program's state in one value, and its side of the gait lab: its keys,
// screenshots, drawing a frame, and waiting for window events when the paced or paused loop has
// nothing due.
//
// Offers: LabWindow, onKeyboard, requestScreenshot, displayFrame, waitForEvents. Call them only
// after the window exists.
#pragma once

#include "shell/lab.h"
#include "shell/window/cursor.h"
#include "shell/window/panel.h"
#include "shell/window/recorder.h"
#include "shell/window/scene_render.h"

// main makes it and the GLUT callbacks reach it through one pointer. A new part of the window
// program is a new member here, handed by reference to the functions that use it.
struct LabWindow {
    Lab lab; // first: the window probe of bench/ reads the walk's statistics at this address
    SceneAssets scene;
    Recorder recorder;
    Panel panel;
    PointerState cursor;
    bool screenshotWanted = false; // F12: the next frame is saved
};

// The gait keys (pressGaitKey) and "r" "p" "o" "+" "=" "-" "c" "h" "v" "g".
void onKeyboard(LabWindow& window, unsigned char key);

// F12: the next frame is saved as orva-NNNN.png (the first free number) in the working folder;
// one line on standard output names the file or says why none was saved.
void requestScreenshot(LabWindow& window);

// The display callback's work: the scene, the panel when shown, a video frame when asked for
// (before the panel or after it as the panel's checkbox says), a screenshot when asked for, the
// swap, and then the video frame handed on.
void displayFrame(LabWindow& window);

// Returns when a window event arrives or after seconds.
void waitForEvents(double seconds);

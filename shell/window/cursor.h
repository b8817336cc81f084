// The windowing system's pointer, for mouse-look: hidden while the program runs, shown again
// before exit, read and warped in pixels of the window's drawing area.
//
// Offers: PointerState, hideCursor, showCursor, readPointer, warpPointer. Hide and show go through
// GLUT; the read and the warp use an Xlib connection of their own to the window GLUT drew in, so
// they work wherever the window sits on the screen. Call them only after the window exists.
#pragma once

#include "shell/camera_input.h"

struct PointerState {
    bool hidden = false;
    void* display = nullptr;       // our own Xlib connection, so GLUT's event queue stays untouched
    unsigned long drawingArea = 0; // the X window GLUT renders into
    bool connectionTried = false;
};

void hideCursor(PointerState& cursor);
void showCursor(PointerState& cursor);
// False when the pointer cannot be read (it is on another screen, or there is no display).
bool readPointer(PointerState& cursor, PointerPosition& pointer);
void warpPointer(PointerState& cursor, PointerPosition target);

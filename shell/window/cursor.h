// The windowing system's pointer, for mouse-look: hidden while the program runs, shown again
// before exit, read and warped in pixels of the window's drawing area.
//
// Offers: hideCursor, showCursor, readPointer, warpPointer. Hide and show go through GLUT; the
// read and the warp use an Xlib connection of their own to the window GLUT drew in, so they
// work wherever the window sits on the screen. Call them only after the window exists.
#pragma once

#include "shell/camera_input.h"

void hideCursor();
void showCursor();
// False when the pointer cannot be read (it is on another screen, or there is no display).
bool readPointer(PointerPosition& pointer);
void warpPointer(PointerPosition target);

// The window side of the gait lab: its keys, screenshots, the end of every frame, and waiting
// for window events when the paced or paused loop has nothing due.
//
// Offers: onKeyboard (the GLUT keyboard callback), requestScreenshot, finishFrame, waitForEvents.
// Call them only after the window exists.
#pragma once

// The gait keys (onKey) and "r" "p" "o" "+" "=" "-" "c" "h" "v".
void onKeyboard(unsigned char key, int x, int y);

// F12: the next frame is saved as orva-NNNN.png (the first free number) in the working folder;
// one line on standard output names the file or says why none was saved.
void requestScreenshot();

// After the robot and before the swap: the panel when shown, then a screenshot when asked for;
// a video frame when due, before the panel or after it as the panel's checkbox says.
void finishFrame();

// Returns when a window event arrives or after seconds.
void waitForEvents(double seconds);

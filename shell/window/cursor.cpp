#include "shell/window/cursor.h"

#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

bool cursorHidden = false;
Display* pointerDisplay = nullptr; // our own connection, so GLUT's event queue stays untouched
Window drawingArea = 0;            // the X window GLUT renders into
bool connectionTried = false;

bool connectToWindow() {
    if (pointerDisplay) return true;
    if (connectionTried) return false;
    connectionTried = true;
    // The window GLUT draws in is the current GLX drawable; open the same display by name.
    Display* glutDisplay = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!glutDisplay || drawable == 0) return false;
    pointerDisplay = XOpenDisplay(DisplayString(glutDisplay));
    drawingArea = static_cast<Window>(drawable);
    return pointerDisplay != nullptr;
}

} // namespace

void hideCursor() {
    // The pointer stays hidden from the first idle pass on; one request is enough.
    if (cursorHidden) return;
    glutSetCursor(GLUT_CURSOR_NONE);
    cursorHidden = true;
}

void showCursor() {
    glutSetCursor(GLUT_CURSOR_INHERIT);
    cursorHidden = false;
}

bool readPointer(PointerPosition& pointer) {
    if (!connectToWindow()) return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(pointerDisplay, drawingArea, &root, &child, &rootX, &rootY, &windowX,
                       &windowY, &buttons)) {
        return false;
    }
    pointer = PointerPosition{windowX, windowY};
    return true;
}

void warpPointer(PointerPosition target) {
    if (!connectToWindow()) return;
    XWarpPointer(pointerDisplay, None, drawingArea, 0, 0, 0, 0, target.x, target.y);
    XFlush(pointerDisplay);
}

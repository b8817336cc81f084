#include "shell/window/cursor.h"

#include <GL/glut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

Display* displayOf(const PointerState& cursor) {
    return static_cast<Display*>(cursor.display);
}

bool connectToWindow(PointerState& cursor) {
    if (cursor.display) return true;
    if (cursor.connectionTried) return false;
    cursor.connectionTried = true;
    // The window GLUT draws in is the current GLX drawable; open the same display by name.
    Display* glutDisplay = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!glutDisplay || drawable == 0) return false;
    cursor.display = XOpenDisplay(DisplayString(glutDisplay));
    cursor.drawingArea = static_cast<Window>(drawable);
    return cursor.display != nullptr;
}

} // namespace

void hideCursor(PointerState& cursor) {
    // The pointer stays hidden from the first idle pass on; one request is enough.
    if (cursor.hidden) return;
    glutSetCursor(GLUT_CURSOR_NONE);
    cursor.hidden = true;
}

void showCursor(PointerState& cursor) {
    glutSetCursor(GLUT_CURSOR_INHERIT);
    cursor.hidden = false;
}

bool readPointer(PointerState& cursor, PointerPosition& pointer) {
    if (!connectToWindow(cursor)) return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(displayOf(cursor), cursor.drawingArea, &root, &child, &rootX, &rootY,
                       &windowX, &windowY, &buttons)) {
        return false;
    }
    pointer = PointerPosition{windowX, windowY};
    return true;
}

void warpPointer(PointerState& cursor, PointerPosition target) {
    if (!connectToWindow(cursor)) return;
    XWarpPointer(displayOf(cursor), None, cursor.drawingArea, 0, 0, 0, 0, target.x, target.y);
    XFlush(displayOf(cursor));
}

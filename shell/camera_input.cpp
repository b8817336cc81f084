#include "shell/camera_input.h"

#include <cmath>

namespace {

constexpr double freeMoveStep = 0.1;        // m per arrow press
constexpr float followDistanceStep = 0.25f; // m per arrow press
constexpr double followAngleStep = 0.1;     // rad per arrow press
constexpr double mouseLookGain = 0.5;       // rad per window width (or height) of pointer travel

const char* const helpLines[] = {
    "F1: help",
    "F2: toggle camera mode (free, follow ORVA)",
    "F4: exit",
    "INSERT: toggle navigation mode ON/OFF",
    "ARROW KEYS: navigate",
    "MOUSE: move camera direction",
    "w: decrease step length",
    "x: increase step length",
    "q: decrease step height",
    "s: increase step height",
    "a: decrease step speed",
    "z: increase step speed",
    "WATCH OUT: DO NOT CHANGE STEP MODE TOO FAST, THIS MAY LEAD TO INSTABILITY!",
    "IF THIS EVER HAPPENS, JUST CLOSE THE PROGRAM AND RESTART...",
};

// Forward (+1) or backward (-1) along the full view direction.
void moveAlongView(double sign) {
    CameraState& camera = cameraState;
    const double c = std::cos(camera.pitch);
    camera.eyeXPending += sign * freeMoveStep * std::sin(camera.yaw) * c;
    camera.eyeY -= sign * freeMoveStep * std::sin(camera.pitch);
    camera.eyeZ += sign * freeMoveStep * std::cos(camera.yaw) * c;
}

// Left (+1) or right (-1), at right angles to the view in the ground plane.
void moveSideways(double sign) {
    CameraState& camera = cameraState;
    const double c = std::cos(camera.pitch);
    camera.eyeXPending += sign * freeMoveStep * std::cos(camera.yaw) * c;
    camera.eyeZ -= sign * freeMoveStep * std::sin(camera.yaw) * c;
}

} // namespace

void placeFreeCamera() {
    cameraState.eyeX = walkerPlacement.drawX - cameraState.followOffsetX;
    cameraState.eyeXPending = cameraState.eyeX;
    cameraState.eyeZ = walkerPlacement.drawZ - cameraState.followOffsetZ;
}

KeyEffect specialKeyPass(int key) {
    CameraState& camera = cameraState;
    const bool free = camera.mode == -1;
    switch (key) {
    case keyF1:
        return KeyEffect::printHelp;
    case keyF2:
        if (camera.mode == 1) placeFreeCamera();
        camera.mode = -camera.mode;
        return KeyEffect::none;
    case keyF4:
        return KeyEffect::exitProgram;
    case keyInsert:
        camera.navigationMode = -camera.navigationMode;
        return KeyEffect::warpPointer;
    case keyUp:
        if (free) {
            moveAlongView(1);
        } else {
            camera.followDistance -= followDistanceStep;
        }
        return KeyEffect::none;
    case keyDown:
        if (free) {
            moveAlongView(-1);
        } else {
            camera.followDistance += followDistanceStep;
        }
        return KeyEffect::none;
    case keyLeft:
        if (free) {
            moveSideways(1);
        } else {
            camera.followAngle = static_cast<float>(camera.followAngle - followAngleStep);
        }
        return KeyEffect::none;
    case keyRight:
        if (free) {
            moveSideways(-1);
        } else {
            camera.followAngle = static_cast<float>(camera.followAngle + followAngleStep);
        }
        return KeyEffect::none;
    default:
        return KeyEffect::none;
    }
}

void printHelp(std::ostream& out) {
    for (const char* line : helpLines) out << line << std::endl;
}

std::optional<PointerPosition> mouseLookTurn(PointerPosition pointer) {
    const int width = windowState.width;
    const int height = windowState.height;
    // A window without a drawing area has no centre to turn about.
    if (width <= 0 || height <= 0) return std::nullopt;
    const double halfWidth = width * 0.5;
    const double halfHeight = height * 0.5;
    const double dx = pointer.x - halfWidth;
    const double dy = pointer.y - halfHeight;
    const int cellX = static_cast<int>(dx);
    const int cellY = static_cast<int>(dy);
    if (cellX >= -1 && cellX <= 1 && cellY >= -1 && cellY <= 1) return std::nullopt;
    cameraState.yaw -= mouseLookGain * dx / width;
    cameraState.pitch += mouseLookGain * dy / height;
    return PointerPosition{static_cast<int>(halfWidth), static_cast<int>(halfHeight)};
}

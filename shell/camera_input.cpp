#include "shell/camera_input.h"

#include <cmath>

#include "shell/frame_layout.h"
#include "shell/idle_pass.h"

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
};
// The gait keys' lines come between these.
const char* const warningLines[] = {
    "WATCH OUT: DO NOT CHANGE STEP MODE TOO FAST, THIS MAY LEAD TO INSTABILITY!",
    "IF THIS EVER HAPPENS, JUST CLOSE THE PROGRAM AND RESTART...",
};

// Forward (+1) or backward (-1) along the full view direction.
void moveAlongView(CameraState& camera, double sign) {
    const double c = std::cos(camera.pitch);
    camera.eyeXPending += sign * freeMoveStep * std::sin(camera.yaw) * c;
    camera.eyeY -= sign * freeMoveStep * std::sin(camera.pitch);
    camera.eyeZ += sign * freeMoveStep * std::cos(camera.yaw) * c;
}

// Left (+1) or right (-1), at right angles to the view in the ground plane.
void moveSideways(CameraState& camera, double sign) {
    const double c = std::cos(camera.pitch);
    camera.eyeXPending += sign * freeMoveStep * std::cos(camera.yaw) * c;
    camera.eyeZ -= sign * freeMoveStep * std::sin(camera.yaw) * c;
}

// Free camera where the follow eye is now, looking at the centre of mass.
void aimFreeCamera(CameraState& camera, const WalkerPlacement& placement) {
    const CameraView follow = placeCamera(camera, placement);
    const double dx = follow.centre[0] - follow.eye[0];
    const double dy = placement.comOffset[1] - follow.eye[1];
    const double dz = follow.centre[2] - follow.eye[2];
    camera.mode = -1;
    camera.eyeX = camera.eyeXPending = follow.eye[0];
    camera.eyeY = follow.eye[1];
    camera.eyeZ = follow.eye[2];
    camera.yaw = std::atan2(dx, dz);
    camera.pitch = std::atan2(-dy, std::hypot(dx, dz));
}

} // namespace

void cycleCameraView(CameraState& camera, CameraState& beforeViews,
                     const WalkerPlacement& placement) {
    switch (camera.view) {
    case 0:
        beforeViews = camera;
        camera.mode = 1;
        camera.view = 1;
        break;
    case 1:
        aimFreeCamera(camera, placement);
        camera.view = 2;
        break;
    default:
        camera = beforeViews;
        camera.mode = 1;
        camera.view = 0;
        break;
    }
}

PointerPosition insertWarpPoint(const WindowState& window) {
    return {static_cast<int>(window.width * 0.5), static_cast<int>(window.height * 0.5)};
}

void placeFreeCamera(CameraState& camera, const WalkerPlacement& placement) {
    camera.eyeX = placement.drawX - camera.followOffsetX;
    camera.eyeXPending = camera.eyeX;
    camera.eyeZ = placement.drawZ - camera.followOffsetZ;
}

KeyEffect specialKeyPass(CameraState& camera, const WalkerPlacement& placement, int key) {
    const bool free = camera.mode == -1;
    switch (key) {
    case keyF1:
        return KeyEffect::printHelp;
    case keyF2:
        if (camera.mode == 1) placeFreeCamera(camera, placement);
        camera.mode = -camera.mode;
        camera.view = 0;
        return KeyEffect::none;
    case keyF4:
        return KeyEffect::exitProgram;
    case keyF12:
        return KeyEffect::screenshot;
    case keyInsert:
        camera.navigationMode = -camera.navigationMode;
        return KeyEffect::warpPointer;
    case keyUp:
        if (free) {
            moveAlongView(camera, 1);
        } else {
            camera.followDistance -= followDistanceStep;
        }
        return KeyEffect::none;
    case keyDown:
        if (free) {
            moveAlongView(camera, -1);
        } else {
            camera.followDistance += followDistanceStep;
        }
        return KeyEffect::none;
    case keyLeft:
        if (free) {
            moveSideways(camera, 1);
        } else {
            camera.followAngle = static_cast<float>(camera.followAngle - followAngleStep);
        }
        return KeyEffect::none;
    case keyRight:
        if (free) {
            moveSideways(camera, -1);
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
    for (const GaitKey& k : gaitKeys) out << k.key << ": " << k.help << std::endl;
    for (const char* line : warningLines) out << line << std::endl;
}

std::optional<PointerPosition> mouseLookTurn(CameraState& camera, const WindowState& window,
                                             PointerPosition pointer) {
    const int width = window.width;
    const int height = window.height;
    // A window without a drawing area has no centre to turn about.
    if (width <= 0 || height <= 0) return std::nullopt;
    const double halfWidth = width * 0.5;
    const double halfHeight = height * 0.5;
    const double dx = pointer.x - halfWidth;
    const double dy = pointer.y - halfHeight;
    const int cellX = static_cast<int>(dx);
    const int cellY = static_cast<int>(dy);
    if (cellX >= -1 && cellX <= 1 && cellY >= -1 && cellY <= 1) return std::nullopt;
    camera.yaw -= mouseLookGain * dx / width;
    camera.pitch += mouseLookGain * dy / height;
    return PointerPosition{static_cast<int>(halfWidth), static_cast<int>(halfHeight)};
}

#include "shell/frame_layout.h"

#include <algorithm>
#include <cmath>

#include "model/constants.h"

namespace {

// How far along the view direction the look-at centre lies; any length would do for the view.
constexpr double lookDistance = 100.0;

// The side-on follow view: square to the path, the whole robot and its feet in the picture.
constexpr float sideOnDistance = 3.2f;                          // m
constexpr float sideOnAngle = static_cast<float>(orva::halfPi); // rad: square to the path
constexpr double sideOnHeight = 0.7; // m, eye and centre: about half the robot's height

float toDegrees(double radians) {
    return static_cast<float>(radians * orva::degreesPerRadian);
}

} // namespace

RobotPlacement placeRobot(const WalkerPlacement& placement) {
    RobotPlacement robot;
    robot.theta = placement.stanceArc / placement.pathRadius;
    robot.drawX = static_cast<float>(placement.pathRadius * std::sin(robot.theta));
    robot.drawZ = static_cast<float>(placement.pathRadius * std::cos(robot.theta));
    return robot;
}

ChainAngles chainAngles(const orva::RobotState& state, double theta) {
    ChainAngles chain;
    // The heading goes through float before the conversion, as the placement hands it on.
    chain.heading = toDegrees(static_cast<float>(theta));
    for (int i = 0; i < orva::modelLinkCount; ++i) chain.joint[i] = toDegrees(state.q[i]);
    chain.swingFoot = toDegrees(-state.q[0] - state.q[1] - state.q[3] - state.q[4]);
    return chain;
}

CameraView placeCamera(CameraState& camera, const WalkerPlacement& placement) {
    CameraView view;
    if (camera.mode == -1) {
        const double c = std::cos(camera.pitch);
        view.eye[0] = camera.eyeX;
        view.eye[1] = camera.eyeY;
        view.eye[2] = camera.eyeZ;
        view.centre[0] = camera.eyeX + lookDistance * std::sin(camera.yaw) * c;
        view.centre[1] = camera.eyeY - lookDistance * std::sin(camera.pitch);
        view.centre[2] = camera.eyeZ + lookDistance * std::cos(camera.yaw) * c;
        return view;
    }
    if (camera.view == 1) {
        // Side-on: the follow camera with a framing of its own; the user's stays as it was.
        CameraState side = camera;
        side.view = 0;
        side.followDistance = sideOnDistance;
        side.followAngle = sideOnAngle;
        side.eyeY = sideOnHeight;
        side.pitch = 0.0;
        view = placeCamera(side, placement);
        camera.followOffsetX = side.followOffsetX;
        camera.followOffsetZ = side.followOffsetZ;
        return view;
    }
    // The follow camera aims at the centre of mass, carried onto the circle.
    const double phi = (placement.comOffset[0] + placement.stanceArc) / placement.pathRadius;
    const float targetX = static_cast<float>(placement.pathRadius * std::sin(phi));
    const float targetZ = static_cast<float>(placement.pathRadius * std::cos(phi));
    const double psi = camera.followAngle - phi;
    camera.followOffsetX = static_cast<float>(camera.followDistance * std::cos(psi));
    camera.followOffsetZ = static_cast<float>(camera.followDistance * std::sin(psi));
    view.eye[0] = targetX - camera.followOffsetX;
    view.eye[1] = camera.eyeY;
    view.eye[2] = targetZ - camera.followOffsetZ;
    view.centre[0] = targetX;
    view.centre[1] = camera.eyeY - lookDistance * std::sin(camera.pitch);
    view.centre[2] = targetZ;
    return view;
}

FrameLayout layoutFrame(WalkerPlacement& placement, CameraState& camera,
                        const orva::RobotState& robot) {
    FrameLayout frame;
    frame.robot = placeRobot(placement);
    placement.drawX = frame.robot.drawX;
    placement.drawZ = frame.robot.drawZ;
    frame.chain = chainAngles(robot, frame.robot.theta);
    frame.view = placeCamera(camera, placement);
    return frame;
}

void recordWindowSize(WindowState& window, int width, int height) {
    window.width = width;
    window.height = height;
    if (height != 0) {
        window.aspect = static_cast<float>(static_cast<double>(width) / height);
    }
}

int panelWidth(int windowWidth) {
    return std::min(windowWidth / 2, maxPanelWidth);
}

SceneViewport sceneViewport(const WindowState& window, bool panelShown) {
    if (!panelShown) return {0, 0, window.width, window.height, window.aspect};
    const int left = panelWidth(window.width);
    const int width = window.width - left;
    const float aspect =
        window.height > 0 ? static_cast<float>(width) / window.height : window.aspect;
    return {left, 0, width, window.height, aspect};
}

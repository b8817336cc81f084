#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "shell/camera_input.h"
#include "shell/frame_layout.h"

using namespace orva;

namespace {

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override { resetShellState(); }
};

// Unit vector from a view's eye towards a point.
std::array<double, 3> towards(const CameraView& view, const double (&point)[3]) {
    const double d[3] = {point[0] - view.eye[0], point[1] - view.eye[1], point[2] - view.eye[2]};
    const double n = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return {d[0] / n, d[1] / n, d[2] / n};
}

TEST_F(CameraTest, robotStandsOnTheCircleWithTheSwingFootLevelAndTheCameraFollows) {
    walkerPlacement.stanceArc = 20.0 * pi / 2; // a quarter round: its x along world -z
    robotState = RobotState{{1.0, -0.5, 0.7, 4.0, 5.8, -2.0}, {}};
    const FrameLayout frame = layoutFrame();
    EXPECT_FLOAT_EQ(walkerPlacement.drawX, 20.0f);
    EXPECT_NEAR(walkerPlacement.drawZ, 0.0f, 1e-5);
    EXPECT_FLOAT_EQ(frame.chain.heading, 90.0f);
    // Level whatever the torso and the foot joint.
    EXPECT_FLOAT_EQ(frame.chain.swingFoot, static_cast<float>(-10.3 * degreesPerRadian));

    // The follow camera orbits the centre of mass.
    resetShellState();
    cameraState.pitch = 0.1;
    walkerPlacement.comOffset[0] = 2.0; // carried onto the circle: 0.1 rad round
    const CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 20 * std::sin(0.1), 1e-5);
    EXPECT_NEAR(view.centre[1], 1.0 - 100 * std::sin(0.1), 1e-12);
    EXPECT_NEAR(view.centre[2], 20 * std::cos(0.1), 1e-5);
    EXPECT_NEAR(view.eye[0], view.centre[0] - 2.6 * std::cos(0.9), 1e-5);
    EXPECT_NEAR(view.eye[2], view.centre[2] - 2.6 * std::sin(0.9), 1e-5);

    cameraState.view = 1; // side-on: level and square to the path, whatever orbit and tilt
    const CameraView side = placeCamera(cameraState, walkerPlacement);
    const double ahead[3] = {side.eye[0] + std::cos(0.1), side.eye[1], side.eye[2] - std::sin(0.1)};
    const auto look = towards(side, side.centre), travel = towards(side, ahead);
    EXPECT_NEAR(look[0] * travel[0] + look[2] * travel[2], 0.0, 1e-6);
    EXPECT_EQ(look[1], 0.0);
}

TEST_F(CameraTest, freeCameraLooksAlongYawAndPitchAZeroHeightKeepsTheAspectAndThePanelStaysInView) {
    cameraState.mode = -1;
    cameraState.yaw = pi / 2;
    cameraState.pitch = pi / 6;
    const CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 100 * std::cos(pi / 6), 1e-9);
    EXPECT_NEAR(view.centre[1], 1.0 - 50, 1e-9);
    EXPECT_NEAR(view.centre[2], 5.0, 1e-9);

    recordWindowSize(800, 400);
    recordWindowSize(640, 0);
    EXPECT_EQ(windowState.width, 640);
    EXPECT_EQ(windowState.aspect, 2.0f);

    // The panel takes the window's left part, whatever its size, and the scene the rest beside
    // it; hidden, the scene takes the whole window with the aspect reshape kept.
    for (int width : {1, 50, 400, 1000}) {
        recordWindowSize(width, 300);
        const SceneViewport scene = sceneViewport(windowState, true);
        EXPECT_EQ(scene.x, panelWidth(width));
        EXPECT_EQ(scene.x + scene.width, width);
        EXPECT_FLOAT_EQ(scene.aspect, scene.width / 300.0f);
    }
    EXPECT_EQ(panelWidth(400), 200);
    EXPECT_EQ(panelWidth(1000), maxPanelWidth);
    recordWindowSize(640, 0);
    const SceneViewport whole = sceneViewport(windowState, false);
    EXPECT_EQ(whole.width, 640);
    EXPECT_EQ(whole.aspect, windowState.aspect);
}

TEST_F(CameraTest, arrowsMoveTheFollowCameraAndF2StartsTheFreeOneAtTheFollowOffset) {
    for (int i = 0; i < 11; ++i) specialKeyPass(keyUp);
    EXPECT_LT(cameraState.followDistance, 0.0f); // unbounded
    specialKeyPass(keyLeft);
    specialKeyPass(keyLeft);
    specialKeyPass(keyRight);
    EXPECT_FLOAT_EQ(cameraState.followAngle, 0.9f);

    walkerPlacement.drawZ = 20.0f;
    cameraState.followOffsetX = 1.4f;
    cameraState.followOffsetZ = 2.2f;
    specialKeyPass(keyF2);
    EXPECT_EQ(cameraState.eyeX, static_cast<double>(0.0f - 1.4f));
    EXPECT_EQ(cameraState.eyeZ, static_cast<double>(20.0f - 2.2f));
    // Looking down, forward also descends; both moves shrink by cos pitch.
    cameraState.yaw = pi / 2;
    cameraState.pitch = pi / 3;
    specialKeyPass(keyUp);
    EXPECT_NEAR(cameraState.eyeXPending, -1.4 + 0.05, 1e-6);
    EXPECT_EQ(cameraState.eyeX, static_cast<double>(-1.4f)); // moves at the next idle pass
    EXPECT_NEAR(cameraState.eyeY, 1.0 - 0.1 * std::sin(pi / 3), 1e-12);
    specialKeyPass(keyRight);
    EXPECT_NEAR(cameraState.eyeZ, 17.8 + 0.05, 1e-6);
    specialKeyPass(keyF2);
    EXPECT_EQ(cameraState.mode, 1);
}

TEST_F(CameraTest, insertWarpsToTheWindowCentreAndMouseLookTurnsOutsideAOnePixelDeadZone) {
    EXPECT_EQ(specialKeyPass(keyInsert), KeyEffect::warpPointer);
    EXPECT_EQ(cameraState.navigationMode, -1);
    EXPECT_EQ(specialKeyPass(3), KeyEffect::none); // F3
    EXPECT_EQ(specialKeyPass(keyF12), KeyEffect::screenshot);
    recordWindowSize(400, 400);
    EXPECT_FALSE(mouseLookTurn({201, 199}));
    const auto back = mouseLookTurn({201, 198}); // two pixels up
    ASSERT_TRUE(back);
    EXPECT_EQ(back->x, 200);
    EXPECT_DOUBLE_EQ(cameraState.yaw, pi - 0.5 / 400);
    ASSERT_TRUE(mouseLookTurn({200, 600})); // a window height down: half a radian
    EXPECT_DOUBLE_EQ(cameraState.pitch, 0.5 - 1.0 / 400);
    // One pixel each way on both axes: two pixels off on any side turn.
    for (const PointerPosition off : {PointerPosition{202, 200}, {198, 200}, {200, 202}})
        EXPECT_TRUE(mouseLookTurn(off));
    EXPECT_FALSE(mouseLookTurn({199, 201}));
    recordWindowSize(641, 301); // centre (320.5, 150.5): 1.5 off truncates to 1
    EXPECT_EQ(insertWarpPoint().x, 320);
    EXPECT_EQ(insertWarpPoint().y, 150);
    EXPECT_FALSE(mouseLookTurn({322, 149}));
    recordWindowSize(401, 0);
    EXPECT_FALSE(mouseLookTurn({0, 50}));
}

// "c": side-on, then a free camera at the side-on eye aimed at the centre of mass, then the
// camera as it was.
TEST_F(CameraTest, cameraViewsCycleBackToTheCameraTheyStartedFrom) {
    cameraState.followAngle = 0.3f;
    walkerPlacement.stanceArc = 3.0;
    walkerPlacement.comOffset[1] = 0.8;
    cycleCameraView();
    const CameraView side = placeCamera(cameraState, walkerPlacement);
    cycleCameraView();
    const CameraView aimed = placeCamera(cameraState, walkerPlacement);
    const double com[3] = {side.centre[0], 0.8, side.centre[2]};
    const auto look = towards(aimed, aimed.centre), target = towards(side, com);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(aimed.eye[i], side.eye[i]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(look[i], target[i], 1e-9);
    cycleCameraView();
    EXPECT_EQ(cameraState.mode, 1);
    EXPECT_EQ(cameraState.followAngle, 0.3f);
    EXPECT_EQ(cameraState.yaw, pi);
}

} // namespace

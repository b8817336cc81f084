#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "shell/camera_input.h"
#include "shell/frame_layout.h"
#include "shell/lab.h"

using namespace orva;

namespace {

class CameraTest : public ::testing::Test {
  protected:
    void reset() {
        window = WindowState{};
        placement = WalkerPlacement{};
        camera = CameraState{};
    }
    KeyEffect special(int key) { return specialKeyPass(camera, placement, key); }
    void cycle() { cycleCameraView(camera, beforeViews, placement); }

    WindowState window;
    WalkerPlacement placement;
    CameraState camera, beforeViews;
    RobotState robot;
};

// Unit vector from a view's eye towards a point.
std::array<double, 3> towards(const CameraView& view, const double (&point)[3]) {
    const double d[3] = {point[0] - view.eye[0], point[1] - view.eye[1], point[2] - view.eye[2]};
    const double n = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return {d[0] / n, d[1] / n, d[2] / n};
}

TEST_F(CameraTest, robotStandsOnTheCircleWithTheSwingFootLevelAndTheCameraFollows) {
    placement.stanceArc = 20.0 * pi / 2; // a quarter round: its x along world -z
    robot = RobotState{{1.0, -0.5, 0.7, 4.0, 5.8, -2.0}, {}};
    const FrameLayout frame = layoutFrame(placement, camera, robot);
    EXPECT_FLOAT_EQ(placement.drawX, 20.0f);
    EXPECT_NEAR(placement.drawZ, 0.0f, 1e-5);
    placement.stanceArc = 20.0 * pi / 3; // a sixth of a round
    layoutFrame(placement, camera, robot);
    EXPECT_FLOAT_EQ(placement.drawZ, 10.0f) << "a frame writes where the stance foot stands";
    placement.stanceArc = 20.0 * pi / 2;
    EXPECT_FLOAT_EQ(frame.chain.heading, 90.0f);
    // Level whatever the torso and the foot joint.
    EXPECT_FLOAT_EQ(frame.chain.swingFoot, static_cast<float>(-10.3 * degreesPerRadian));

    // The follow camera orbits the centre of mass.
    reset();
    camera.pitch = 0.1;
    placement.comOffset[0] = 2.0; // carried onto the circle: 0.1 rad round
    const CameraView view = placeCamera(camera, placement);
    EXPECT_NEAR(view.centre[0], 20 * std::sin(0.1), 1e-5);
    EXPECT_NEAR(view.centre[1], 1.0 - 100 * std::sin(0.1), 1e-12);
    EXPECT_NEAR(view.centre[2], 20 * std::cos(0.1), 1e-5);
    EXPECT_NEAR(view.eye[0], view.centre[0] - 2.6 * std::cos(0.9), 1e-5);
    EXPECT_NEAR(view.eye[2], view.centre[2] - 2.6 * std::sin(0.9), 1e-5);

    camera.view = 1; // side-on: level and square to the path, whatever orbit and tilt
    const CameraView side = placeCamera(camera, placement);
    const double ahead[3] = {side.eye[0] + std::cos(0.1), side.eye[1], side.eye[2] - std::sin(0.1)};
    const auto look = towards(side, side.centre), travel = towards(side, ahead);
    EXPECT_NEAR(look[0] * travel[0] + look[2] * travel[2], 0.0, 1e-6);
    EXPECT_EQ(look[1], 0.0);
}

TEST_F(CameraTest, freeCameraLooksAlongYawAndPitchAZeroHeightKeepsTheAspectAndThePanelStaysInView) {
    camera.mode = -1;
    camera.yaw = pi / 2;
    camera.pitch = pi / 6;
    const CameraView view = placeCamera(camera, placement);
    EXPECT_NEAR(view.centre[0], 100 * std::cos(pi / 6), 1e-9);
    EXPECT_NEAR(view.centre[1], 1.0 - 50, 1e-9);
    EXPECT_NEAR(view.centre[2], 5.0, 1e-9);

    recordWindowSize(window, 800, 400);
    recordWindowSize(window, 640, 0);
    EXPECT_EQ(window.width, 640);
    EXPECT_EQ(window.aspect, 2.0f);

    // The panel takes the window's left part, whatever its size, and the scene the rest beside
    // it; hidden, the scene takes the whole window with the aspect reshape kept.
    for (int width : {1, 50, 400, 1000}) {
        recordWindowSize(window, width, 300);
        const SceneViewport scene = sceneViewport(window, true);
        EXPECT_EQ(scene.x, panelWidth(width));
        EXPECT_EQ(scene.x + scene.width, width);
        EXPECT_FLOAT_EQ(scene.aspect, scene.width / 300.0f);
    }
    EXPECT_EQ(panelWidth(400), 200);
    EXPECT_EQ(panelWidth(1000), maxPanelWidth);
    recordWindowSize(window, 640, 0);
    const SceneViewport whole = sceneViewport(window, false);
    EXPECT_EQ(whole.width, 640);
    EXPECT_EQ(whole.aspect, window.aspect);
}

TEST_F(CameraTest, arrowsMoveTheFollowCameraAndF2StartsTheFreeOneAtTheFollowOffset) {
    for (int i = 0; i < 11; ++i) special(keyUp);
    EXPECT_LT(camera.followDistance, 0.0f); // unbounded
    special(keyLeft);
    special(keyLeft);
    special(keyRight);
    EXPECT_FLOAT_EQ(camera.followAngle, 0.9f);

    placement.drawZ = 20.0f;
    camera.followOffsetX = 1.4f;
    camera.followOffsetZ = 2.2f;
    special(keyF2);
    EXPECT_EQ(camera.eyeX, static_cast<double>(0.0f - 1.4f));
    EXPECT_EQ(camera.eyeZ, static_cast<double>(20.0f - 2.2f));
    // Looking down, forward also descends; both moves shrink by cos pitch.
    camera.yaw = pi / 2;
    camera.pitch = pi / 3;
    special(keyUp);
    EXPECT_NEAR(camera.eyeXPending, -1.4 + 0.05, 1e-6);
    EXPECT_EQ(camera.eyeX, static_cast<double>(-1.4f)); // moves at the next idle pass
    EXPECT_NEAR(camera.eyeY, 1.0 - 0.1 * std::sin(pi / 3), 1e-12);
    special(keyRight);
    EXPECT_NEAR(camera.eyeZ, 17.8 + 0.05, 1e-6);
    special(keyF2);
    EXPECT_EQ(camera.mode, 1);
}

TEST_F(CameraTest, insertWarpsToTheWindowCentreAndMouseLookTurnsOutsideAOnePixelDeadZone) {
    EXPECT_EQ(special(keyInsert), KeyEffect::warpPointer);
    EXPECT_EQ(camera.navigationMode, -1);
    EXPECT_EQ(special(3), KeyEffect::none); // F3
    EXPECT_EQ(special(keyF12), KeyEffect::screenshot);
    recordWindowSize(window, 400, 400);
    EXPECT_FALSE(mouseLookTurn(camera, window, {201, 199}));
    const auto back = mouseLookTurn(camera, window, {201, 198}); // two pixels up
    ASSERT_TRUE(back);
    EXPECT_EQ(back->x, 200);
    EXPECT_DOUBLE_EQ(camera.yaw, pi - 0.5 / 400);
    ASSERT_TRUE(mouseLookTurn(camera, window, {200, 600})); // a window height down: half a radian
    EXPECT_DOUBLE_EQ(camera.pitch, 0.5 - 1.0 / 400);
    // One pixel each way on both axes: two pixels off on any side turn.
    for (const PointerPosition off : {PointerPosition{202, 200}, {198, 200}, {200, 202}})
        EXPECT_TRUE(mouseLookTurn(camera, window, off));
    EXPECT_FALSE(mouseLookTurn(camera, window, {199, 201}));
    recordWindowSize(window, 641, 301); // centre (320.5, 150.5): 1.5 off truncates to 1
    EXPECT_EQ(insertWarpPoint(window).x, 320);
    EXPECT_EQ(insertWarpPoint(window).y, 150);
    EXPECT_FALSE(mouseLookTurn(camera, window, {322, 149}));
    recordWindowSize(window, 401, 0);
    EXPECT_FALSE(mouseLookTurn(camera, window, {0, 50}));
}

// "c": side-on, then a free camera at the side-on eye aimed at the centre of mass, then the
// camera as it was.
TEST_F(CameraTest, cameraViewsCycleBackToTheCameraTheyStartedFrom) {
    camera.followAngle = 0.3f;
    placement.stanceArc = 3.0;
    placement.comOffset[1] = 0.8;
    cycle();
    const CameraView side = placeCamera(camera, placement);
    cycle();
    const CameraView aimed = placeCamera(camera, placement);
    const double com[3] = {side.centre[0], 0.8, side.centre[2]};
    const auto look = towards(aimed, aimed.centre), target = towards(side, com);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(aimed.eye[i], side.eye[i]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(look[i], target[i], 1e-9);
    cycle();
    EXPECT_EQ(camera.mode, 1);
    EXPECT_EQ(camera.followAngle, 0.3f);
    EXPECT_EQ(camera.yaw, pi);
}

} // namespace

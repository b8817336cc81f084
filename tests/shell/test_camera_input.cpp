#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "shell/camera_input.h"
#include "shell/frame_layout.h"

using namespace orva;

namespace {

class CameraInputTest : public ::testing::Test {
  protected:
    void SetUp() override { resetShellState(); }
};

TEST_F(CameraInputTest, f2PlacesTheFreeCameraAtTheFollowOffsetAndReturns) {
    walkerPlacement.drawZ = 20.0f;
    cameraState.followOffsetX = 1.4f;
    cameraState.followOffsetZ = 2.2f;
    specialKeyPass(keyF2);
    EXPECT_EQ(cameraState.mode, -1);
    EXPECT_EQ(cameraState.eyeXPending, static_cast<double>(0.0f - 1.4f));
    EXPECT_EQ(cameraState.eyeZ, static_cast<double>(20.0f - 2.2f));
    EXPECT_EQ(cameraState.yaw, pi);
    specialKeyPass(keyF2);
    EXPECT_EQ(cameraState.mode, 1);
}

TEST_F(CameraInputTest, arrowsMoveTheFollowAndTheFreeCamera) {
    for (int i = 0; i < 11; ++i) specialKeyPass(keyUp);
    EXPECT_EQ(cameraState.followDistance, -0.15000009536743164f); // unbounded
    specialKeyPass(keyLeft);
    specialKeyPass(keyLeft);
    specialKeyPass(keyRight);
    EXPECT_FLOAT_EQ(cameraState.followAngle, 0.9f);

    // Free, looking down: forward also descends; both moves shrink by cos pitch; back and
    // right undo them.
    cameraState.mode = -1;
    cameraState.yaw = pi / 2;
    cameraState.pitch = pi / 3;
    specialKeyPass(keyUp);
    EXPECT_NEAR(cameraState.eyeXPending, 0.05, 1e-12);
    EXPECT_EQ(cameraState.eyeX, 0.0); // the X move waits for the next idle pass
    EXPECT_NEAR(cameraState.eyeY, 1.0 - 0.1 * std::sin(pi / 3), 1e-12);
    specialKeyPass(keyRight);
    EXPECT_NEAR(cameraState.eyeZ, 5.05, 1e-12);
    specialKeyPass(keyDown);
    specialKeyPass(keyLeft);
    EXPECT_NEAR(cameraState.eyeXPending, 0.0, 1e-12);
    EXPECT_NEAR(cameraState.eyeY, 1.0, 1e-12);
    EXPECT_NEAR(cameraState.eyeZ, 5.0, 1e-12);
}

TEST_F(CameraInputTest, insertTogglesMouseLookAndWarpsToTheWindowCentre) {
    EXPECT_EQ(specialKeyPass(keyInsert), KeyEffect::warpPointer);
    EXPECT_EQ(cameraState.navigationMode, -1);
    EXPECT_EQ(insertWarpPoint().x, 200);
    recordWindowSize(641, 300);
    EXPECT_EQ(insertWarpPoint().x, 320);
    EXPECT_EQ(insertWarpPoint().y, 150);
    specialKeyPass(keyInsert);
    EXPECT_EQ(cameraState.navigationMode, 1);
    EXPECT_EQ(specialKeyPass(3), KeyEffect::none); // F3
    EXPECT_EQ(specialKeyPass(keyF12), KeyEffect::screenshot);
}

TEST_F(CameraInputTest, mouseLookTurnsOutsideAOnePixelDeadZone) {
    EXPECT_FALSE(mouseLookTurn({201, 199}));
    const auto back = mouseLookTurn({202, 200});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->x, 200);
    EXPECT_EQ(back->y, 200);
    EXPECT_DOUBLE_EQ(cameraState.yaw, pi - 1.0 / 400);
    ASSERT_TRUE(mouseLookTurn({200, 600})); // a window height down: half a radian
    EXPECT_DOUBLE_EQ(cameraState.pitch, 0.5);

    // Centre (200.5, 150.5): offsets of 1.5 truncate to 1 and stay in the dead zone.
    recordWindowSize(401, 301);
    EXPECT_FALSE(mouseLookTurn({202, 149}));
    recordWindowSize(401, 0);
    EXPECT_FALSE(mouseLookTurn({0, 50}));
    EXPECT_DOUBLE_EQ(cameraState.pitch, 0.5);
}

// "c": side-on, then a free camera aimed at the centre of mass, then the camera as it was.
TEST_F(CameraInputTest, cameraViewsCycleBackToTheCameraTheyStartedFrom) {
    cameraState.followAngle = 0.3f;
    walkerPlacement.stanceArc = 3.0;
    walkerPlacement.comOffset[0] = 0.1;
    walkerPlacement.comOffset[1] = 0.8;
    cycleCameraView();
    const CameraView side = placeCamera(cameraState, walkerPlacement);
    cycleCameraView();
    EXPECT_EQ(cameraState.mode, -1);
    const CameraView aimed = placeCamera(cameraState, walkerPlacement);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(aimed.eye[i], side.eye[i]);
    const auto unit = [](double x, double y, double z) {
        const double n = std::sqrt(x * x + y * y + z * z);
        return std::array<double, 3>{x / n, y / n, z / n};
    };
    const auto look = unit(aimed.centre[0] - aimed.eye[0], aimed.centre[1] - aimed.eye[1],
                           aimed.centre[2] - aimed.eye[2]);
    const auto target =
        unit(side.centre[0] - side.eye[0], 0.8 - side.eye[1], side.centre[2] - side.eye[2]);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(look[i], target[i], 1e-9) << i;
    cycleCameraView();
    EXPECT_EQ(cameraState.mode, 1);
    EXPECT_EQ(cameraState.followAngle, 0.3f);
    EXPECT_EQ(cameraState.yaw, pi);
}

} // namespace

#include <gtest/gtest.h>

#include <cmath>

#include "shell/camera_input.h"

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
    EXPECT_EQ(cameraState.eyeX, static_cast<double>(0.0f - 1.4f));
    EXPECT_EQ(cameraState.eyeXPending, cameraState.eyeX);
    EXPECT_EQ(cameraState.eyeZ, static_cast<double>(20.0f - 2.2f));
    EXPECT_EQ(cameraState.yaw, pi);

    walkerPlacement.drawX = 5.0f; // back to follow: the free eye stays where it was
    specialKeyPass(keyF2);
    EXPECT_EQ(cameraState.mode, 1);
    EXPECT_EQ(cameraState.eyeX, static_cast<double>(-1.4f));
}

TEST_F(CameraInputTest, arrowsInFollowModeChangeDistanceAndAngleUnbounded) {
    for (int i = 0; i < 11; ++i) specialKeyPass(keyUp);
    EXPECT_EQ(cameraState.followDistance, -0.15000009536743164f);
    specialKeyPass(keyLeft);
    specialKeyPass(keyLeft);
    specialKeyPass(keyRight);
    EXPECT_FLOAT_EQ(cameraState.followAngle, 0.9f);
    EXPECT_EQ(cameraState.eyeZ, 5.0);
}

TEST_F(CameraInputTest, arrowsInFreeModeMoveAlongAndAcrossTheView) {
    cameraState.mode = -1;
    specialKeyPass(keyUp); // yaw pi looks along -z
    EXPECT_DOUBLE_EQ(cameraState.eyeZ, 4.9);
    specialKeyPass(keyLeft);
    EXPECT_NEAR(cameraState.eyeXPending, -0.1, 1e-15);
    EXPECT_EQ(cameraState.eyeX, 0.0); // the X move waits for the next idle pass

    // Looking down, forward also descends; both moves shrink by cos pitch; back and right undo.
    resetShellState();
    cameraState.mode = -1;
    cameraState.yaw = pi / 2;
    cameraState.pitch = pi / 3;
    specialKeyPass(keyUp);
    EXPECT_NEAR(cameraState.eyeXPending, 0.05, 1e-12);
    EXPECT_NEAR(cameraState.eyeY, 1.0 - 0.1 * std::sin(pi / 3), 1e-12);
    specialKeyPass(keyRight);
    EXPECT_NEAR(cameraState.eyeZ, 5.05, 1e-12);
    specialKeyPass(keyDown);
    specialKeyPass(keyLeft);
    EXPECT_NEAR(cameraState.eyeXPending, 0.0, 1e-12);
    EXPECT_NEAR(cameraState.eyeY, 1.0, 1e-12);
    EXPECT_NEAR(cameraState.eyeZ, 5.0, 1e-12);
}

TEST_F(CameraInputTest, insertTogglesMouseLookAndOtherKeysAreIgnored) {
    EXPECT_EQ(specialKeyPass(keyInsert), KeyEffect::warpPointer);
    EXPECT_EQ(cameraState.navigationMode, -1);
    specialKeyPass(keyInsert);
    EXPECT_EQ(cameraState.navigationMode, 1);
    EXPECT_EQ(specialKeyPass(3), KeyEffect::none); // F3
    EXPECT_EQ(cameraState.mode, 1);
    EXPECT_EQ(cameraState.followDistance, 2.6f);
}

TEST_F(CameraInputTest, mouseLookTurnsOutsideAOnePixelDeadZone) {
    EXPECT_FALSE(mouseLookTurn({201, 201}));
    EXPECT_FALSE(mouseLookTurn({199, 199}));
    EXPECT_EQ(cameraState.yaw, pi);

    auto back = mouseLookTurn({202, 200});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->x, 200);
    EXPECT_EQ(back->y, 200);
    EXPECT_DOUBLE_EQ(cameraState.yaw, pi - 1.0 / 400);
    EXPECT_EQ(cameraState.pitch, 0.0);
    ASSERT_TRUE(mouseLookTurn({200, 600})); // a window height down: half a radian
    EXPECT_DOUBLE_EQ(cameraState.pitch, 0.5);
}

TEST_F(CameraInputTest, mouseLookOnOddAndEmptyWindows) {
    windowState.width = 401;
    windowState.height = 301;
    // Centre (200.5, 150.5): offsets of 1.5 truncate to 1 and stay in the dead zone.
    EXPECT_FALSE(mouseLookTurn({202, 149}));
    auto back = mouseLookTurn({198, 150});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->x, 200);
    EXPECT_EQ(back->y, 150);
    EXPECT_DOUBLE_EQ(cameraState.yaw, pi + 0.5 * 2.5 / 401);

    windowState.height = 0;
    const double pitch = cameraState.pitch;
    EXPECT_FALSE(mouseLookTurn({0, 50}));
    EXPECT_EQ(cameraState.pitch, pitch);
}

} // namespace

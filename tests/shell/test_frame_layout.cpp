#include <gtest/gtest.h>

#include <cmath>

#include "shell/frame_layout.h"

using namespace orva;

namespace {

class FrameLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override { resetShellState(); }
};

TEST_F(FrameLayoutTest, robotStandsOnTheCircleFacingAlongIt) {
    FrameLayout start = layoutFrame();
    EXPECT_EQ(start.robot.theta, 0.0);
    EXPECT_EQ(walkerPlacement.drawX, 0.0f);
    EXPECT_EQ(walkerPlacement.drawZ, 20.0f);
    EXPECT_EQ(start.chain.heading, 0.0f);

    // A quarter of the way round the robot's x axis points along world -z.
    walkerPlacement.stanceArc = 20.0 * pi / 2;
    FrameLayout quarter = layoutFrame();
    EXPECT_FLOAT_EQ(walkerPlacement.drawX, 20.0f);
    EXPECT_NEAR(walkerPlacement.drawZ, 0.0f, 1e-5);
    EXPECT_FLOAT_EQ(quarter.chain.heading, 90.0f);
}

TEST_F(FrameLayoutTest, swingFootStaysLevelWhateverTorsoAndFootJoint) {
    RobotState state{};
    state.q[0] = 1.0;
    state.q[1] = -0.5;
    state.q[3] = 4.0;
    state.q[4] = 5.8;
    const float level = chainAngles(state, 0.0).swingFoot;
    EXPECT_FLOAT_EQ(level, static_cast<float>(-10.3 * degreesPerRadian));
    state.q[2] = 0.7;
    state.q[5] = -2.0;
    EXPECT_EQ(chainAngles(state, 0.0).swingFoot, level);
}

TEST_F(FrameLayoutTest, followCameraOrbitsTheCentreOfMass) {
    cameraState.pitch = 0.1;
    CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_FLOAT_EQ(cameraState.followOffsetX, static_cast<float>(2.6 * std::cos(1.0)));
    EXPECT_FLOAT_EQ(cameraState.followOffsetZ, static_cast<float>(2.6 * std::sin(1.0)));
    EXPECT_NEAR(view.eye[0], -2.6 * std::cos(1.0), 1e-6);
    EXPECT_EQ(view.eye[1], 1.0);
    EXPECT_NEAR(view.eye[2], 20 - 2.6 * std::sin(1.0), 1e-5);
    EXPECT_EQ(view.centre[0], 0.0);
    EXPECT_NEAR(view.centre[1], 1.0 - 100 * std::sin(0.1), 1e-12);
    EXPECT_EQ(view.centre[2], 20.0);

    // The target is the centre of mass carried onto the circle, and the orbit turns with it.
    walkerPlacement.comOffset[0] = 2.0;
    view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 20 * std::sin(0.1), 1e-5);
    EXPECT_NEAR(view.centre[2], 20 * std::cos(0.1), 1e-5);
    EXPECT_NEAR(view.eye[0], view.centre[0] - 2.6 * std::cos(0.9), 1e-5);
}

TEST_F(FrameLayoutTest, freeCameraLooksAlongYawAndPitch) {
    cameraState.mode = -1;
    CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_EQ(view.eye[2], 5.0);
    EXPECT_NEAR(view.centre[0], 0.0, 1e-12);
    EXPECT_NEAR(view.centre[1], 1.0, 1e-12);
    EXPECT_NEAR(view.centre[2], -95.0, 1e-12);
    EXPECT_EQ(cameraState.followOffsetX, 0.0f); // only the follow view writes the offsets

    cameraState.yaw = pi / 2;
    cameraState.pitch = pi / 6;
    view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 100 * std::cos(pi / 6), 1e-9);
    EXPECT_NEAR(view.centre[1], 1.0 - 50, 1e-9);
    EXPECT_NEAR(view.centre[2], 5.0, 1e-9);
}

TEST_F(FrameLayoutTest, zeroHeightKeepsThePreviousAspect) {
    recordWindowSize(800, 400);
    EXPECT_EQ(windowState.aspect, 2.0f);
    recordWindowSize(640, 0);
    EXPECT_EQ(windowState.width, 640);
    EXPECT_EQ(windowState.height, 0);
    EXPECT_EQ(windowState.aspect, 2.0f);
}

} // namespace

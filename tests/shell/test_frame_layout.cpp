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
    // A quarter of the way round the robot's x axis points along world -z.
    walkerPlacement.stanceArc = 20.0 * pi / 2;
    const FrameLayout quarter = layoutFrame();
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

TEST_F(FrameLayoutTest, followCamerasOrbitTheCentreOfMass) {
    cameraState.pitch = 0.1;
    walkerPlacement.comOffset[0] = 2.0; // carried onto the circle: 0.1 rad round
    const CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 20 * std::sin(0.1), 1e-5);
    EXPECT_NEAR(view.centre[1], 1.0 - 100 * std::sin(0.1), 1e-12);
    EXPECT_NEAR(view.centre[2], 20 * std::cos(0.1), 1e-5);
    EXPECT_NEAR(view.eye[0], view.centre[0] - 2.6 * std::cos(0.9), 1e-5);
    EXPECT_EQ(view.eye[1], 1.0);
    EXPECT_NEAR(view.eye[2], view.centre[2] - 2.6 * std::sin(0.9), 1e-5);

    // Side-on: level and square to the direction of travel, whatever the orbit and the tilt.
    cameraState.view = 1;
    const CameraView side = placeCamera(cameraState, walkerPlacement);
    const double along = (side.centre[0] - side.eye[0]) * std::cos(0.1) -
                         (side.centre[2] - side.eye[2]) * std::sin(0.1);
    EXPECT_NEAR(along, 0.0, 1e-6);
    EXPECT_EQ(side.eye[1], side.centre[1]);
}

TEST_F(FrameLayoutTest, freeCameraLooksAlongYawAndPitch) {
    cameraState.mode = -1;
    CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 0.0, 1e-12);
    EXPECT_NEAR(view.centre[1], 1.0, 1e-12);
    EXPECT_NEAR(view.centre[2], -95.0, 1e-12);

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
    EXPECT_EQ(windowState.aspect, 2.0f);
}

} // namespace

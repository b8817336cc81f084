#include <gtest/gtest.h>

#include <cmath>

#include "shell/frame_layout.h"

namespace {

class FrameLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override { resetShellState(); }
};

TEST_F(FrameLayoutTest, robotStandsOnTheCircleFacingAlongIt) {
    RobotPlacement start = placeRobot(walkerPlacement);
    EXPECT_EQ(start.theta, 0.0);
    EXPECT_FLOAT_EQ(start.drawX, 0.0f);
    EXPECT_FLOAT_EQ(start.drawZ, 20.0f);

    walkerPlacement.stanceArc = 20.0 * pi / 2;
    RobotPlacement quarter = placeRobot(walkerPlacement);
    EXPECT_DOUBLE_EQ(quarter.theta, pi / 2);
    EXPECT_FLOAT_EQ(quarter.drawX, 20.0f);
    EXPECT_NEAR(quarter.drawZ, 0.0f, 1e-5);
    // A quarter turn about y points the robot's x axis along world -z, the way it travels.
    EXPECT_FLOAT_EQ(chainAngles(robotState, quarter.theta).heading, 90.0f);
}

TEST_F(FrameLayoutTest, frameWritesThePathPointAndNothingOfTheWalk) {
    walkerPlacement.stanceArc = 7.5;
    walkerPlacement.comOffset[0] = 0.2;
    const WalkerPlacement before = walkerPlacement;
    FrameLayout frame = layoutFrame();
    EXPECT_EQ(walkerPlacement.drawX, frame.robot.drawX);
    EXPECT_EQ(walkerPlacement.drawZ, frame.robot.drawZ);
    EXPECT_FLOAT_EQ(walkerPlacement.drawX, static_cast<float>(20 * std::sin(7.5 / 20)));
    EXPECT_EQ(walkerPlacement.stanceArc, before.stanceArc);
    EXPECT_EQ(walkerPlacement.hipHalfWidth, before.hipHalfWidth);
}

TEST_F(FrameLayoutTest, chainTurnsByTheJointsAndKeepsTheSwingFootLevel) {
    RobotState state{};
    state.q[0] = 1.0;
    state.q[1] = -0.5;
    state.q[3] = 4.0;
    state.q[4] = 5.8;
    ChainAngles a = chainAngles(state, 0.0);
    EXPECT_FLOAT_EQ(a.joint[0], 57.29578f);
    EXPECT_FLOAT_EQ(a.joint[1], -28.64789f);
    EXPECT_FLOAT_EQ(a.swingFoot, static_cast<float>(-10.3 * degreesPerRadian));
    // The torso and the unused foot joint do not tilt the swing foot.
    state.q[2] = 0.7;
    state.q[5] = -2.0;
    EXPECT_EQ(chainAngles(state, 0.0).swingFoot, a.swingFoot);
    EXPECT_FLOAT_EQ(chainAngles(state, 0.0).joint[2], static_cast<float>(0.7 * degreesPerRadian));
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

    // The target follows the centre of mass ahead of the stance foot; the orbit turns with it.
    walkerPlacement.comOffset[0] = 2.0;
    view = placeCamera(cameraState, walkerPlacement);
    const double phi = 0.1;
    EXPECT_NEAR(view.centre[0], 20 * std::sin(phi), 1e-5);
    EXPECT_NEAR(view.centre[2], 20 * std::cos(phi), 1e-5);
    EXPECT_NEAR(view.eye[0], view.centre[0] - 2.6 * std::cos(1.0 - phi), 1e-5);

    // Only -1 is the free camera.
    cameraState.mode = 0;
    cameraState.followOffsetX = 0;
    placeCamera(cameraState, walkerPlacement);
    EXPECT_NE(cameraState.followOffsetX, 0.0f);
}

TEST_F(FrameLayoutTest, freeCameraLooksAlongYawAndPitchAndLeavesFollowOffsets) {
    cameraState.mode = -1;
    CameraView view = placeCamera(cameraState, walkerPlacement);
    EXPECT_EQ(view.eye[0], 0.0);
    EXPECT_EQ(view.eye[1], 1.0);
    EXPECT_EQ(view.eye[2], 5.0);
    EXPECT_NEAR(view.centre[0], 0.0, 1e-12);
    EXPECT_NEAR(view.centre[1], 1.0, 1e-12);
    EXPECT_NEAR(view.centre[2], -95.0, 1e-12);
    EXPECT_EQ(cameraState.followOffsetX, 0.0f);

    cameraState.yaw = pi / 2;
    cameraState.pitch = pi / 6; // looking down to the right
    view = placeCamera(cameraState, walkerPlacement);
    EXPECT_NEAR(view.centre[0], 100 * std::cos(pi / 6), 1e-9);
    EXPECT_NEAR(view.centre[1], 1.0 - 50, 1e-9);
    EXPECT_NEAR(view.centre[2], 5.0, 1e-9);
}

TEST_F(FrameLayoutTest, reshapeRecordsSizeAndSurvivesZeroHeight) {
    recordWindowSize(800, 400);
    EXPECT_EQ(windowState.width, 800);
    EXPECT_EQ(windowState.height, 400);
    EXPECT_EQ(windowState.aspect, 2.0f);
    recordWindowSize(640, 0);
    EXPECT_EQ(windowState.width, 640);
    EXPECT_EQ(windowState.height, 0);
    EXPECT_EQ(windowState.aspect, 2.0f);
    EXPECT_TRUE(std::isfinite(windowState.aspect));
}

} // namespace

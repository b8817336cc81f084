// The numbers of one frame, computed without a window: where the robot stands on its circle,
// the angles of its drawn chain, and the camera's eye and centre in follow and free mode.
// Also the window size bookkeeping of reshape, and the panel's place beside the scene.
//
// Offers: RobotPlacement, placeRobot, ChainAngles, chainAngles, CameraView, placeCamera,
// FrameLayout, layoutFrame, recordWindowSize, panelWidth, SceneViewport, sceneViewport. The display
// callback calls layoutFrame and forwards its numbers to GL; the reshape callback calls
// recordWindowSize.
//
// World frame: y up, ground y = 0, the robot walks on a circle of radius pathRadius around the
// origin. Angles in radians unless a name says degrees.
#pragma once

#include "shell/shell_state.h"

// The stance foot's path point on the circle and the heading there.
struct RobotPlacement {
    double theta;       // angle along the circle, stanceArc / pathRadius, rad
    float drawX, drawZ; // path point (pathRadius sin theta, pathRadius cos theta), m
};

RobotPlacement placeRobot(const WalkerPlacement& placement);

// The rotations of the drawn chain, in the degrees glRotatef takes.
struct ChainAngles {
    float heading; // turn about y that points the robot's x along the direction of travel
    float joint[orva::modelLinkCount]; // q[0..4]
    float swingFoot;                   // -(q0 + q1 + q3 + q4): keeps the swing foot level
};

ChainAngles chainAngles(const orva::RobotState& state, double theta);

struct CameraView {
    double eye[3];
    double centre[3];
};

// Follow mode (any mode but -1) also writes followOffsetX and followOffsetZ into camera.
CameraView placeCamera(CameraState& camera, const WalkerPlacement& placement);

struct FrameLayout {
    RobotPlacement robot;
    ChainAngles chain;
    CameraView view;
};

// One frame's numbers; writes drawX and drawZ into placement (and the follow offsets into camera
// in follow mode), the only fields a frame changes.
FrameLayout layoutFrame(WalkerPlacement& placement, CameraState& camera,
                        const orva::RobotState& robot);

// Reshape: records the size; a zero height keeps the previous aspect instead of dividing by 0.
void recordWindowSize(WindowState& window, int width, int height);

// The gait lab panel's width in a window this wide: half of it, at most maxPanelWidth.
constexpr int maxPanelWidth = 280;
int panelWidth(int windowWidth);

// Where the scene is drawn: the whole window, or beside the panel when it is shown, so that
// the panel hides nothing of ORVA.
struct SceneViewport {
    int x, y, width, height; // pixels, from the window's bottom left
    float aspect;            // width / height, given to the projection
};

SceneViewport sceneViewport(const WindowState& window, bool panelShown);

#include "shell/shell_state.h"

using namespace orva;

WindowState windowState;
WalkerPlacement walkerPlacement;
GaitSelection gaitSelection;
CameraState cameraState;
RobotState robotState;
WalkCycle walkCycle;

void resetShellState() {
    windowState = WindowState{};
    walkerPlacement = WalkerPlacement{};
    gaitSelection = GaitSelection{};
    cameraState = CameraState{};
    robotState = RobotState{};
}

// orva: the window program. Start-up, the idle, reshape and special-key callbacks; the frame
// is drawn by onDisplay and the keys are handled by onKeyboard.
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>
#include <iostream>

#include "assets/data_files.h"
#include "assets/model_list.h"
#include "assets/model_reader.h"
#include "model/core_setup.h"
#include "shell/camera_input.h"
#include "shell/frame_layout.h"
#include "shell/gait_option.h"
#include "shell/idle_pass.h"
#include "shell/pacing.h"
#include "shell/recording.h"
#include "shell/shell_state.h"
#include "shell/walk_stats.h"
#include "shell/window/cursor.h"
#include "shell/window/lab_window.h"
#include "shell/window/recorder.h"
#include "shell/window/scene_render.h"
#include "shell/window/start_up.h"
#include "walking/walk_cycle.h"

using namespace orva;

static_assert(keyF1 == GLUT_KEY_F1 && keyF2 == GLUT_KEY_F2 && keyF4 == GLUT_KEY_F4 &&
                  keyF12 == GLUT_KEY_F12 && keyLeft == GLUT_KEY_LEFT && keyUp == GLUT_KEY_UP &&
                  keyRight == GLUT_KEY_RIGHT && keyDown == GLUT_KEY_DOWN &&
                  keyInsert == GLUT_KEY_INSERT,
              "the shell's key codes are GLUT's");

namespace {

void mouseLook() {
    hideCursor();
    if (cameraState.navigationMode != -1) return;
    PointerPosition pointer;
    if (!readPointer(pointer)) return;
    if (const auto back = mouseLookTurn(pointer)) {
        warpPointer(*back);
        if (pacingState.paused) glutPostRedisplay();
    }
}

ModelReader basicPieceReader;
ModelReader footPieceReader;
MeshModel basicPieceModel;
MeshModel footPieceModel;

// Unpaced: one idle pass and a redraw after every tenth. Paced or paused: the passes the
// pacing plan names, then a wait instead of a spin when nothing is due.
void onIdle() {
    const double now = wallSeconds();
    const IdlePlan plan = planIdle(pacingState, now);
    if (runIdlePlan(plan, noteVideoIncrement)) glutPostRedisplay();
    updateRates(walkStats, now);
    mouseLook();
    if (plan.waitSeconds > 0) waitForEvents(plan.waitSeconds);
}

void onReshape(int width, int height) {
    recordWindowSize(width, height);
    glViewport(0, 0, width, height);
}

void onSpecialKey(int key, int, int) {
    switch (specialKeyPass(key)) {
    case KeyEffect::printHelp:
        printHelp(std::cout);
        break;
    case KeyEffect::exitProgram:
        showCursor();
        std::exit(0);
    case KeyEffect::warpPointer:
        warpPointer(insertWarpPoint());
        break;
    case KeyEffect::screenshot:
        requestScreenshot();
        break;
    case KeyEffect::none:
        break;
    }
    if (pacingState.paused) glutPostRedisplay(); // a paused picture still shows camera moves
}

void setFixedGlState() {
    const GLfloat materialDiffuse[] = {0.05f, 0.05f, 0.05f, 1.0f};
    const GLfloat light0Position[] = {6, 8, -5, 0};
    const GLfloat light1Position[] = {-4, 20, 30, 0};
    const GLfloat lightDiffuse[] = {0.4f, 0.4f, 0.4f, 1};
    const GLfloat lightAmbient[] = {0.1f, 0.1f, 0.1f, 1};
    glClearColor(1, 1, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, materialDiffuse);
    glMaterialf(GL_FRONT, GL_SHININESS, 0.25f);
    // Given while the model-view matrix is the identity: both lights stay fixed to the eye.
    glLightfv(GL_LIGHT0, GL_POSITION, light0Position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1Position);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
}

} // namespace

int main(int argc, char** argv) {
    openStandardStreams();
    if (const int status = infoOption(argc, argv); status >= 0) return status;
    setupCore();
    GaitTarget start;
    const int argumentsGiven = argc;
    if (const int status = takeGaitArgument(argc, argv, start); status >= 0) return status;
    const bool gaitGiven = argc != argumentsGiven;
    RecordRequest recording;
    if (const int status = recordOption(argc, argv, recording); status >= 0) return status;
    if (recording.mode != 0 && gaitGiven) {
        std::cerr << "orva: --mode and --gait exclude each other (try 'orva --help')" << std::endl;
        return 2;
    }
    startWalking(recording.mode != 0 ? tableGait(recording.mode) : start);
    applyRecordRequest(recording);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(windowState.width, windowState.height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argc > 0 ? argv[0] : "orva");

    setFixedGlState();

    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutSpecialFunc(onSpecialKey);
    glutKeyboardFunc(onKeyboard);
    glutIdleFunc(onIdle);
    if (recording.wanted) recordFromCommandLine(recording);

    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        loadTgaTexture(sceneTextures[slot], sceneTextureFiles[slot]);
    }
    basicPieceReader.importFile(basicPieceModel, basicPieceFile);
    basicPieceList = compileModelList(basicPieceModel);
    footPieceReader.importFile(footPieceModel, footPieceFile);
    footPieceList = compileModelList(footPieceModel);

    glutMainLoop();
    return 0;
}

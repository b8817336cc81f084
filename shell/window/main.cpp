// orva: the window program. Start-up, and the GLUT callbacks, which reach the program's one
// LabWindow through theLab and hand its parts to the functions that do the work.
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdlib>
#include <iostream>

#include "assets/data_files.h"
#include "assets/model_list.h"
#include "assets/model_reader.h"
#include "model/core_setup.h"
#include "shell/camera_input.h"
#include "shell/frame_layout.h"
#include "shell/idle_pass.h"
#include "shell/pacing.h"
#include "shell/recording.h"
#include "shell/walk_stats.h"
#include "shell/window/cursor.h"
#include "shell/window/lab_window.h"
#include "shell/window/panel.h"
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

// The program's state, made in main. GLUT's callbacks take no argument of ours: this pointer is
// how they reach it. Its plain name lets the window probe of bench/ find it with nm.
LabWindow* theLab = nullptr;

namespace {

void mouseLook(LabWindow& w) {
    hideCursor(w.cursor);
    if (w.lab.camera.navigationMode != -1) return;
    PointerPosition pointer;
    if (!readPointer(w.cursor, pointer)) return;
    if (const auto back = mouseLookTurn(w.lab.camera, w.lab.window, pointer)) {
        warpPointer(w.cursor, *back);
        if (w.lab.pacing.paused) glutPostRedisplay();
    }
}

// Unpaced: one idle pass and a redraw after every tenth. Paced or paused: the passes the
// pacing plan names, then a wait instead of a spin when nothing is due. A video frame asked for
// stops the passes until it is drawn.
void onIdle() {
    LabWindow& w = *theLab;
    Lab& lab = w.lab;
    if (videoFramePending(w.recorder)) return;
    const double now = wallSeconds();
    const IdlePlan plan = planIdle(lab.pacing, now);
    if (runIdlePlan(lab, plan, [&w] { return videoFrameDue(w.recorder, w.lab.window); }))
        glutPostRedisplay();
    updateRates(lab.stats, now);
    mouseLook(w);
    if (plan.waitSeconds > 0 && !videoFramePending(w.recorder)) waitForEvents(plan.waitSeconds);
}

void onRecordIdle() {
    recordIdle(theLab->recorder, theLab->lab);
}

void onDisplay() {
    displayFrame(*theLab);
}

void onKey(unsigned char key, int, int) {
    onKeyboard(*theLab, key);
}

void onReshape(int width, int height) {
    recordWindowSize(theLab->lab.window, width, height);
    glViewport(0, 0, width, height);
}

void onSpecialKey(int key, int, int) {
    LabWindow& w = *theLab;
    Lab& lab = w.lab;
    switch (specialKeyPass(lab.camera, lab.placement, key)) {
    case KeyEffect::printHelp:
        printHelp(std::cout);
        break;
    case KeyEffect::exitProgram:
        showCursor(w.cursor);
        std::exit(0);
    case KeyEffect::warpPointer:
        warpPointer(w.cursor, insertWarpPoint(lab.window));
        break;
    case KeyEffect::screenshot:
        requestScreenshot(w);
        break;
    case KeyEffect::none:
        break;
    }
    if (lab.pacing.paused) glutPostRedisplay(); // a paused picture still shows camera moves
}

// The pointer goes to the panel once it is set up.
void onMouse(int button, int state, int x, int y) {
    panelMouse(theLab->panel, theLab->lab, button, state, x, y);
}

void onMotion(int x, int y) {
    panelMotion(theLab->panel, theLab->lab, x, y);
}

void onWheel(int wheel, int direction, int x, int y) {
    panelWheel(theLab->panel, theLab->lab, wheel, direction, x, y);
}

void onEntry(int state) {
    panelEntry(theLab->panel, state);
}

// exit() ends the program from inside GLUT (F4, the window closed, a recording written), with
// main's frame and the lab still there: a recording from the keys is kept and the map's worker
// stopped before the statics go.
void atExit() {
    if (!theLab) return;
    endRecordingAtExit(theLab->recorder);
    stopGaitMap(theLab->lab.gaitMap);
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

// The textures and the two mesh pieces, compiled into display lists; the meshes are not kept.
void loadScene(SceneAssets& scene) {
    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        loadTgaTexture(scene.textures[slot], sceneTextureFiles[slot]);
    }
    ModelReader reader;
    MeshModel basicPiece, footPiece;
    reader.importFile(basicPiece, basicPieceFile);
    scene.basicPieceList = compileModelList(basicPiece);
    ModelReader footReader;
    footReader.importFile(footPiece, footPieceFile);
    scene.footPieceList = compileModelList(footPiece);
}

void registerCallbacks(bool recording) {
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutMouseFunc(onMouse);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onMotion);
    glutMouseWheelFunc(onWheel);
    glutEntryFunc(onEntry);
    // A recording from the command line takes no keys.
    if (!recording) {
        glutSpecialFunc(onSpecialKey);
        glutKeyboardFunc(onKey);
    }
    glutIdleFunc(recording ? onRecordIdle : onIdle);
}

} // namespace

int main(int argc, char** argv) {
    openStandardStreams();
    if (const int status = infoOption(argc, argv); status >= 0) return status;
    setupCore();
    GaitTarget start;
    RecordRequest recording;
    if (const int status = windowArguments(argc, argv, start, recording, std::cerr); status >= 0)
        return status;
    LabWindow window;
    theLab = &window;
    std::atexit(atExit);
    startWalking(window.lab, start);
    applyRecordRequest(recording, window.lab);
    if (recording.wanted) recordFromCommandLine(window.recorder, recording);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(window.lab.window.width, window.lab.window.height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argc > 0 ? argv[0] : "orva");

    setFixedGlState();
    registerCallbacks(recording.wanted);
    loadScene(window.scene);

    glutMainLoop();
    // Should GLUT return instead of exiting, the same end, before the lab goes.
    atExit();
    theLab = nullptr;
    return 0;
}

#include "shell/window/panel.h"

#include <GL/freeglut.h>
#include <backends/imgui_impl_glut.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <cfloat>
#include <string>

#include "model/gait_table.h"
#include "shell/camera_input.h"
#include "shell/frame_layout.h"
#include "shell/idle_pass.h"
#include "shell/pacing.h"
#include "shell/shell_state.h"
#include "shell/walk_stats.h"
#include "shell/window/lab_window.h"
#include "shell/window/panel_dynamics.h"
#include "shell/window/panel_sections.h"
#include "shell/window/recorder.h"
#include "walking/walk_cycle.h"

using namespace orva;

namespace {

bool shown = false;
bool ready = false;
int framesToSettle = 0; // ImGui lays a window out over a few frames after it shows or is used

bool pointerForPanel() {
    return shown && cameraState.navigationMode != -1;
}

// Two more frames let the panel answer an event; a running loop draws them anyway.
void settle() {
    framesToSettle = 2;
    if (pacingState.paused) glutPostRedisplay();
}

// This ImGui reads the buttons once a frame: a quick click, pressed and released between two
// frames, would be lost. Such a release waits for the frame after the one that saw the press.
bool pressUnseen[3] = {};
bool releaseWaiting[3] = {};

int imguiButton(int glutButton) {
    return glutButton == GLUT_LEFT_BUTTON     ? 0
           : glutButton == GLUT_RIGHT_BUTTON  ? 1
           : glutButton == GLUT_MIDDLE_BUTTON ? 2
                                              : -1;
}

// The program's own pointer callbacks, forwarded to ImGui.
void onMouse(int button, int state, int x, int y) {
    if (!pointerForPanel()) return;
    const int b = imguiButton(button);
    if (b >= 0 && state == GLUT_UP && pressUnseen[b]) {
        ImGui::GetIO().MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
        releaseWaiting[b] = true;
    } else {
        ImGui_ImplGLUT_MouseFunc(button, state, x, y);
        if (b >= 0) pressUnseen[b] = state == GLUT_DOWN;
    }
    settle();
}

// After a frame: presses are seen; releases that waited for it are given to ImGui.
void releaseWaitingButtons() {
    for (int b = 0; b < 3; ++b) {
        pressUnseen[b] = false;
        if (!releaseWaiting[b]) continue;
        releaseWaiting[b] = false;
        ImGui::GetIO().MouseDown[b] = false;
    }
}

void onMotion(int x, int y) {
    if (!pointerForPanel()) return;
    ImGui_ImplGLUT_MotionFunc(x, y);
    settle();
}

void onWheel(int wheel, int direction, int x, int y) {
    if (!pointerForPanel()) return;
    ImGui_ImplGLUT_MouseWheelFunc(wheel, direction, x, y);
    settle();
}

void onEntry(int state) {
    if (state == GLUT_LEFT) ImGui::GetIO().MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
}

void setUp() {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr; // the program writes no settings
    ImGui::StyleColorsDark();
    ImGui_ImplGLUT_Init();
    ImGui_ImplOpenGL2_Init();
    glutMouseFunc(onMouse);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onMotion);
    glutMouseWheelFunc(onWheel);
    glutEntryFunc(onEntry);
}

const char* const viewNames[] = {"follow", "side-on", "aimed free"};

// A gait mode, or "custom" for a gait that is no row of the table.
std::string modeName(int mode) {
    return mode == customGait ? "custom" : "mode " + std::to_string(mode);
}

void gaitSection() {
    const GaitSelection& g = gaitSelection;
    const WalkCycle& w = walkCycle;
    if (g.custom)
        ImGui::Text("keys   custom gait (letters: table)");
    else
        ImGui::Text("keys   mode %d (L%d H%d S%d)", g.gaitMode, g.stepLength, g.stepHeight,
                    g.stepSpeed);
    if (w.changeLatched) {
        ImGui::Text("walks  %s, %s waits", modeName(w.current.mode).c_str(),
                    modeName(w.pending.mode).c_str());
    } else {
        ImGui::Text("walks  %s", modeName(w.current.mode).c_str());
    }
    const GaitEntry& e = w.current.entry;
    ImGui::Text("steps  %.3f / %.3f m", e.backStep, e.foreStep);
    ImGui::Text("hip    %.3f m/s", e.meanSpeed);
    ImGui::Text("clear  %.3f m", e.clearance);
    ImGui::Text("hip y  %.3f > %.3f m", e.hipHeightStart, e.hipHeightEnd);
    ImGui::Text("vy     %.2f > %.2f m/s", e.hipVyStart, e.hipVyEnd);
    ImGui::Text("ay     %.2f > %.2f m/s2", e.hipAyStart, e.hipAyEnd);

    const int stepSegment = stepSegmentOf(w.phase);
    ImGui::Text("step   %s>%s %.3f s", modeName(walkStats.stepFrom).c_str(),
                modeName(walkStats.stepTo).c_str(), w.segments[stepSegment].duration);
    ImGui::Text("passes %d outer, %d inner", w.stepStats.outerPasses, w.stepStats.innerPasses);
    if (walkStats.byLevel)
        ImGui::Text(walkStats.stepTo == customGait ? "       part of the way"
                                                   : "       one length level");
}

void motionSection() {
    const WalkStats& s = walkStats;
    ImGui::Text("speed  %.3f m/s", s.stepSpeed);
    ImGui::Text("walked %.2f m", s.distance);
    ImGui::Text("steps  %d, laps %d", s.steps, laps(s));
    ImGui::Text("phase  %d at %.3f s", walkCycle.phase, walkCycle.phaseClock);
    ImGui::Text("support leg %d", walkCycle.supportFlag);
    ImGui::Text("real time x%.2f", s.realTimeFactor);
    ImGui::Text("frames %.0f/s", s.framesPerSecond);
}

void plot(const char* label, const float ring[historyLength], const char* unit) {
    char overlay[48];
    const int newest = (walkStats.historyNext + historyLength - 1) % historyLength;
    std::snprintf(overlay, sizeof overlay, "%s %.3f %s", label, ring[newest], unit);
    ImGui::PlotLines("##plot", ring, historyLength, walkStats.historyNext, overlay, FLT_MAX,
                     FLT_MAX, ImVec2(ImGui::GetContentRegionAvail().x, 36));
}

void plotsSection() {
    static const char* const jointNames[] = {"q0", "q1", "q2", "q3", "q4"};
    for (int i = 0; i < modelLinkCount; ++i) {
        ImGui::PushID(i);
        plot(jointNames[i], walkStats.joint[i], "rad");
        ImGui::PopID();
    }
    ImGui::PushID(5);
    plot("com y", walkStats.comHeight, "m");
    ImGui::PopID();
    ImGui::PushID(6);
    plot("speed", walkStats.forwardSpeed, "m/s");
    ImGui::PopID();
}

// Two buttons that press the gait keys, through the same path as the keyboard.
void levelButtons(const char* name, int level, unsigned char down, unsigned char up) {
    ImGui::PushID(name);
    if (ImGui::Button("-")) onKey(down, 0, 0);
    ImGui::SameLine();
    if (ImGui::Button("+")) onKey(up, 0, 0);
    ImGui::SameLine();
    ImGui::Text("%s %d", name, level);
    ImGui::PopID();
}

void controlsSection() {
    PacingState& p = pacingState;
    if (ImGui::Button(p.paused ? "resume (p)" : "pause (p)")) togglePause(p, wallSeconds());
    ImGui::SameLine();
    ImGui::BeginDisabled(!p.paused);
    if (ImGui::Button("step (o)")) requestStep(p);
    ImGui::EndDisabled();
    bool paced = p.paced;
    if (ImGui::Checkbox("paced (r)", &paced)) togglePacing(p, wallSeconds());
    if (ImGui::Button("-##speed")) changeSpeed(p, -1, wallSeconds());
    ImGui::SameLine();
    if (ImGui::Button("+##speed")) changeSpeed(p, 1, wallSeconds());
    ImGui::SameLine();
    ImGui::Text("speed x%g", speedFactor(p));
    levelButtons("length", gaitSelection.stepLength, 'w', 'x');
    levelButtons("height", gaitSelection.stepHeight, 'q', 's');
    levelButtons("speed", gaitSelection.stepSpeed, 'a', 'z');
    if (ImGui::Button("camera (c)")) cycleCameraView();
    ImGui::SameLine();
    ImGui::Text("%s", cameraState.view == 0 && cameraState.mode == -1
                          ? "free"
                          : viewNames[cameraState.view]);
    if (ImGui::Button("screenshot (F12)")) requestScreenshot();
    if (ImGui::Button("video (v)")) toggleRecording(true);
    ImGui::SameLine();
    ImGui::Checkbox("with panel", &panelInVideo);
}

} // namespace

void togglePanel() {
    if (!ready) setUp();
    ready = true;
    shown = !shown;
    settle();
}

bool panelShown() {
    return shown;
}

void drawPanel() {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize =
        ImVec2(static_cast<float>(windowState.width), static_cast<float>(windowState.height));
    // The window hides the system pointer; ImGui draws its own while the panel may be used.
    io.MouseDrawCursor = pointerForPanel();
    if (!pointerForPanel()) {
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
        for (bool& down : io.MouseDown) down = false;
    }
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplGLUT_NewFrame();

    // Pinned beside the scene's viewport, so that it hides nothing of ORVA and stays in the
    // window after any resize.
    ImGui::SetNextWindowPos(ImVec2(0, 0), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(static_cast<float>(panelWidth(windowState.width)),
                                    static_cast<float>(windowState.height)),
                             ImGuiCond_Always);
    ImGui::Begin("ORVA gait lab (h)", nullptr,
                 ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse);
    if (ImGui::CollapsingHeader("Gait", ImGuiTreeNodeFlags_DefaultOpen)) gaitSection();
    if (ImGui::CollapsingHeader("Explorer", ImGuiTreeNodeFlags_DefaultOpen)) explorerSection();
    if (ImGui::CollapsingHeader("Motion", ImGuiTreeNodeFlags_DefaultOpen)) motionSection();
    if (ImGui::CollapsingHeader("Plots", ImGuiTreeNodeFlags_DefaultOpen)) plotsSection();
    if (ImGui::CollapsingHeader("Dynamics", ImGuiTreeNodeFlags_DefaultOpen)) dynamicsSection();
    if (ImGui::CollapsingHeader("Controls", ImGuiTreeNodeFlags_DefaultOpen)) controlsSection();
    ImGui::End();

    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    releaseWaitingButtons();
    glColor4f(1, 1, 1, 1); // the colour the box of the next frame is drawn in
    if (framesToSettle > 0 && pacingState.paused) {
        --framesToSettle;
        glutPostRedisplay();
    }
}

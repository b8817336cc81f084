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
#include "shell/walk_stats.h"
#include "shell/window/lab_window.h"
#include "shell/window/panel_sections.h"
#include "walking/walk_cycle.h"

using namespace orva;

namespace {

bool pointerForPanel(const Panel& panel, const Lab& lab) {
    return panel.shown && lab.camera.navigationMode != -1;
}

// Two more frames let the panel answer an event; a running loop draws them anyway.
void settle(Panel& panel, bool paused) {
    panel.framesToSettle = 2;
    if (paused) glutPostRedisplay();
}

int imguiButton(int glutButton) {
    return glutButton == GLUT_LEFT_BUTTON     ? 0
           : glutButton == GLUT_RIGHT_BUTTON  ? 1
           : glutButton == GLUT_MIDDLE_BUTTON ? 2
                                              : -1;
}

// After a frame: presses are seen; releases that waited for it are given to ImGui.
void releaseWaitingButtons(Panel& panel) {
    for (int b = 0; b < 3; ++b) {
        panel.pressUnseen[b] = false;
        if (!panel.releaseWaiting[b]) continue;
        panel.releaseWaiting[b] = false;
        ImGui::GetIO().MouseDown[b] = false;
    }
}

void setUp() {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr; // the program writes no settings
    ImGui::StyleColorsDark();
    ImGui_ImplGLUT_Init();
    ImGui_ImplOpenGL2_Init();
}

const char* const viewNames[] = {"follow", "side-on", "aimed free"};

void gaitSection(const Lab& lab) {
    const GaitSelection& g = lab.gait;
    const WalkCycle& w = lab.walker;
    const WalkStats& stats = lab.stats;
    // Lines of at most 26 characters, or two: the panel at the starting window's size cuts
    // longer ones.
    if (g.custom)
        ImGui::Text("keys   custom gait"); // a gait key returns to the table
    else
        ImGui::Text("keys   mode %d (L%d H%d S%d)", g.gaitMode, g.stepLength, g.stepHeight,
                    g.stepSpeed);
    if (w.changeLatched) {
        ImGui::Text("walks  %s,\n       %s waits", gaitLabel(w.current.mode).c_str(),
                    gaitLabel(w.pending.mode).c_str());
    } else {
        ImGui::Text("walks  %s", gaitLabel(w.current.mode).c_str());
    }
    const GaitEntry& e = w.current.entry;
    ImGui::Text("steps  %.3f / %.3f m", e.backStep, e.foreStep);
    ImGui::Text("hip    %.3f m/s", e.meanSpeed);
    ImGui::Text("clear  %.3f m", e.clearance);
    ImGui::Text("hip y  %.3f > %.3f m", e.hipHeightStart, e.hipHeightEnd);
    ImGui::Text("vy     %.2f > %.2f m/s", e.hipVyStart, e.hipVyEnd);
    ImGui::Text("ay     %.2f > %.2f m/s2", e.hipAyStart, e.hipAyEnd);

    const int stepSegment = stepSegmentOf(w.phase);
    ImGui::Text("step   %s>%s", gaitLabel(stats.stepFrom).c_str(), gaitLabel(stats.stepTo).c_str());
    ImGui::Text("       lasts %.3f s", w.segments[stepSegment].duration);
    ImGui::Text("passes %d outer, %d inner", w.stepStats.outerPasses, w.stepStats.innerPasses);
    if (stats.byLevel)
        ImGui::Text(stats.stepTo == customGait ? "       part of the way"
                                               : "       one length level");
}

void motionSection(const Lab& lab) {
    const WalkStats& s = lab.stats;
    ImGui::Text("speed  %.3f m/s", s.stepSpeed);
    ImGui::Text("walked %.2f m", s.distance);
    ImGui::Text("steps  %d, laps %d", s.steps, laps(s, lab.placement.pathRadius));
    ImGui::Text("phase  %d at %.3f s", lab.walker.phase, lab.walker.phaseClock);
    ImGui::Text("support leg %d", lab.walker.supportFlag);
    ImGui::Text("real time x%.2f", s.realTimeFactor);
    ImGui::Text("frames %.0f/s", s.framesPerSecond);
}

void plot(const WalkStats& stats, const char* label, const float ring[historyLength],
          const char* unit) {
    char overlay[48];
    const int newest = (stats.historyNext + historyLength - 1) % historyLength;
    std::snprintf(overlay, sizeof overlay, "%s %.3f %s", label, ring[newest], unit);
    ImGui::PlotLines("##plot", ring, historyLength, stats.historyNext, overlay, FLT_MAX, FLT_MAX,
                     ImVec2(ImGui::GetContentRegionAvail().x, 36));
}

void plotsSection(const WalkStats& stats) {
    static const char* const jointNames[] = {"q0", "q1", "q2", "q3", "q4"};
    for (int i = 0; i < modelLinkCount; ++i) {
        ImGui::PushID(i);
        plot(stats, jointNames[i], stats.joint[i], "rad");
        ImGui::PopID();
    }
    ImGui::PushID(5);
    plot(stats, "com y", stats.comHeight, "m");
    ImGui::PopID();
    ImGui::PushID(6);
    plot(stats, "speed", stats.forwardSpeed, "m/s");
    ImGui::PopID();
}

// Two buttons that press the gait keys of a level, through the same path as the keyboard.
void levelButtons(GaitSelection& gait, const char* name, int GaitSelection::*level) {
    ImGui::PushID(name);
    if (ImGui::Button("-")) pressGaitKey(gait, findGaitKey(level, -1).key);
    ImGui::SameLine();
    if (ImGui::Button("+")) pressGaitKey(gait, findGaitKey(level, +1).key);
    ImGui::SameLine();
    ImGui::Text("%s %d", name, gait.*level);
    ImGui::PopID();
}

void controlsSection(LabWindow& window) {
    Lab& lab = window.lab;
    PacingState& p = lab.pacing;
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
    levelButtons(lab.gait, "length", &GaitSelection::stepLength);
    levelButtons(lab.gait, "height", &GaitSelection::stepHeight);
    levelButtons(lab.gait, "speed", &GaitSelection::stepSpeed);
    const CameraState& camera = lab.camera;
    if (ImGui::Button("camera (c)"))
        cycleCameraView(lab.camera, lab.cameraBeforeViews, lab.placement);
    ImGui::SameLine();
    ImGui::Text("%s", camera.view == 0 && camera.mode == -1 ? "free" : viewNames[camera.view]);
    if (ImGui::Button("screenshot (F12)")) requestScreenshot(window);
    if (ImGui::Button("video (v)")) toggleRecording(window.recorder, lab.window, true);
    ImGui::SameLine();
    ImGui::Checkbox("with panel", &window.recorder.panelInVideo);
}

} // namespace

void togglePanel(Panel& panel, bool paused) {
    if (!panel.ready) setUp();
    panel.ready = true;
    panel.shown = !panel.shown;
    settle(panel, paused);
}

void panelMouse(Panel& panel, const Lab& lab, int button, int state, int x, int y) {
    if (!pointerForPanel(panel, lab)) return;
    const int b = imguiButton(button);
    if (b >= 0 && state == GLUT_UP && panel.pressUnseen[b]) {
        ImGui::GetIO().MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
        panel.releaseWaiting[b] = true;
    } else {
        ImGui_ImplGLUT_MouseFunc(button, state, x, y);
        if (b >= 0) panel.pressUnseen[b] = state == GLUT_DOWN;
    }
    settle(panel, lab.pacing.paused);
}

void panelMotion(Panel& panel, const Lab& lab, int x, int y) {
    if (!pointerForPanel(panel, lab)) return;
    ImGui_ImplGLUT_MotionFunc(x, y);
    settle(panel, lab.pacing.paused);
}

void panelWheel(Panel& panel, const Lab& lab, int wheel, int direction, int x, int y) {
    if (!pointerForPanel(panel, lab)) return;
    ImGui_ImplGLUT_MouseWheelFunc(wheel, direction, x, y);
    settle(panel, lab.pacing.paused);
}

void panelEntry(const Panel& panel, int state) {
    if (panel.ready && state == GLUT_LEFT) ImGui::GetIO().MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
}

void drawPanel(LabWindow& window) {
    Lab& lab = window.lab;
    Panel& panel = window.panel;
    const WindowState& size = lab.window;
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(size.width), static_cast<float>(size.height));
    // The window hides the system pointer; ImGui draws its own while the panel may be used.
    io.MouseDrawCursor = pointerForPanel(panel, lab);
    if (!io.MouseDrawCursor) {
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
        for (bool& down : io.MouseDown) down = false;
    }
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplGLUT_NewFrame();

    // Pinned beside the scene's viewport, so that it hides nothing of ORVA and stays in the
    // window after any resize.
    ImGui::SetNextWindowPos(ImVec2(0, 0), ImGuiCond_Always);
    ImGui::SetNextWindowSize(
        ImVec2(static_cast<float>(panelWidth(size.width)), static_cast<float>(size.height)),
        ImGuiCond_Always);
    ImGui::Begin("ORVA gait lab (h)", nullptr,
                 ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse);
    if (ImGui::CollapsingHeader("Gait", ImGuiTreeNodeFlags_DefaultOpen)) gaitSection(lab);
    if (ImGui::CollapsingHeader("Explorer", ImGuiTreeNodeFlags_DefaultOpen))
        explorerSection(panel, lab);
    if (ImGui::CollapsingHeader("Motion", ImGuiTreeNodeFlags_DefaultOpen)) motionSection(lab);
    if (ImGui::CollapsingHeader("Plots", ImGuiTreeNodeFlags_DefaultOpen)) plotsSection(lab.stats);
    if (ImGui::CollapsingHeader("Dynamics", ImGuiTreeNodeFlags_DefaultOpen)) dynamicsSection(lab);
    if (ImGui::CollapsingHeader("Controls", ImGuiTreeNodeFlags_DefaultOpen))
        controlsSection(window);
    if (ImGui::CollapsingHeader("Ghost", ImGuiTreeNodeFlags_DefaultOpen)) ghostSection(lab);
    ImGui::End();

    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    releaseWaitingButtons(panel);
    glColor4f(1, 1, 1, 1); // the colour the box of the next frame is drawn in
    if (panel.framesToSettle > 0 && lab.pacing.paused) {
        --panel.framesToSettle;
        glutPostRedisplay();
    }
}

#include "shell/window/lab_window.h"

#include <GL/glut.h>
#include <GL/glx.h>
#include <poll.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "shell/camera_input.h"
#include "shell/idle_pass.h"
#include "shell/numbered_file.h"
#include "shell/pacing.h"
#include "shell/walk_stats.h"

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    bytes->insert(bytes->end(), static_cast<unsigned char*>(data),
                  static_cast<unsigned char*>(data) + size);
}

void saveScreenshot(const WindowState& window) {
    const int width = window.width, height = window.height;
    if (width <= 0 || height <= 0) {
        std::cout << "No screenshot saved: the window has no drawing area" << std::endl;
        return;
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3), png;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    stbi_flip_vertically_on_write(1); // GL's rows go upwards
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, 3, pixels.data(), width * 3)) {
        std::cout << "No screenshot saved: the picture could not be encoded" << std::endl;
        return;
    }
    const NumberedFile file = createNumberedFile("orva-", ".png");
    if (file.fd < 0) {
        std::cout << "No screenshot saved: " << file.error << std::endl;
        return;
    }
    FILE* out = fdopen(file.fd, "wb");
    if (!out) close(file.fd);
    const bool written = out && std::fwrite(png.data(), 1, png.size(), out) == png.size();
    if (out && std::fclose(out) == 0 && written) {
        std::cout << "Saved " << file.name << std::endl;
    } else {
        std::remove(file.name.c_str()); // no cut-short picture under the name
        std::cout << "Could not write " << file.name << std::endl;
    }
}

} // namespace

void onKeyboard(LabWindow& window, unsigned char key) {
    Lab& lab = window.lab;
    PacingState& pacing = lab.pacing;
    pressGaitKey(lab.gait, key);
    const double now = wallSeconds();
    switch (key) {
    case 'r':
        togglePacing(pacing, now);
        break;
    case 'p':
        togglePause(pacing, now);
        break;
    case 'o':
        requestStep(pacing);
        break;
    case '+':
    case '=':
        changeSpeed(pacing, 1, now);
        break;
    case '-':
        changeSpeed(pacing, -1, now);
        break;
    case 'c':
        cycleCameraView(lab.camera, lab.cameraBeforeViews, lab.placement);
        break;
    case 'h':
        togglePanel(window.panel, pacing.paused);
        break;
    case 'v':
        toggleRecording(window.recorder, lab.window);
        break;
    case 'g':
        showGhost(lab.ghost, lab.walker, !lab.ghost.shown);
        break;
    default:
        break;
    }
    // A paused picture still shows what the keys change.
    if (pacing.paused) glutPostRedisplay();
}

void requestScreenshot(LabWindow& window) {
    window.screenshotWanted = true;
    glutPostRedisplay();
}

void displayFrame(LabWindow& window) {
    Lab& lab = window.lab;
    Recorder& recorder = window.recorder;
    const bool panelShown = window.panel.shown;
    drawScene(window.scene, lab, panelShown && !videoLeavesPanelOut(recorder));
    captureVideoFrame(recorder, lab.window, false, panelShown);
    if (panelShown) drawPanel(window);
    captureVideoFrame(recorder, lab.window, true, panelShown);
    if (window.screenshotWanted) {
        window.screenshotWanted = false;
        saveScreenshot(lab.window);
    }
    noteFrame(lab.stats);
    glutSwapBuffers();
    afterVideoFrame(recorder);
}

void waitForEvents(double seconds) {
    Display* display = glXGetCurrentDisplay();
    if (!display || XPending(display) > 0) return;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    const double whole = std::floor(seconds);
    const timespec timeout{static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
    ppoll(&connection, 1, &timeout, nullptr);
}

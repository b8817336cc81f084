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
#include "shell/shell_state.h"
#include "shell/walk_stats.h"
#include "shell/window/panel.h"
#include "shell/window/recorder.h"

namespace {

bool screenshotWanted = false;

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    bytes->insert(bytes->end(), static_cast<unsigned char*>(data),
                  static_cast<unsigned char*>(data) + size);
}

void saveScreenshot() {
    const int width = windowState.width, height = windowState.height;
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

void onKeyboard(unsigned char key, int x, int y) {
    onKey(key, x, y);
    const double now = wallSeconds();
    switch (key) {
    case 'r':
        togglePacing(pacingState, now);
        break;
    case 'p':
        togglePause(pacingState, now);
        break;
    case 'o':
        requestStep(pacingState);
        break;
    case '+':
    case '=':
        changeSpeed(pacingState, 1, now);
        break;
    case '-':
        changeSpeed(pacingState, -1, now);
        break;
    case 'c':
        cycleCameraView();
        break;
    case 'h':
        togglePanel();
        break;
    case 'v':
        toggleRecording();
        break;
    default:
        break;
    }
    // A paused picture still shows what the keys change.
    if (pacingState.paused) glutPostRedisplay();
}

void requestScreenshot() {
    screenshotWanted = true;
    glutPostRedisplay();
}

void finishFrame() {
    captureVideoFrame(false);
    if (panelShown()) drawPanel();
    captureVideoFrame(true);
    if (screenshotWanted) {
        screenshotWanted = false;
        saveScreenshot();
    }
    noteFrame(walkStats);
}

void waitForEvents(double seconds) {
    Display* display = glXGetCurrentDisplay();
    if (!display || XPending(display) > 0) return;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    const double whole = std::floor(seconds);
    const timespec timeout{static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
    ppoll(&connection, 1, &timeout, nullptr);
}

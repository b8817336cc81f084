#include "shell/window/recorder.h"

#include <GL/glut.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "shell/idle_pass.h"
#include "shell/numbered_file.h"
#include "shell/pacing.h"
#include "shell/shell_state.h"
#include "shell/window/panel.h"
#include "shell/window/scene_render.h"
#include "shell/window/video_encoder.h"

bool panelInVideo = false;

namespace {

struct Recording {
    VideoEncoder* video = nullptr; // nullptr: not recording
    std::string name, temporary;   // the final name; the file written until it is complete
    int width = 0, height = 0;     // the video's: the window's, less an odd last pixel
    VideoClock clock;
    long long frames = 0;
    std::string error; // the first failure, in one line
};

Recording recording;
bool fromCommandLine = false;
bool captureWanted = false;
bool startWanted = false; // the panel's button: the next frame starts a recording
bool windowDrawn = false; // a frame was drawn: the window stands at its size
std::vector<unsigned char> pixels;

RecordRequest commandLine;
long long framesWanted = 0;
double startedAt = 0.0; // wall s

void abandon() {
    Recording& r = recording;
    if (r.video) {
        std::string ignored;
        closeVideo(r.video, ignored);
        r.video = nullptr;
    }
    std::remove(r.temporary.c_str());
}

// Completes the file and gives it its name; false with error set when it failed.
bool finish() {
    Recording& r = recording;
    std::string closing;
    const bool closed = closeVideo(r.video, closing);
    r.video = nullptr;
    if (r.error.empty() && !closed) r.error = closing;
    if (r.error.empty() && std::rename(r.temporary.c_str(), r.name.c_str()) != 0)
        r.error = std::string("cannot rename the finished video: ") + std::strerror(errno);
    if (!r.error.empty()) std::remove(r.temporary.c_str());
    return r.error.empty();
}

void endKeyRecording(const char* why = "") {
    const std::string name = recording.name;
    const long long frames = recording.frames;
    if (finish()) {
        std::cout << "Saved " << name << " (" << frames << " frames)" << why << std::endl;
    } else {
        std::cout << "Could not write " << name << ": " << recording.error << std::endl;
        std::remove(name.c_str()); // the empty file that held the name
    }
}

// At exit (F4, the window closed): a recording from the keys is kept, an unfinished one from
// the command line is not.
void endAtExit() {
    if (!recording.video) return;
    if (fromCommandLine) {
        abandon();
    } else {
        endKeyRecording();
    }
}

bool begin(const std::string& name, int width, int height) {
    Recording& r = recording;
    r = Recording{};
    r.name = name;
    r.width = width / 2 * 2;
    r.height = height / 2 * 2;
    r.temporary = createTemporaryBeside(name, r.error);
    if (r.temporary.empty()) return false;
    if (r.width < 2 || r.height < 2) r.error = "the window has no picture to record";
    if (r.error.empty()) r.video = openVideo(r.temporary, r.width, r.height, r.error);
    if (!r.video) {
        std::remove(r.temporary.c_str());
        return false;
    }
    static bool exitHandled = false;
    if (!exitHandled) exitHandled = std::atexit(endAtExit) == 0;
    return true;
}

// Draws the walk as it is now and encodes the picture; false when that failed.
bool takeFrame() {
    captureWanted = true;
    onDisplay();
    captureWanted = false;
    return recording.error.empty();
}

void failCommandLine() {
    std::cerr << "orva: " << commandLine.file << ": " << recording.error << std::endl;
    abandon();
    std::exit(1);
}

// One frame per idle call: four increments, then the frame, until all are written.
void recordIdle() {
    Recording& r = recording;
    if (!windowDrawn) return;
    if (!r.video) {
        const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
        if (width != commandLine.width || height != commandLine.height) {
            r.error = "the window is " + std::to_string(width) + "x" + std::to_string(height) +
                      ", not the size asked for (is the screen large enough?)";
            failCommandLine();
        }
        if (!begin(commandLine.file, width, height)) failCommandLine();
        std::cerr << "orva: recording " << framesWanted << " frames of " << width << "x" << height
                  << " into " << commandLine.file << std::endl;
        startedAt = wallSeconds();
    } else {
        runIdlePlan(IdlePlan{incrementsPerVideoFrame, false, false, 0.0});
    }
    if (!takeFrame()) failCommandLine();
    if (r.frames * 10 / framesWanted != (r.frames - 1) * 10 / framesWanted)
        std::cerr << "orva: " << r.frames << " of " << framesWanted << " frames" << std::endl;
    if (r.frames < framesWanted) return;
    const std::string codec = videoCodecName(r.video);
    if (!finish()) failCommandLine();
    const double seconds = wallSeconds() - startedAt;
    std::fprintf(stderr, "orva: wrote %s: %lld frames, %s, in %.2f s (%.1f frames/s)\n",
                 commandLine.file.c_str(), framesWanted, codec.c_str(), seconds,
                 framesWanted / seconds);
    std::exit(0);
}

} // namespace

void recordFromCommandLine(const RecordRequest& request) {
    commandLine = request;
    fromCommandLine = true;
    framesWanted = videoFrameCount(request.seconds);
    glutKeyboardFunc(nullptr);
    glutSpecialFunc(nullptr);
    glutIdleFunc(recordIdle);
}

void toggleRecording(bool atNextFrame) {
    if (recording.video) {
        endKeyRecording();
        return;
    }
    if (atNextFrame) {
        startWanted = true;
        glutPostRedisplay();
        return;
    }
    NumberedFile claimed = createNumberedFile("orva-", ".mp4");
    if (claimed.fd < 0) {
        std::cout << "Could not record: " << claimed.error << std::endl;
        return;
    }
    ::close(claimed.fd); // the name is ours; the encoder writes beside it and renames
    const std::string& name = claimed.name;
    // Drawn from within a frame, that frame is the first.
    const bool drawing = captureWanted;
    if (!begin(name, windowState.width, windowState.height) || (!drawing && !takeFrame())) {
        std::cout << "Could not record " << name << ": " << recording.error << std::endl;
        abandon();
        std::remove(name.c_str());
        return;
    }
    std::cout << "Recording " << name << std::endl;
}

void noteVideoIncrement() {
    Recording& r = recording;
    if (!r.video || fromCommandLine || !frameDueAfterIncrement(r.clock)) return;
    // The video keeps the size it began with.
    if (windowState.width / 2 * 2 != r.width || windowState.height / 2 * 2 != r.height) {
        endKeyRecording(", ended as the window changed size");
    } else if (!takeFrame()) {
        endKeyRecording();
    }
}

bool videoLeavesPanelOut() {
    return recording.video && !panelInVideo;
}

void captureVideoFrame(bool panelDrawn) {
    windowDrawn = true;
    if (startWanted && !panelDrawn) {
        startWanted = false;
        captureWanted = true;
        toggleRecording();
    }
    if (!captureWanted || panelDrawn != (panelInVideo && panelShown())) return;
    captureWanted = false;
    Recording& r = recording;
    if (!r.video || !r.error.empty()) return;
    pixels.resize(static_cast<size_t>(r.width) * r.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    // The top rows when the window's height is odd.
    glReadPixels(0, windowState.height - r.height, r.width, r.height, GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
    if (addVideoFrame(r.video, pixels.data(), r.error)) ++r.frames;
}

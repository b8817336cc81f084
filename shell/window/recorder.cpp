#include "shell/window/recorder.h"

#include <GL/glut.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

#include "shell/idle_pass.h"
#include "shell/numbered_file.h"
#include "shell/pacing.h"
#include "shell/window/video_encoder.h"

namespace {

// Back to idle, the file under way removed.
void abandon(Recorder& r) {
    if (r.video) {
        std::string ignored;
        closeVideo(r.video, ignored);
        r.video = nullptr;
    }
    std::remove(r.temporary.c_str());
    r.mode = RecorderMode::idle;
    r.frameWanted = false;
}

// Completes the file and gives it its name; false with error set when it failed.
bool finish(Recorder& r) {
    std::string closing;
    const bool closed = closeVideo(r.video, closing);
    r.video = nullptr;
    r.mode = RecorderMode::idle;
    r.frameWanted = false;
    if (r.error.empty() && !closed) r.error = closing;
    if (r.error.empty() && std::rename(r.temporary.c_str(), r.name.c_str()) != 0)
        r.error = std::string("cannot rename the finished video: ") + std::strerror(errno);
    if (!r.error.empty()) std::remove(r.temporary.c_str());
    return r.error.empty();
}

void endKeyRecording(Recorder& r, const char* why = "") {
    const std::string name = r.name;
    const long long frames = r.frames;
    if (finish(r)) {
        std::cout << "Saved " << name << " (" << frames << " frames)" << why << std::endl;
    } else {
        std::cout << "Could not write " << name << ": " << r.error << std::endl;
        std::remove(name.c_str()); // the empty file that held the name
    }
}

// Opens the video of a recording; the mode and the wishes stay as they were.
bool begin(Recorder& r, const std::string& name, int width, int height) {
    r.name = name;
    r.width = evenVideoSide(width);
    r.height = evenVideoSide(height);
    r.clock = VideoClock{};
    r.frames = 0;
    r.error.clear();
    r.endWanted = false;
    r.temporary = createTemporaryBeside(name, r.error);
    if (r.temporary.empty()) return false;
    if (r.width < 2 || r.height < 2) r.error = "the window has no picture to record";
    if (r.error.empty()) r.video = openVideo(r.temporary, name, r.width, r.height, r.error);
    if (!r.video) {
        std::remove(r.temporary.c_str());
        return false;
    }
    return true;
}

[[noreturn]] void failCommandLine(Recorder& r) {
    std::cerr << "orva: " << r.request.file << ": " << r.error << std::endl;
    abandon(r);
    std::exit(1);
}

// A recording from the keys, its first frame the next one drawn.
void startKeyRecording(Recorder& r, const WindowState& window) {
    NumberedFile claimed = createNumberedFile("orva-", ".mp4");
    if (claimed.fd < 0) {
        std::cout << "Could not record: " << claimed.error << std::endl;
        return;
    }
    ::close(claimed.fd); // the name is ours; the encoder writes beside it and renames
    const std::string& name = claimed.name;
    if (!begin(r, name, window.width, window.height)) {
        std::cout << "Could not record " << name << ": " << r.error << std::endl;
        std::remove(name.c_str());
        return;
    }
    r.mode = RecorderMode::key;
    r.frameWanted = true;
    std::cout << "Recording " << name << std::endl;
}

// The command line's video, once the window stands at the size asked for.
void startCommandLineVideo(Recorder& r) {
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    if (width != r.request.width || height != r.request.height) {
        r.error = "the window is " + std::to_string(width) + "x" + std::to_string(height) +
                  ", not the size asked for (is the screen large enough?)";
        failCommandLine(r);
    }
    if (!begin(r, r.request.file, width, height)) failCommandLine(r);
    std::cerr << "orva: recording " << r.framesWanted << " frames of " << width << "x" << height
              << " into " << r.request.file << std::endl;
    r.startedAt = wallSeconds();
}

// After a frame of `orva --record`: its progress, and the end once all are written.
void afterCommandLineFrame(Recorder& r) {
    if (!r.error.empty()) failCommandLine(r);
    const long long wanted = r.framesWanted;
    if (r.frames * 10 / wanted != (r.frames - 1) * 10 / wanted)
        std::cerr << "orva: " << r.frames << " of " << wanted << " frames" << std::endl;
    if (r.frames < wanted) return;
    const std::string codec = videoCodecName(r.video);
    if (!finish(r)) failCommandLine(r);
    const double seconds = wallSeconds() - r.startedAt;
    std::fprintf(stderr, "orva: wrote %s: %lld frames, %s, in %.2f s (%.1f frames/s)\n",
                 r.request.file.c_str(), wanted, codec.c_str(), seconds, wanted / seconds);
    std::exit(0);
}

} // namespace

void recordFromCommandLine(Recorder& recorder, const RecordRequest& request) {
    recorder.mode = RecorderMode::commandLine;
    recorder.request = request;
    recorder.framesWanted = videoFrameCount(request.seconds);
}

void recordIdle(Recorder& r, Lab& lab) {
    if (!r.windowDrawn || r.frameWanted) return;
    if (!r.video) {
        startCommandLineVideo(r);
    } else {
        runIdlePlan(lab, IdlePlan{incrementsPerVideoFrame, false, false, 0.0});
    }
    r.frameWanted = true;
    glutPostRedisplay();
}

void toggleRecording(Recorder& r, const WindowState& window, bool atNextFrame) {
    if (r.mode == RecorderMode::key) {
        if (r.frameWanted) {
            r.endWanted = true;
        } else {
            endKeyRecording(r);
        }
        return;
    }
    if (atNextFrame) {
        r.startWanted = true;
    } else {
        startKeyRecording(r, window);
    }
    glutPostRedisplay();
}

bool videoFrameDue(Recorder& r, const WindowState& window) {
    if (r.mode != RecorderMode::key || !frameDueAfterIncrement(r.clock)) return false;
    // The video keeps the size it began with.
    if (evenVideoSide(window.width) != r.width || evenVideoSide(window.height) != r.height) {
        endKeyRecording(r, ", ended as the window changed size");
        return false;
    }
    r.frameWanted = true;
    return true;
}

bool videoFramePending(const Recorder& r) {
    return r.frameWanted;
}

bool videoLeavesPanelOut(const Recorder& r) {
    return r.video && !r.panelInVideo;
}

void captureVideoFrame(Recorder& r, const WindowState& window, bool panelDrawn, bool panelShown) {
    r.windowDrawn = true;
    if (r.startWanted && !panelDrawn) {
        r.startWanted = false;
        startKeyRecording(r, window);
    }
    if (!r.frameWanted || panelDrawn != (r.panelInVideo && panelShown)) return;
    if (!r.video || !r.error.empty()) return;
    r.pixels.resize(static_cast<size_t>(r.width) * r.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    // The top rows when the window's height is odd.
    glReadPixels(0, window.height - r.height, r.width, r.height, GL_RGB, GL_UNSIGNED_BYTE,
                 r.pixels.data());
    if (addVideoFrame(r.video, r.pixels.data(), r.error)) ++r.frames;
}

void afterVideoFrame(Recorder& r) {
    if (!r.frameWanted) return;
    r.frameWanted = false;
    if (!r.video) return;
    if (r.mode == RecorderMode::commandLine) {
        afterCommandLineFrame(r);
    } else if (!r.error.empty() || r.endWanted) {
        endKeyRecording(r);
    }
}

void endRecordingAtExit(Recorder& r) {
    if (!r.video) return;
    if (r.mode == RecorderMode::commandLine) {
        abandon(r);
    } else {
        endKeyRecording(r);
    }
}

#include "shell/recording.h"

#include "shell/gait_option.h"
#include "shell/number_text.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include "model/gait_table.h"
#include "shell/camera_input.h"
#include "shell/frame_layout.h"
#include "shell/gait_option.h"
#include "shell/lab.h"
#include "walking/walk_cycle.h"

namespace {

constexpr double videoFramePeriod = double(videoRateDenominator) / videoRateNumerator; // s
constexpr double frameMismatch = incrementsPerVideoFrame * orva::phaseIncrement - videoFramePeriod;
static_assert(frameMismatch < 1e-15 && frameMismatch > -1e-15,
              "a video frame is four increments of the walk");

const char* const recordOptionNames[] = {"--record", "--seconds", "--view",
                                         "--size",   "--mode",    "--ghost"};

int usageError(std::ostream& err, const std::string& message) {
    err << "orva: " << message << " (try 'orva --help')" << std::endl;
    return 2;
}

// Digits only, and small enough for an int.
bool parseWhole(const std::string& text, int& out) {
    long value = 0;
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) ||
        !parseInteger(text, value) || value > 1000000000)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    return x != std::string::npos && parseWhole(text.substr(0, x), width) &&
           parseWhole(text.substr(x + 1), height);
}

bool goodSide(int side) {
    return side >= smallestVideoSide && side <= largestVideoSide && side == evenVideoSide(side);
}

// What is wrong with the values given, in one line; "" when nothing.
std::string checkValues(const std::string values[], RecordRequest& r) {
    r.file = values[0];
    if (!values[1].empty() &&
        (!parseReal(values[1], r.seconds) || r.seconds <= 0 || r.seconds > longestVideoSeconds))
        return "--seconds wants a duration above 0 and at most 3600, not '" + values[1] + "'";
    if (values[2] == "side-on") {
        r.view = 1;
    } else if (!values[2].empty() && values[2] != "follow") {
        return "--view wants follow or side-on, not '" + values[2] + "'";
    }
    if (!values[3].empty() &&
        (!parseSize(values[3], r.width, r.height) || !goodSide(r.width) || !goodSide(r.height)))
        return "--size wants WxH, even numbers from 16 to 4096, not '" + values[3] + "'";
    if (!values[4].empty() && !parseGaitMode(values[4], r.mode))
        return "--mode wants " + gaitModeWanted() + ", not '" + values[4] + "'";
    for (int k = 0; k < 3 && !values[5].empty() && !r.ghost; ++k)
        if (values[5] == orva::freeJointsNames[k]) {
            r.ghost = true;
            r.ghostFree = static_cast<orva::FreeJoints>(k);
        }
    if (!values[5].empty() && !r.ghost)
        return "--ghost wants ankle, torso or both, not '" + values[5] + "'";
    return "";
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string systemError(const std::string& path) {
    return "cannot write " + path + ": " + std::strerror(errno);
}

} // namespace

int parseRecordOptions(int& argc, char** argv, RecordRequest& request, std::ostream& err) {
    constexpr int optionCount = sizeof recordOptionNames / sizeof *recordOptionNames;
    std::string values[optionCount];
    bool given[optionCount] = {};
    bool any = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        int option = 0;
        while (option < optionCount && std::strcmp(argv[i], recordOptionNames[option]) != 0)
            ++option;
        if (option == optionCount) {
            argv[kept++] = argv[i];
            continue;
        }
        const std::string name = argv[i];
        if (given[option]) return usageError(err, name + " given twice");
        if (i + 1 >= argc || argv[i + 1][0] == '\0' || std::strncmp(argv[i + 1], "--", 2) == 0)
            return usageError(err, "missing value after " + name);
        given[option] = any = true;
        values[option] = argv[++i];
    }
    if (!any) return -1;
    if (!given[0]) return usageError(err, "the recording options need --record FILE");
    // GLUT's own options have one dash: a double dash here is a mistyped recording option.
    for (int i = 1; i < kept; ++i)
        if (std::strncmp(argv[i], "--", 2) == 0)
            return usageError(err, std::string("unknown option '") + argv[i] + "'");
    const std::string problem = checkValues(values, request);
    if (!problem.empty()) return usageError(err, problem);
    request.wanted = true;
    argc = kept;
    argv[argc] = nullptr;
    return -1;
}

int windowArguments(int& argc, char** argv, orva::GaitTarget& start, RecordRequest& request,
                    std::ostream& err) {
    const int argumentsGiven = argc;
    if (const int status = takeGaitArgument(argc, argv, start); status >= 0) return status;
    const bool gaitGiven = argc != argumentsGiven;
    if (const int status = parseRecordOptions(argc, argv, request, err); status >= 0) return status;
    if (request.wanted) {
        const std::string problem = videoPathProblem(request.file);
        if (!problem.empty()) {
            err << "orva: " << problem << std::endl;
            return 1;
        }
        if (!videoContainerKnown(request.file))
            return usageError(err,
                              "--record wants a name ending in .mp4, .mkv, .avi or .mov, not '" +
                                  request.file + "'");
    }
    if (request.mode != 0 && gaitGiven)
        return usageError(err, "--mode and --gait exclude each other");
    if (request.mode != 0) start = orva::tableGait(request.mode);
    return -1;
}

void applyRecordRequest(const RecordRequest& request, Lab& lab) {
    if (!request.wanted) return;
    recordWindowSize(lab.window, request.width, request.height);
    if (request.view == 1) cycleCameraView(lab.camera, lab.cameraBeforeViews, lab.placement);
    lab.ghost.shown = request.ghost;
    lab.ghost.free = request.ghostFree;
}

long long videoFrameCount(double seconds) {
    // Frames at 0.03 k s < seconds; a duration that is a whole number of frames, up to
    // rounding, does not take one more.
    const double frames = seconds / videoFramePeriod;
    const double whole = std::round(frames);
    if (std::fabs(frames - whole) < 1e-9 * std::fmax(1.0, frames))
        return static_cast<long long>(whole);
    return static_cast<long long>(std::ceil(frames));
}

bool frameDueAfterIncrement(VideoClock& clock) {
    return ++clock.increments % incrementsPerVideoFrame == 0;
}

bool videoContainerKnown(const std::string& file) {
    for (const char* ending : videoContainers) {
        const size_t n = std::strlen(ending);
        if (file.size() > n && file.compare(file.size() - n, n, ending) == 0) return true;
    }
    return false;
}

std::string videoPathProblem(const std::string& path) {
    struct stat entry;
    if (::lstat(path.c_str(), &entry) == 0 && !S_ISREG(entry.st_mode))
        return path + " exists and is not a regular file";
    if (path.back() == '/') return path + " names a folder, not a file";
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &entry) != 0 || !S_ISDIR(entry.st_mode))
        return "cannot write " + path + ": no folder " + folder;
    // A file made and taken away again: the permissions as the file system sees them.
    std::string problem;
    const std::string trial = createTemporaryBeside(path, problem);
    if (!trial.empty()) ::unlink(trial.c_str());
    return problem;
}

std::string createTemporaryBeside(const std::string& path, std::string& error) {
    const std::string folder = folderOf(path);
    const std::string base = path.substr(path.rfind('/') + 1);
    for (int n = 1; n <= 100; ++n) {
        const std::string name = folder + "/." + base + "." + std::to_string(::getpid()) + "-" +
                                 std::to_string(n) + ".part";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) break;
    }
    error = systemError(path);
    return "";
}

// Video recording without a window: the command line of `orva --record`, the frame clock, and
// where a video is written. A recording takes one frame every fourth increment of the walk
// (0.03 s of its clock, 100/3 frames per second), whatever the wall clock does, and is written
// to a temporary file beside its final name, which it gets by a rename once complete.
//
// Offers: the recording constants, evenVideoSide, videoContainers, RecordRequest,
// parseRecordOptions, windowArguments, applyRecordRequest, videoFrameCount, VideoClock,
// frameDueAfterIncrement, videoContainerKnown, videoPathProblem, createTemporaryBeside.
#pragma once

#include <ostream>
#include <string>

#include "gait/let_loose.h"
#include "walking/walk_cycle.h"

struct Lab;

constexpr int incrementsPerVideoFrame = 4;
// Frames per second as a fraction, exact for the encoder: 1 / (4 x 0.0075 s).
constexpr int videoRateNumerator = 100;
constexpr int videoRateDenominator = 3;
constexpr double defaultVideoSeconds = 10;
constexpr double longestVideoSeconds = 3600;
constexpr int defaultVideoWidth = 640;
constexpr int defaultVideoHeight = 480;
constexpr int smallestVideoSide = 16;  // pixels
constexpr int largestVideoSide = 4096; // pixels

// The encoder takes even sides only: a window's odd last row or column is left out.
constexpr int evenVideoSide(int side) {
    return side / 2 * 2;
}

// The file name's ending chooses the container; the FFmpeg libraries know each by it.
constexpr const char* videoContainers[] = {".mp4", ".mkv", ".avi", ".mov"};

struct RecordRequest {
    bool wanted = false;                  // --record was given
    std::string file;                     // the video's final name
    double seconds = defaultVideoSeconds; // of the walk's clock
    int view = 0;                         // 0 the follow camera, 1 side-on (as the "c" key)
    int width = defaultVideoWidth;        // the window's and the video's size, even
    int height = defaultVideoHeight;
    int mode = 0;       // the gait-table row the walk starts on
    bool ghost = false; // the ghost shown, with these joints free
    orva::FreeJoints ghostFree = orva::FreeJoints::ankle;
};

// Takes --record FILE, --seconds S, --view follow|side-on, --size WxH, --mode M and --ghost
// ankle|torso|both out of argv
// (argc shrinks; the rest goes on to glutInit). Returns -1 to go on, or 2 after one line on err
// for a wrong, repeated or unknown option, or one of them without --record.
int parseRecordOptions(int& argc, char** argv, RecordRequest& request, std::ostream& err);

// The window program's own arguments, taken out of argv (the rest goes on to glutInit): --gait
// (takeGaitArgument), the recording options (parseRecordOptions, then the output path's
// check, videoPathProblem, and its ending, videoContainerKnown) and that --mode and --gait
// exclude each other. start is the gait
// the walk starts on: --gait's, --mode's row or row 0. Needs setupCore. Returns -1 to go on,
// else the exit status (2 or 1) after one line on err (--gait's own on standard error).
int windowArguments(int& argc, char** argv, orva::GaitTarget& start, RecordRequest& request,
                    std::ostream& err);

// After startWalking: the window size, the camera view and the ghost a recording asks for. Does
// nothing without --record.
void applyRecordRequest(const RecordRequest& request, Lab& lab);

// Frames of a recording of `seconds`: frame k shows the walk 0.03 k s after its start, and
// those before `seconds` are kept (67 for 2 s).
long long videoFrameCount(double seconds);

// The frame clock of a recording that goes on while the window's walk runs.
struct VideoClock {
    long long increments = 0; // since the recording's first frame
};

// After an increment: true when this increment completes the next frame's four.
bool frameDueAfterIncrement(VideoClock& clock);

// Whether the name ends in one of videoContainers (and has more before it).
bool videoContainerKnown(const std::string& file);

// Why no video can be written to path, as one line ("" when it can): an existing path that is
// not a regular file (links included), a folder that is missing or cannot be written.
std::string videoPathProblem(const std::string& path);

// Creates an empty file of a new name beside path, in the same folder (so a rename completes
// the video), without following links. Returns its name, or "" with error set.
std::string createTemporaryBeside(const std::string& path, std::string& error);

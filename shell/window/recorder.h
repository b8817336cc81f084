// The window side of video recording: `orva --record` runs a whole recording from the idle
// callback and exits; the "v" key records orva-NNNN.mp4 while the walk goes on. Either way,
// after every fourth increment a frame is asked for; the display callback draws it and hands it
// to the recorder, which reads it from the back buffer and encodes it. The video gets its final
// name only when complete.
//
// Offers: RecorderMode, Recorder, recordFromCommandLine, recordIdle, toggleRecording,
// videoFrameDue, videoFramePending, captureVideoFrame, afterVideoFrame, videoLeavesPanelOut,
// endRecordingAtExit. Call them only after the window exists.
#pragma once

#include <string>
#include <vector>

#include "shell/lab.h"
#include "shell/recording.h"

struct VideoEncoder;

// What the recorder does: nothing, a recording started with "v" (or the panel's button), or
// the one `orva --record` asked for (waiting for the window until its video is open).
enum class RecorderMode { idle, key, commandLine };

struct Recorder {
    RecorderMode mode = RecorderMode::idle;
    VideoEncoder* video = nullptr; // open while a recording is under way
    std::string name, temporary;   // the final name; the file written until it is complete
    int width = 0, height = 0;     // the video's: the window's, less an odd last pixel
    VideoClock clock;
    long long frames = 0;
    std::string error;         // the first failure, in one line
    bool frameWanted = false;  // the next frame drawn goes into the video
    bool startWanted = false;  // the panel's button: the next frame starts a recording
    bool endWanted = false;    // "v" came while a frame was awaited: end after that frame
    bool windowDrawn = false;  // a frame was drawn: the window stands at its size
    bool panelInVideo = false; // the panel's checkbox: the panel, when shown, is recorded too
    // `orva --record`: what it asked for, its frame count and when its first frame was taken.
    RecordRequest request;
    long long framesWanted = 0;
    double startedAt = 0.0; // wall s
    std::vector<unsigned char> pixels;
};

// Makes the recorder take the recording asked for; the caller replaces the idle callback with
// recordIdle and drops the keys. The process ends when it is written (status 0) or failed
// (status 1, one line on standard error).
void recordFromCommandLine(Recorder& recorder, const RecordRequest& request);
// The idle callback of `orva --record`: four increments of the walk, then a frame asked for,
// until all are written.
void recordIdle(Recorder& recorder, Lab& lab);

// "v": starts recording to the first free orva-NNNN.mp4 in the working folder (its first frame
// is the walk as it is now), or ends the recording and saves it (after the frame it awaits, if
// any). Says which on standard output.
// From the panel, which is drawn inside a frame, atNextFrame starts it with the next frame.
void toggleRecording(Recorder& recorder, const WindowState& window, bool atNextFrame = false);

// After every increment of the window's walk: true when a recording from the keys wants a
// frame now (the walk then waits for the display callback).
bool videoFrameDue(Recorder& recorder, const WindowState& window);
// A frame was asked for and not drawn yet: the walk must not go on.
bool videoFramePending(const Recorder& recorder);

// From the display callback, before the panel is drawn (panelDrawn false) and after: reads a
// frame asked for at the point the panel checkbox asks for.
void captureVideoFrame(Recorder& recorder, const WindowState& window, bool panelDrawn,
                       bool panelShown);
// After the frame is drawn: a failed frame ends the recording; `orva --record` reports its
// progress and ends the process once all its frames are written.
void afterVideoFrame(Recorder& recorder);

// True while a video that leaves the panel out is being recorded: the scene then keeps the whole
// window, the panel drawn over it, so that the video shows it whole.
bool videoLeavesPanelOut(const Recorder& recorder);

// At exit (F4, the window closed): a recording from the keys is kept, an unfinished one from
// the command line is not.
void endRecordingAtExit(Recorder& recorder);

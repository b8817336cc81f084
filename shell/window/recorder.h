// The window side of video recording: `orva --record` runs a whole recording from the idle
// callback and exits; the "v" key records orva-NNNN.mp4 while the walk goes on. Either way a
// frame is drawn, read from the back buffer and encoded after every fourth increment, and the
// video gets its final name only when complete.
//
// Offers: recordFromCommandLine, toggleRecording, noteVideoIncrement, captureVideoFrame,
// panelInVideo, videoLeavesPanelOut. Call them only after the window exists.
#pragma once

#include "shell/recording.h"

// Replaces the idle callback and the keys with the recording asked for; the process ends when
// it is written (status 0) or failed (status 1, one line on standard error).
void recordFromCommandLine(const RecordRequest& request);

// "v": starts recording to the first free orva-NNNN.mp4 in the working folder (its first frame
// is the walk as it is now), or ends the recording and saves it. Says which on standard output.
// From the panel, which is drawn inside a frame, atNextFrame starts it with the next frame.
void toggleRecording(bool atNextFrame = false);

// After every increment of the window's walk: the next frame once four have run.
void noteVideoIncrement();

// From finishFrame, before the panel is drawn (panelDrawn false) and after: reads a frame due
// for the video at the point the panel checkbox asks for.
void captureVideoFrame(bool panelDrawn);

// The panel's checkbox: the panel, when shown, is recorded too.
extern bool panelInVideo;

// True while a video that leaves the panel out is being recorded: the scene then keeps the whole
// window, the panel drawn over it, so that the video shows it whole.
bool videoLeavesPanelOut();

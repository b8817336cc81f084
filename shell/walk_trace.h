// The walk traced without a window, as `orva-gait walk` prints it: start-up on a gait, then
// idle passes with the gait keys pressed and gaits asked for before given passes, and one row
// of values after each pass.
//
// Offers: KeyPress, GaitChange, WalkTraceRequest, WalkTraceRow, usableGait, traceWalk.
#pragma once

#include <string>
#include <vector>

#include "shell/lab.h"
#include "walking/walk_cycle.h"

struct KeyPress {
    long call;        // pressed just before this idle call, counted from 1
    std::string keys; // gait keys, sent in order
};

struct GaitChange {
    long call;        // asked for just before this idle call, counted from 1
    std::string text; // as the user wrote it, for the notes
    orva::GaitTarget target;
};

struct WalkTraceRequest {
    long calls = 0;                  // idle passes
    orva::GaitTarget start{};        // must give a usable step (usableGait)
    std::vector<KeyPress> presses;   // in the order of their calls
    std::vector<GaitChange> changes; // in the order of their calls
};

// The lab after one pass.
struct WalkTraceRow {
    long call;
    int supportLeg;
    int gaitMode;  // the keys' mode
    int cycleMode; // the mode the walking cycle walks (customGait for a custom gait)
    double q[orva::linkCount];
    double stanceArc, hipHalfWidth, comX, comY, swingReach;
    orva::GaitEntry walked; // the gait walked
};

// Whether the generator makes a step of target's gait. Needs setupCore.
bool usableGait(const orva::GaitTarget& target);

// Starts lab's walk on request.start and runs request.calls idle passes, one row each. A gait
// change with no usable step is not asked for, and a refusal of the walker is noted: each note
// is one line without its end ("call 12: ..."). Needs setupCore.
void traceWalk(Lab& lab, const WalkTraceRequest& request, std::vector<WalkTraceRow>& rows,
               std::vector<std::string>& notes);

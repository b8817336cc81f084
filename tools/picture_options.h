// What `orva-gait figure`, `atlas` and `dynamics` share beyond the option parser (which this
// header brings along): output written to standard output or a file with every byte checked,
// and the step a command shows.
//
// Offers: writeOutput, StepChoice, chooseStep, unusableStep, chooseFreeJoints, chooseSampleCount,
// appendNumber, appendJson; and command_line.h's parser.
#pragma once

#include "gait/let_loose.h"
#include "gait/step_generator.h"
#include "model/gait_table.h"
#include "shell/number_text.h"
#include "tools/command_line.h"

#include <string>
#include <vector>

// Writes text to path, or to standard output when path is empty, and checks that all of it
// was written. Returns 0, or 1 after one line on standard error naming `who`.
int writeOutput(const char* who, const std::string& path, const std::string& text);

// The step a command shows: --mode M [--transition-to N] (row M landing at row N's backStep), or
// --gait GAIT (from and to its base row).
struct StepChoice {
    orva::GaitEntry entry;
    int from, to;
    const std::string* gaitText; // the --gait value, or nullptr for a row
    bool custom;                 // a gait with fields of its own, no row of the table
};

// Reads the choice from options. Returns an empty string, or what is wrong in
// one line.
std::string chooseStep(const Options& options, StepChoice& out);

// "orva-gait WHO: " and why the chosen step is unusable, on standard error; returns 1.
int unusableStep(const char* who, const StepChoice& choice, const orva::StepStats& stats);

// The joints --free lets loose: ankle (the default), torso or both. Returns an empty string, or
// what is wrong in one line.
std::string chooseFreeJoints(const Options& options, orva::FreeJoints& out);

// --samples K of the dynamics and drift commands: 101 when left out, else 2..1000000. Returns
// an empty string, or the usage message.
std::string chooseSampleCount(const Options& options, long& out);

// 17 significant digits; nothing when not finite.
void appendNumber(std::string& out, double x);
// ,"key":x with x as appendNumber writes it, or null when not finite.
void appendJson(std::string& out, const char* key, double x);

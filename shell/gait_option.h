// A gait named on the command line, for `--gait` and `--change`: "mode=M" (the base row, 0 when
// left out) and FIELD=VALUE pairs over the gait entry's twelve fields, comma-separated, e.g.
// "mode=6,meanSpeed=0.31,clearance=0.12". Without fields it is row M itself; with any it is a
// custom gait.
//
// Offers: gaitModeWanted, parseGaitMode, checkGaitMode, parseGaitOption, checkGaitField,
// gaitOptionHelp, takeGaitArgument.
#pragma once

#include "walking/walk_cycle.h"

#include <string>

// "a gait mode 0..15", for the messages of every option that takes a mode.
std::string gaitModeWanted();
// A gait mode written as a whole number, 0..15; false for anything else.
bool parseGaitMode(const std::string& text, int& mode);

// Reads text into out, and its base row into baseMode when given. Returns an
// empty string, or what is wrong in one line naming the field: unknown or repeated, not a
// number, not finite, or out of its range.
std::string parseGaitOption(const std::string& text, orva::GaitTarget& out,
                            int* baseMode = nullptr);

// The option's checks of one value, shared with other languages' bindings: the base row text
// read into mode; a field's value, already a number, finite and within its range (text is the
// value as its user wrote it, for the message). Each returns an empty string, or the option's
// one line.
std::string checkGaitMode(const std::string& text, int& mode);
std::string checkGaitField(const orva::GaitField& field, double value, const std::string& text);

// The option's form and every field's range, for the help texts.
std::string gaitOptionHelp();

// The window program's `--gait GAIT`: removes it from argv (the rest goes to GLUT) and sets
// start to it, else to row 0. Returns -1 to go on, or the exit status after
// one line on standard error: 2 for a bad or repeated option, 1 for a gait with no usable step.
int takeGaitArgument(int& argc, char** argv, orva::GaitTarget& start);

// The shell's start-up and idle pass without a window, and the gait keys.
//
// Offers: setStartingPose, GaitKey, gaitKeys, gaitKeyCharacters, findGaitKey, pressGaitKey,
// gaitLabel, selectedGait, selectGait, gaitRequest, startWalking, idlePass, runIdlePlan. The window
// program's idle callback runs the pacing plan's passes with runIdlePlan, asks for a redisplay
// when it returns true and runs mouse-look; its keyboard callback calls pressGaitKey.
#pragma once

#include <functional>
#include <string>

#include "model/body_model.h"
#include "shell/lab.h"
#include "shell/pacing.h"
#include "walking/walk_cycle.h"

// Start-up step 1: the pose a frame drawn before the first step shows.
void setStartingPose(orva::RobotState& state);

// A gait key moves one level of the selection by one step, within 0..top.
struct GaitKey {
    unsigned char key;
    int GaitSelection::*level;
    int change;       // +1 or -1
    int top;          // highest level; the lowest is 0
    const char* help; // what the key does, for the help text
};
constexpr int gaitKeyCount = 6;
extern const GaitKey gaitKeys[gaitKeyCount]; // w x q s a z, in that order

// "wxqsaz": the characters pressGaitKey acts on.
std::string gaitKeyCharacters();
// The key of a level and change, or nullptr for a key that is no gait key.
const GaitKey* findGaitKey(unsigned char key);
const GaitKey& findGaitKey(int GaitSelection::*level, int change);

// A gait key: the level moves (a custom gait returns to the levels) and a change is asked for,
// also when the level was at its bound. Any key recomputes gaitMode. Returns whether key is a
// gait key.
bool pressGaitKey(GaitSelection& gait, unsigned char key);

// A gait mode as the panel shows it: "mode 12", or "custom" for a gait that is no table row
// (mode customGait).
std::string gaitLabel(int mode);

// The gait the selection asks for: the custom gait, else the row of the levels.
orva::GaitTarget selectedGait(const GaitSelection& gait);
// Asks for target at the next step boundary, as a gait key does; a table row also sets the
// levels.
void selectGait(GaitSelection& gait, const orva::GaitTarget& target);

// Stage 1's mode request: 1 when a gait key was pressed since the last pass, or when the
// walking cycle has no change latched and walks another gait than the one selected.
int gaitRequest(const GaitSelection& gait, const orva::WalkCycle& walker);

// The walk from its start, as the program begins it: the lab's walk records, the redraw
// counter and the walk statistics as new, the starting pose, and the walking cycle set up on
// row 0 or on start (which must give a usable step; needs setupCore), selected. The pacing, the
// explorer and its map are left as they are.
void startWalking(Lab& lab);
void startWalking(Lab& lab, const orva::GaitTarget& start);

// One idle pass, stages 1 to 8: one simulation step, the placement bookkeeping and the
// redraw counter. Returns true when a redisplay is due (after every tenth call).
bool idlePass(Lab& lab);
// One idle call's simulation: the plan's idle passes, each noted in the statistics, the
// dynamics history and the ghost. After each, stopAfter (when given) may end the call early, so
// that a frame can be drawn: the increments not run are given back to lab.pacing and a redraw is
// asked for. Returns true when a redraw is due.
bool runIdlePlan(Lab& lab, const IdlePlan& plan, const std::function<bool()>& stopAfter = {});

// The gait explorer of the lab, without a window: a gait edited field by field and tried with
// the generator at once, and the feasibility map of step length against mean hip speed at the
// explorer's clearance, computed on a background thread while the walk goes on.
//
// Offers: Explorer, explorer (the program's instance), setUpExplorer, tryExplorerGait,
// stepRefusal, walkExplorerGait, GaitMap, gaitMapGrid, startGaitMap, stopGaitMap, gaitMapDone.
#pragma once

#include "gait/feasibility_grid.h"
#include "gait/step_generator.h"
#include "walking/walk_cycle.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

struct Explorer {
    orva::GaitEntry entry{}; // the gait being edited; backStep = foreStep, flat
    bool usable = false;     // the generator's verdict on entry, as last tried
    double duration = 0.0;   // of entry's step, s, when usable
    orva::StepStats stats{};
    std::string verdict; // one line: the step's duration, or why it is refused
};

extern Explorer explorer;

// The explorer on the gait walked now, tried.
void setUpExplorer(Explorer& e, const orva::GaitTarget& walked);
// Runs the generator on e.entry and writes the verdict.
void tryExplorerGait(Explorer& e);
// Why the generator refused a step, from its pass counts.
std::string stepRefusal(const orva::StepStats& stats);
// Asks for e's gait at the next step boundary, when it is usable. Returns whether it did.
bool walkExplorerGait(const Explorer& e);

// The map: mapCells lengths by mapCells speeds over the atlas's ranges, at one clearance; the
// worker fills points in order and publishes how many are done.
constexpr int mapCells = 64;

struct GaitMap {
    orva::AtlasGrid grid = {};
    bool withDynamics = false; // each usable point's dynamics summary is computed too
    std::vector<orva::AtlasPoint> points;
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::thread worker;
    ~GaitMap();
};

extern GaitMap gaitMap;

orva::AtlasGrid gaitMapGrid(double clearance);
// Starts computing the map at clearance, with the dynamics of each usable step when asked,
// stopping one that is under way. Needs setupCore.
void startGaitMap(GaitMap& map, double clearance, bool withDynamics = false);
// Stops the worker, if any, after the point it is on.
void stopGaitMap(GaitMap& map);
// The points finished so far: points[0 .. gaitMapDone) may be read.
int gaitMapDone(const GaitMap& map);

// The gait explorer of the lab, without a window: a gait edited field by field and tried with
// the generator at once, and the feasibility map of step length against mean hip speed at the
// explorer's clearance, computed on a background thread while the walk goes on.
//
// Offers: Explorer, ExplorerSlider, explorerSliders, setUpExplorer, tryExplorerGait,
// stepRefusal, walkExplorerGait, GaitMap, gaitMapGrid, startGaitMap, stopGaitMap, gaitMapDone.
#pragma once

#include "gait/feasibility_grid.h"
#include "gait/step_generator.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

#include <array>
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

// A slider of the explorer over one field of the gait.
struct ExplorerSlider {
    const char* label;
    double orva::GaitEntry::*member;
    double lowest, highest;
    const char* format; // printf's, for the value shown
};
constexpr int explorerSliderCount = 9;
constexpr int explorerHipSliders = 6; // the last six, folded away
// Step length (backStep, foreStep follows) and mean speed over the feasibility grid's ranges,
// so that the map shows every gait the sliders reach; clearance; the hip's fields.
std::array<ExplorerSlider, explorerSliderCount> explorerSliders();

// The explorer on the gait walked now, tried.
void setUpExplorer(Explorer& e, const orva::GaitTarget& walked);
// Runs the generator on e.entry and writes the verdict.
void tryExplorerGait(Explorer& e);
// Why the generator refused a step, from its pass counts.
std::string stepRefusal(const orva::StepStats& stats);
// Asks gait for e's gait at the next step boundary, when it is usable. Returns whether it did.
bool walkExplorerGait(const Explorer& e, GaitSelection& gait);

// The map: mapCells lengths by mapCells speeds over the atlas's ranges, at one clearance; the
// worker fills points in order and publishes how many are done.
constexpr int mapCells = 64;

struct GaitMap {
    orva::AtlasGrid grid = {};
    bool withDynamics = false; // each usable point's dynamics summary is computed too
    bool withDrift = false;    // and its ankle's drift let loose
    std::vector<orva::AtlasPoint> points;
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::thread worker;
    ~GaitMap();
};

orva::AtlasGrid gaitMapGrid(double clearance);
// Starts computing the map at clearance, with the dynamics or the drift of each usable step when
// asked,
// stopping one that is under way. Needs setupCore.
void startGaitMap(GaitMap& map, double clearance, bool withDynamics = false,
                  bool withDrift = false);
// Stops the worker, if any, after the point it is on.
void stopGaitMap(GaitMap& map);
// The points finished so far: points[0 .. gaitMapDone) may be read.
int gaitMapDone(const GaitMap& map);

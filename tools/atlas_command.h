// `orva-gait atlas`: the step generator run over a grid of symmetric step lengths and mean hip
// speeds, for one or more clearances, as an SVG map of where it makes a usable step and how
// long that step lasts (or what its dynamics ask for), or as CSV.
//
// Offers: AtlasRange, atlasValue, AtlasGrid, defaultAtlasGrid, AtlasPoint, AtlasColour,
// atlasEntry, computeAtlas, atlasTableRows, atlasCsv, atlasSvg, runAtlasCommand.
#pragma once

#include "gait/dynamics.h"
#include "model/gait_table.h"

#include <string>
#include <vector>

// count values evenly from first to last, both included.
struct AtlasRange {
    double first, last;
    int count;
};

double atlasValue(const AtlasRange& range, int i);

struct AtlasGrid {
    AtlasRange lengths;             // backStep = foreStep, m
    AtlasRange speeds;              // meanSpeed, m/s
    std::vector<double> clearances; // m
};

// Lengths 0.02..0.40 and speeds 0.03..0.60 m/s, 96 values each, clearances 0.03 and 0.22 m.
AtlasGrid defaultAtlasGrid();

struct AtlasPoint {
    double backStep, meanSpeed, clearance; // the step asked for
    bool usable;                           // generateStep's result
    double duration;                       // s, meaningful when usable
    int outerPasses, innerPasses;
    orva::DynamicsSummary dynamics{}; // when asked for and usable
};

// What the maps are coloured by: the step's duration, or from its dynamics the cost of
// transport, the friction needed, the centre of pressure's largest distance from the ankle or
// the peak ankle moment.
enum class AtlasColour { duration, cost, friction, cop, ankle };

// A gait-table row with these symmetric step lengths, mean speed and clearance; the other
// fields as in every row. Needs setupCore.
orva::GaitEntry atlasEntry(double length, double speed, double clearance);

// Every grid point, clearance first, then length, then speed, computed on `threads` threads
// (at least one), with the dynamics summary of each usable step when asked. Needs setupCore.
std::vector<AtlasPoint> computeAtlas(const AtlasGrid& grid, int threads, bool withDynamics = false);

// The sixteen gait-table rows computed as atlas points, mode by mode.
std::vector<AtlasPoint> atlasTableRows();

// Header and one line per point: backStep,meanSpeed,clearance,usable,duration,outerPasses,
// innerPasses; usable 1 or 0, duration empty when unusable, numbers with 17 significant digits.
// With the dynamics, the summary's columns follow, empty when unusable or undefined.
std::string atlasCsv(const std::vector<AtlasPoint>& points, bool withDynamics = false);

// The maps, one per clearance, with the colour bar and the table rows marked.
std::string atlasSvg(const AtlasGrid& grid, const std::vector<AtlasPoint>& points,
                     AtlasColour colour = AtlasColour::duration);

// argv[0] is "atlas". Returns the exit status: 0, 1 for a failed write, 2 for bad arguments.
int runAtlasCommand(int argc, char** argv);

// The feasibility grid: the step generator run over symmetric step lengths and mean hip speeds,
// for one or more clearances, telling where it makes a usable step and how long that step
// lasts. The atlas pictures and the window's map share it.
//
// Offers: AtlasRange, atlasValue, maxAtlasRangeCount, validAtlasRange, AtlasGrid,
// defaultAtlasGrid, AtlasPoint, atlasEntry, atlasPoints, evaluateAtlasPoint, computeAtlas,
// atlasTableRows; the colour measures' one list: AtlasColour, atlasColourCount,
// atlasColourNames, atlasColourTitles, atlasColourChoices, findAtlasColour, colourValue,
// hasColourValue; AtlasScale, atlasScale (the log scale a map is coloured on).
#pragma once

#include "gait/dynamics.h"
#include "model/gait_table.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orva {

// count values evenly from first to last, both included.
struct AtlasRange {
    double first, last;
    int count;
};

double atlasValue(const AtlasRange& range, int i);

constexpr int maxAtlasRangeCount = 1024;
// A range the grid takes: 0 < first < last and 2 <= count <= maxAtlasRangeCount, or count 1
// and first == last > 0.
bool validAtlasRange(const AtlasRange& range);

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
    DynamicsSummary dynamics{}; // when asked for and usable
    double ankleDrift = 0;      // rad, the stance ankle's at the step's end let loose with the
                                // ankle free (orva-gait drift); when asked for and usable
};

// A gait-table row with these symmetric step lengths, mean speed and clearance; the other
// fields as in every row.
GaitEntry atlasEntry(double length, double speed, double clearance);

// Every grid point, not yet evaluated: clearance first, then length, then speed.
std::vector<AtlasPoint> atlasPoints(const AtlasGrid& grid);
// Runs the generator for one point, and the step's dynamics and drift when asked. Safe on
// several threads at once, one point each.
void evaluateAtlasPoint(AtlasPoint& point, bool withDynamics = false, bool withDrift = false);

// Every grid point evaluated, on `threads` threads (at least one), with the dynamics summary of
// each usable step when asked.
std::vector<AtlasPoint> computeAtlas(const AtlasGrid& grid, int threads, bool withDynamics = false,
                                     bool withDrift = false);

// The sixteen gait-table rows computed as atlas points, mode by mode.
std::vector<AtlasPoint> atlasTableRows();

// What a map of the grid is coloured by: the step's duration, or from its dynamics the cost of
// transport, the friction needed, the centre of pressure's largest distance from the ankle or
// the peak ankle moment; or the stance ankle's drift at the step's end let loose, in degrees.
enum class AtlasColour { duration, cost, friction, cop, ankle, drift };
constexpr int atlasColourCount = 6;
static_assert(static_cast<int>(AtlasColour::drift) + 1 == atlasColourCount,
              "every measure has a name and a title");
// As options and menus name them, in the enum's order.
inline constexpr const char* atlasColourNames[atlasColourCount] = {"duration", "cost",  "friction",
                                                                   "cop",      "ankle", "drift"};
// As a scale's title names them, with the unit.
inline constexpr const char* atlasColourTitles[atlasColourCount] = {
    "step duration (s)",
    "cost of transport",
    "friction needed |fx| / fy",
    "centre of pressure from the ankle (m)",
    "peak ankle moment (N\u00b7m)",
    "stance ankle's drift let loose (\u00b0)"};

// "duration, cost, friction, cop, ankle or drift": the names, for a message.
std::string atlasColourChoices();
// The measure of that name; false when there is none.
bool findAtlasColour(const std::string& name, AtlasColour& out);

// What a measure needs computed: the dynamics (cost, friction, cop, ankle) or the drift.
bool colourNeedsDynamics(AtlasColour colour);
bool colourNeedsDrift(AtlasColour colour);

// A point's value of that measure (the dynamics' measures need its dynamics).
double colourValue(const AtlasPoint& p, AtlasColour colour);
// Whether the point has one to colour by: usable, finite and above zero.
bool hasColourValue(const AtlasPoint& p, AtlasColour colour);

// A measure on a log scale between its lowest and highest value among some points: the
// durations span two decades and more, and the dynamics' measures grow without bound where the
// ground force vanishes.
struct AtlasScale {
    AtlasColour colour;
    double logLo, logHi; // log10 of the lowest and highest value; both 0 when there is none
    bool found;          // whether any point had a value
    // Where value lies on the scale, 0 at the lowest and 1 at the highest; 0.5 for a scale of
    // one value or none.
    double at(double value) const;
};
AtlasScale atlasScale(const AtlasPoint* points, std::size_t count, AtlasColour colour);

} // namespace orva

// The records the walking cycle and the gait generator exchange: one step's gait
// parameters (GaitEntry), the sixteen rows of the gait table, and the link-angle
// polynomials of one segment of the walking cycle.
//
// Gait mode = step-length level (0..3) + 4 x step-height level (0..1) + 8 x step-speed level
// (0..1): gaitMode and gaitLevels are the one place that encoding is written.
//
// Offers: gaitModeCount, GaitLevels, gaitMode, gaitLevels, GaitEntry, GaitField and the table of
// its twelve fields (gaitFields), GaitTable and its single instance gaitTable (makeGaitTable),
// transitionEntry, JointPolynomial, TrajectorySegment.
#pragma once

#include "model/body_model.h"

namespace orva {

constexpr int gaitModeCount = 16;

// The three levels the keys step through; a mode is their sum, weighted.
struct GaitLevels {
    int length; // 0..3
    int height; // 0..1
    int speed;  // 0..1
};
constexpr int gaitMode(const GaitLevels& levels) {
    return levels.length + 4 * levels.height + 8 * levels.speed;
}
constexpr GaitLevels gaitLevels(int mode) {
    return {mode % 4, mode / 4 % 2, mode / 8};
}
constexpr int polyCoeffCount = 11;

struct GaitEntry {
    double backStep;       // trailing (swing) foot behind the stance ankle at lift-off, m
    double foreStep;       // landing point ahead of the stance ankle, m
    double backDrop;       // stance ankle above the trailing foot, m
    double foreRise;       // landing point above the stance ankle, m
    double meanSpeed;      // mean horizontal hip speed over the step, m/s
    double clearance;      // swing ankle height at mid-step, m
    double hipHeightStart; // hip above the stance ankle at the start, m
    double hipVyStart;     // vertical hip velocity at the start, m/s
    double hipAyStart;     // vertical hip acceleration at the start, m/s^2
    double hipHeightEnd;   // hip above the stance ankle at the end, m
    double hipVyEnd;       // vertical hip velocity at the end, m/s
    double hipAyEnd;       // vertical hip acceleration at the end, m/s^2
};

// A field's name, its place in the entry and the values a flat world allows. Everything that
// goes over a gait's fields by name or one by one (the gait option, part-way gaits, equality,
// the explorer's sliders, other languages' bindings) reads this table.
struct GaitField {
    const char* name;
    double GaitEntry::*member;
    double lowest, highest;
    const char* unit;
};

constexpr int gaitFieldCount = 12;
// Lengths, heights and speeds are never negative nor above 1 (m, m/s); the world is flat, so the
// feet start and land at the stance ankle's height.
constexpr GaitField gaitFields[gaitFieldCount] = {
    {"backStep", &GaitEntry::backStep, 0, 1, "m"},
    {"foreStep", &GaitEntry::foreStep, 0, 1, "m"},
    {"backDrop", &GaitEntry::backDrop, 0, 0, "m"},
    {"foreRise", &GaitEntry::foreRise, 0, 0, "m"},
    {"meanSpeed", &GaitEntry::meanSpeed, 0, 1, "m/s"},
    {"clearance", &GaitEntry::clearance, 0, 1, "m"},
    {"hipHeightStart", &GaitEntry::hipHeightStart, 0, 1, "m"},
    {"hipVyStart", &GaitEntry::hipVyStart, -1, 1, "m/s"},
    {"hipAyStart", &GaitEntry::hipAyStart, -10, 10, "m/s2"},
    {"hipHeightEnd", &GaitEntry::hipHeightEnd, 0, 1, "m"},
    {"hipVyEnd", &GaitEntry::hipVyEnd, -1, 1, "m/s"},
    {"hipAyEnd", &GaitEntry::hipAyEnd, -10, 10, "m/s2"},
};
static_assert(sizeof(GaitEntry) == gaitFieldCount * sizeof(double),
              "every field of GaitEntry is in gaitFields");

struct GaitTable {
    GaitEntry rows[gaitModeCount];
};

// One absolute link angle as a polynomial in phase time: sum of c[k] t^k, rad.
struct JointPolynomial {
    double c[polyCoeffCount];
};

struct TrajectorySegment {
    JointPolynomial poly[modelLinkCount]; // theta0..theta4 (stance shank .. swing shank)
    double duration;                      // length of the segment as a step, s
    double blendDuration;                 // length of the segment as a blend, s
};

// The sixteen rows: per mode the step distance (back and fore), the mean hip speed and the
// mid-step clearance; every row shares the other fields.
constexpr GaitTable makeGaitTable() {
    const double rows[gaitModeCount][3] = {
        {0.05, 0.07, 0.03}, {0.1, 0.13, 0.07}, {0.2, 0.24, 0.1},  {0.28, 0.28, 0.13},
        {0.05, 0.07, 0.1},  {0.1, 0.13, 0.16}, {0.2, 0.28, 0.22}, {0.28, 0.32, 0.26},
        {0.05, 0.17, 0.03}, {0.1, 0.23, 0.07}, {0.2, 0.35, 0.1},  {0.28, 0.4, 0.13},
        {0.05, 0.17, 0.1},  {0.1, 0.23, 0.16}, {0.2, 0.35, 0.22}, {0.28, 0.4, 0.26},
    };
    GaitTable table{};
    for (int mode = 0; mode < gaitModeCount; ++mode) {
        GaitEntry& e = table.rows[mode];
        e.backStep = rows[mode][0];
        e.foreStep = rows[mode][0];
        e.backDrop = 0.0;
        e.foreRise = 0.0;
        e.meanSpeed = rows[mode][1];
        e.clearance = rows[mode][2];
        e.hipHeightStart = 0.86;
        e.hipVyStart = 0.05;
        e.hipAyStart = 0.0;
        e.hipHeightEnd = 0.87;
        e.hipVyEnd = -0.1;
        e.hipAyEnd = -4.0;
    }
    return table;
}

// Computed at compile time: nothing can change a row.
inline constexpr GaitTable gaitTable = makeGaitTable();

// The step of a gait change: gait `from` landing where gait `to`'s step begins (its foreStep
// set to to's backStep); from == to gives the plain gait.
GaitEntry transitionEntry(const GaitEntry& from, const GaitEntry& to);
// The same between two rows of the table.
GaitEntry transitionEntry(int from, int to);

} // namespace orva

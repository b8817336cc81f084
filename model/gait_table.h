// The records the walking cycle and the gait generator exchange: one step's gait
// parameters (GaitEntry), the sixteen rows of the gait table, and the link-angle
// polynomials of one segment of the walking cycle.
//
// Gait mode = step-length level (0..3) + 4 x step-height level (0..1) + 8 x step-speed level
// (0..1).
//
// Offers: GaitEntry, GaitTable and its single instance gaitTable, fillGaitTable,
// transitionEntry, JointPolynomial, TrajectorySegment.
#pragma once

#include "model/body_model.h"

namespace orva {

constexpr int gaitModeCount = 16;
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

extern GaitTable gaitTable;

void fillGaitTable();

// The step of a gait change: gait `from` landing where gait `to`'s step begins (its foreStep
// set to to's backStep); from == to gives the plain gait.
GaitEntry transitionEntry(const GaitEntry& from, const GaitEntry& to);
// The same between two rows of the table.
GaitEntry transitionEntry(int from, int to);

} // namespace orva

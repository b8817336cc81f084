// Sine and cosine through a precomputed table, and the two pose queries the shell
// makes after every simulation step.
//
// Offers: buildSineTable, tableSin, tableCos, swingFootReach, centreOfMass.
// Lookups truncate towards zero: the result is the sine of the sample at or just below the
// reduced angle's magnitude (error at most one sample step, about 6.3e-6 rad).
#pragma once

#include "walking/body_model.h"

constexpr int sineTableSize = 1000000;

void buildSineTable(int n);
double tableSin(double angle);
double tableCos(double angle);

// x of the swing ankle relative to the stance ankle (positive ahead), m.
double swingFootReach(const RobotState& state);
// Whole-body centre of mass (x, y) relative to the stance ankle, m.
void centreOfMass(const RobotState& state, double out[2]);

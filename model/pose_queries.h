// The two pose queries the shell makes after every simulation step, through the sine table.
//
// Offers: swingFootReach, centreOfMass.
#pragma once

#include "model/body_model.h"

namespace orva {

// x of the swing ankle relative to the stance ankle (positive ahead), m.
double swingFootReach(const RobotState& state);
// Whole-body centre of mass (x, y) relative to the stance ankle, m.
void centreOfMass(const RobotState& state, double out[2]);

} // namespace orva

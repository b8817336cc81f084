// Mathematical constants shared by the model, the gait core and the walking cycle.
//
// Offers: pi, halfPi.
#pragma once

namespace orva {

constexpr double pi = 3.141592653589793;
constexpr double halfPi = 1.5707963267948966;

} // namespace orva

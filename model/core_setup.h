// The one set-up of the core. The body's figures, the model's coefficients, the generator's
// constants and the gait table are computed at compile time; what is left to build at start-up
// is the pose queries' sine table.
//
// Offers: setupCore.
#pragma once

namespace orva {

// Builds the sine table. Call it at start-up, before anything else of the core; calling it again
// does nothing.
void setupCore();

} // namespace orva

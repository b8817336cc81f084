// The one set-up of the core: everything the step generator, the walking cycle and the pose
// queries read is built here, in the order they need it.
//
// Offers: setupCore.
#pragma once

namespace orva {

// Builds the sine table, bodyParams, modelCoefficients, generatorConstants and the gait table.
// Call it once before anything else of the core; calling it again rebuilds the same values.
void setupCore();

} // namespace orva

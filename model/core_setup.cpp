#include "model/core_setup.h"

#include "model/body_model.h"
#include "model/gait_table.h"
#include "model/sine_table.h"

namespace orva {

void setupCore() {
    buildSineTable(sineTableSize);
    setupModel();
    setupGeneratorConstants();
    fillGaitTable();
}

} // namespace orva

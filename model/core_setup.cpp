#include "model/core_setup.h"

#include "model/sine_table.h"

namespace orva {

void setupCore() {
    prepareSineTable();
}

} // namespace orva

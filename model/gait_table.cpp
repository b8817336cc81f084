#include "model/gait_table.h"

namespace orva {

GaitEntry transitionEntry(const GaitEntry& from, const GaitEntry& to) {
    GaitEntry entry = from;
    entry.foreStep = to.backStep;
    return entry;
}

GaitEntry transitionEntry(int from, int to) {
    return transitionEntry(gaitTable.rows[from], gaitTable.rows[to]);
}

} // namespace orva

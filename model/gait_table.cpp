#include "model/gait_table.h"

namespace orva {

GaitTable gaitTable;

void fillGaitTable() {
    // Per mode: step distance (back and fore), mean hip speed, mid-step clearance.
    static const double rows[gaitModeCount][3] = {
        {0.05, 0.07, 0.03}, {0.1, 0.13, 0.07}, {0.2, 0.24, 0.1},  {0.28, 0.28, 0.13},
        {0.05, 0.07, 0.1},  {0.1, 0.13, 0.16}, {0.2, 0.28, 0.22}, {0.28, 0.32, 0.26},
        {0.05, 0.17, 0.03}, {0.1, 0.23, 0.07}, {0.2, 0.35, 0.1},  {0.28, 0.4, 0.13},
        {0.05, 0.17, 0.1},  {0.1, 0.23, 0.16}, {0.2, 0.35, 0.22}, {0.28, 0.4, 0.26},
    };
    for (int mode = 0; mode < gaitModeCount; ++mode) {
        GaitEntry& e = gaitTable.rows[mode];
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
}

GaitEntry transitionEntry(const GaitEntry& from, const GaitEntry& to) {
    GaitEntry entry = from;
    entry.foreStep = to.backStep;
    return entry;
}

GaitEntry transitionEntry(int from, int to) {
    return transitionEntry(gaitTable.rows[from], gaitTable.rows[to]);
}

} // namespace orva

#include "model/gait_table.h"

#include <gtest/gtest.h>

using namespace orva;

namespace {

// mode = length + 4 height + 8 speed, and the table follows its levels: rows of one length level
// share their step lengths, the higher step clears more and the faster one is faster.
TEST(GaitTable, ModesAreTheirLevelsAndTheRowsFollowThem) {
    for (int mode = 0; mode < gaitModeCount; ++mode) {
        const GaitLevels l = gaitLevels(mode);
        EXPECT_TRUE(l.length >= 0 && l.length < 4 && l.height >= 0 && l.height < 2 &&
                    l.speed >= 0 && l.speed < 2)
            << mode;
        EXPECT_EQ(gaitMode(l), mode);
        const GaitEntry& e = gaitTable.rows[mode];
        const GaitEntry& base = gaitTable.rows[l.length];
        EXPECT_EQ(e.backStep, base.backStep) << mode;
        EXPECT_EQ(e.foreStep, e.backStep) << mode;
        EXPECT_TRUE(!l.height || e.clearance > gaitTable.rows[mode - 4].clearance) << mode;
        EXPECT_TRUE(!l.speed || e.meanSpeed > gaitTable.rows[mode - 8].meanSpeed) << mode;
    }
    EXPECT_EQ(gaitMode({3, 1, 1}), 15);
    EXPECT_EQ(gaitMode({1, 0, 1}), 9);
}

} // namespace

#include "model/core_setup.h"
#include "shell/gait_option.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

using namespace orva;

namespace {

// Each bad gait is refused in one line that names what is wrong; good ones keep the base row's
// other fields, and a gait with no fields is the row itself.
TEST(GaitOption, RefusesBadFieldsByNameAndReadsGoodOnes) {
    setupCore();
    const char* const bad[][2] = {
        {"mode=16", "mode"},
        {"mode=1.5", "mode"},
        {"stride=0.1", "stride"},
        {"meanSpeed=abc", "meanSpeed"},
        {"clearance=nan", "clearance"},
        {"hipVyEnd=-inf", "hipVyEnd"},
        {"backStep=-0.01", "backStep"},
        {"foreStep=1.01", "foreStep"},
        {"foreRise=0.05", "foreRise"},
        {"meanSpeed=0.1,meanSpeed=0.2", "meanSpeed"},
        {"mode=1,mode=2", "mode"},
        {"meanSpeed=0.1,", "\"\""},
        {"meanSpeed", "meanSpeed"},
        {"hipAyStart=1e999", "hipAyStart"},
    };
    GaitTarget target;
    for (const auto& [text, named] : bad) {
        const std::string error = parseGaitOption(text, target);
        EXPECT_NE(error.find(named), std::string::npos) << text << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    int base = -1;
    ASSERT_EQ(parseGaitOption("mode=6,meanSpeed=0.31,clearance=0.12,hipAyEnd=-10", target, &base),
              "");
    EXPECT_EQ(base, 6);
    EXPECT_EQ(target.mode, customGait);
    GaitEntry expected = gaitTable.rows[6];
    expected.meanSpeed = 0.31;
    expected.clearance = 0.12;
    expected.hipAyEnd = -10;
    EXPECT_EQ(std::memcmp(&target.entry, &expected, sizeof expected), 0);
    ASSERT_EQ(parseGaitOption("mode=9", target), "");
    EXPECT_TRUE(sameGait(target, tableGait(9)));
    // Two custom gaits are the same only field for field.
    for (const GaitField& f : gaitFields) {
        GaitTarget other{customGait, expected};
        other.entry.*f.member += 0.01;
        EXPECT_FALSE(sameGait(other, GaitTarget{customGait, expected})) << f.name;
    }

    // The window program takes its --gait out of the arguments GLUT sees.
    char a0[] = "orva", a1[] = "-display", a2[] = ":1", a3[] = "--gait", a4[] = "mode=3";
    char* argv[] = {a0, a1, a3, a4, a2, nullptr};
    int argc = 5;
    EXPECT_EQ(takeGaitArgument(argc, argv, target), -1);
    EXPECT_EQ(argc, 3);
    EXPECT_STREQ(argv[2], ":1");
    EXPECT_EQ(argv[3], nullptr);
    EXPECT_EQ(target.mode, 3);
}

// The ranges the help texts document, field by field: each end is taken, a step beyond it
// refused with a message that names the field and the range.
TEST(GaitOption, TakesEachFieldsDocumentedRangeAndNoMore) {
    setupCore();
    const struct {
        const char* name;
        double lowest, highest, beyond;
        const char* message; // for the value past the top
    } documented[] = {
        {"backStep", 0, 1, 0.01, "backStep must lie in 0..1 m, not 1.01"},
        {"foreStep", 0, 1, 0.01, "foreStep must lie in 0..1 m, not 1.01"},
        {"backDrop", 0, 0, 0.01, "backDrop must be 0 m (the world is flat), not 0.01"},
        {"foreRise", 0, 0, 0.01, "foreRise must be 0 m (the world is flat), not 0.01"},
        {"meanSpeed", 0, 1, 0.01, "meanSpeed must lie in 0..1 m/s, not 1.01"},
        {"clearance", 0, 1, 0.01, "clearance must lie in 0..1 m, not 1.01"},
        {"hipHeightStart", 0, 1, 0.01, "hipHeightStart must lie in 0..1 m, not 1.01"},
        {"hipVyStart", -1, 1, 0.01, "hipVyStart must lie in -1..1 m/s, not 1.01"},
        {"hipAyStart", -10, 10, 0.1, "hipAyStart must lie in -10..10 m/s2, not 10.1"},
        {"hipHeightEnd", 0, 1, 0.01, "hipHeightEnd must lie in 0..1 m, not 1.01"},
        {"hipVyEnd", -1, 1, 0.01, "hipVyEnd must lie in -1..1 m/s, not 1.01"},
        {"hipAyEnd", -10, 10, 0.1, "hipAyEnd must lie in -10..10 m/s2, not 10.1"},
    };
    GaitTarget target;
    for (const auto& f : documented) {
        const auto pair = [&](double v) {
            char text[64];
            std::snprintf(text, sizeof text, "%s=%g", f.name, v);
            return std::string(text);
        };
        EXPECT_EQ(parseGaitOption(pair(f.lowest), target), "") << pair(f.lowest);
        EXPECT_EQ(parseGaitOption(pair(f.highest), target), "") << pair(f.highest);
        EXPECT_NE(parseGaitOption(pair(f.lowest - f.beyond), target), "")
            << pair(f.lowest - f.beyond) << " is below the documented range";
        EXPECT_EQ(parseGaitOption(pair(f.highest + f.beyond), target), f.message);
    }
}

// A mode is a whole number 0..15 wherever one is taken, and every refusal names the range.
TEST(GaitOption, ModeIsAWholeNumberOfTheTable) {
    EXPECT_EQ(gaitModeWanted(), "a gait mode 0..15");
    int mode = -1;
    EXPECT_TRUE(parseGaitMode("0", mode) && mode == 0);
    EXPECT_TRUE(parseGaitMode("15", mode) && mode == 15);
    for (const char* bad : {"16", "-1", "1.5", "", " 3", "3x", "99999999999999999999"})
        EXPECT_FALSE(parseGaitMode(bad, mode)) << '"' << bad << '"';
}

} // namespace

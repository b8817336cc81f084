#include "model/core_setup.h"
#include "model/pose_queries.h"
#include "model/sine_table.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace orva;

namespace {

constexpr double sampleStep = 2 * pi / (sineTableSize - 1);

TEST(SineTable, TruncatesToTheSampleBelowAndStaysOdd) {
    setupCore();
    // Anywhere between two samples, the lower one: sin(i step) as the library gives it.
    for (int i = 0; i < sineTableSize - 1; i += 997) {
        const double sample = std::sin(i * sampleStep);
        for (double part : {0.25, 0.75}) {
            EXPECT_EQ(tableSin((i + part) * sampleStep), sample) << i;
            EXPECT_EQ(tableSin(-(i + part) * sampleStep), -sample) << i;
        }
    }
    double worst = 0;
    for (int i = -20000; i <= 20000; ++i) {
        const double a = i * 0.000731 + 1e-9 * (i % 7);
        EXPECT_EQ(tableSin(-a), -tableSin(a)) << a;
        worst = std::fmax(worst, std::fabs(tableSin(a) - std::sin(a)));
        worst = std::fmax(worst, std::fabs(tableCos(a) - std::cos(a)));
    }
    // Truncation to the sample below costs at most one sample step in the argument.
    EXPECT_LE(worst, sampleStep);

    const double inf = std::numeric_limits<double>::infinity();
    for (double a : {std::nan(""), inf, -inf}) {
        EXPECT_TRUE(std::isnan(tableSin(a))) << a;
        EXPECT_TRUE(std::isnan(tableCos(a))) << a;
    }
}

// Straight: the four leg links along the ground, 4 x 0.45 m. Upright with the foot flat: the
// centre of mass is w5 ahead of the ankle and L0 + L1 + w0 + ... + w4 above it.
TEST(SineTable, PoseQueriesOnStraightAndUprightPoses) {
    setupCore();
    const RobotState straight{}, upright{{pi / 2, 0, 0, -pi, 0, pi / 2}, {}};
    EXPECT_NEAR(swingFootReach(straight), 1.8, 1e-9);
    EXPECT_EQ(swingFootReach(upright), 0.0);
    double com[2];
    centreOfMass(upright, com);
    EXPECT_NEAR(com[0], 0.0053555, 5e-7);
    EXPECT_NEAR(com[1], 0.7520918, 5e-7);
}

} // namespace

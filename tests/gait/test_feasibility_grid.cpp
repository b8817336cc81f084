#include "gait/feasibility_grid.h"
#include "gait/step_generator.h"
#include "model/gait_table.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace orva;

namespace {

// The map's axes are labelled with these values.
TEST(FeasibilityGrid, DefaultGridHas96EvenlySpacedLengthsAndSpeeds) {
    const AtlasGrid d = defaultAtlasGrid();
    for (int i = 0; i < 96; ++i) {
        EXPECT_NEAR(atlasValue(d.lengths, i), 0.02 + 0.38 * i / 95, 1e-15);
        EXPECT_NEAR(atlasValue(d.speeds, i), 0.03 + 0.57 * i / 95, 1e-15);
    }
    EXPECT_EQ(d.clearances, (std::vector<double>{0.03, 0.22}));
}

// Clearance first, then length, then speed; each point what one generator call on its gait
// says, whatever the number of threads; every gait-table row makes a usable step.
TEST(FeasibilityGrid, PointsAreSingleStepsInGridOrderOnAnyNumberOfThreads) {
    const AtlasGrid grid{{0.02, 0.40, 5}, {0.03, 0.60, 4}, {0.03, 0.22}};
    const std::vector<AtlasPoint> points = computeAtlas(grid, 1);
    const std::vector<AtlasPoint> threaded = computeAtlas(grid, 3);
    ASSERT_EQ(points.size(), 5u * 4u * 2u);
    ASSERT_EQ(threaded.size(), points.size());
    int usable = 0;
    for (size_t k = 0; k < points.size(); ++k) {
        const AtlasPoint& p = points[k];
        SCOPED_TRACE("point " + std::to_string(k));
        EXPECT_EQ(p.clearance, grid.clearances[k / 20]);
        EXPECT_EQ(p.backStep, atlasValue(grid.lengths, k / 4 % 5));
        EXPECT_EQ(p.meanSpeed, atlasValue(grid.speeds, k % 4));
        TrajectorySegment seg;
        StepStats stats{};
        const bool ok = generateStep(atlasEntry(p.backStep, p.meanSpeed, p.clearance), seg, &stats);
        usable += ok;
        EXPECT_EQ(p.usable, ok);
        EXPECT_EQ(p.outerPasses, stats.outerPasses);
        EXPECT_EQ(p.innerPasses, stats.innerPasses);
        EXPECT_TRUE(!ok || p.duration == seg.duration);
        EXPECT_TRUE(threaded[k].usable == p.usable && threaded[k].innerPasses == p.innerPasses);
    }
    EXPECT_TRUE(usable > 0 && usable < 40); // the grid reaches past what the generator can do

    const std::vector<AtlasPoint> rows = atlasTableRows();
    ASSERT_EQ(rows.size(), static_cast<size_t>(gaitModeCount));
    for (int m = 0; m < gaitModeCount; ++m) {
        TrajectorySegment seg;
        ASSERT_TRUE(generateStep(gaitTable.rows[m], seg)) << "mode " << m;
        EXPECT_TRUE(rows[m].usable && rows[m].duration == seg.duration) << "mode " << m;
    }
}

// Each measure reads its own figure of the summary; a point has one to colour by only when it
// is usable, finite and above zero. Options and messages name them from the one list.
TEST(FeasibilityGrid, ColourMeasuresReadTheirOwnFigureByName) {
    AtlasPoint p{0.1, 0.2, 0.03, true, 0.4, 3, 9};
    p.dynamics.costOfTransport = 0.3;
    p.dynamics.frictionMax = 0.6;
    p.dynamics.copMin = -0.07;
    p.dynamics.copMax = 0.05;
    p.dynamics.peakAnkleMoment = 12;
    p.ankleDrift = -0.5 / degreesPerRadian; // the measure is its size in degrees
    const double expected[atlasColourCount] = {0.4, 0.3, 0.6, 0.07, 12, 0.5};
    for (int i = 0; i < atlasColourCount; ++i) {
        AtlasColour c = AtlasColour::duration;
        ASSERT_TRUE(findAtlasColour(atlasColourNames[i], c));
        EXPECT_EQ(static_cast<int>(c), i);
        EXPECT_NEAR(colourValue(p, c), expected[i], 1e-15) << atlasColourNames[i];
        EXPECT_TRUE(hasColourValue(p, c)) << atlasColourNames[i];
    }
    AtlasColour c;
    EXPECT_FALSE(findAtlasColour("red", c));
    EXPECT_EQ(atlasColourChoices(), "duration, cost, friction, cop, ankle or drift");

    AtlasPoint none = p;
    none.dynamics.frictionMax = std::numeric_limits<double>::quiet_NaN();
    none.dynamics.costOfTransport = 0;
    EXPECT_FALSE(hasColourValue(none, AtlasColour::friction));
    EXPECT_FALSE(hasColourValue(none, AtlasColour::cost));
    none.usable = false;
    EXPECT_FALSE(hasColourValue(none, AtlasColour::duration));
}

// The log scale runs from the lowest value found (0) to the highest (1); a value ten times
// another lies a decade further. One value is a scale too; with none it is found empty. Both
// put every value at 0.5.
TEST(FeasibilityGrid, LogScaleSpansTheValuesFound) {
    std::vector<AtlasPoint> points(3, AtlasPoint{0.1, 0.2, 0.03, true, 0, 0, 0});
    points[0].duration = 0.1;
    points[1].duration = 10;
    points[2].duration = 1000; // unusable: left out
    points[2].usable = false;
    const AtlasScale scale = atlasScale(points.data(), points.size(), AtlasColour::duration);
    EXPECT_TRUE(scale.found);
    EXPECT_EQ(scale.at(0.1), 0);
    EXPECT_EQ(scale.at(10), 1);
    EXPECT_NEAR(scale.at(1), 0.5, 1e-15);
    const AtlasScale one = atlasScale(points.data() + 1, 1, AtlasColour::duration);
    EXPECT_TRUE(one.found && one.logLo == 1 && one.logHi == 1);
    EXPECT_EQ(one.at(10), 0.5);
    const AtlasScale empty = atlasScale(points.data() + 2, 1, AtlasColour::duration);
    EXPECT_FALSE(empty.found);
    EXPECT_EQ(empty.at(3), 0.5);
}

} // namespace

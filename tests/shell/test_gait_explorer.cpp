#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "shell/gait_explorer.h"
#include "shell/gait_option.h"
#include "shell/idle_pass.h"
#include "shell/lab.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using namespace orva;

namespace {

// A gait chosen in the explorer is tried at once; a refused one is not walked, a usable one is
// walked from the next step boundary on, and a gait key returns to the table.
TEST(Explorer, TriesAtOnceAndWalksOnlyUsableGaits) {
    Lab lab;
    startWalking(lab);
    Explorer e;
    setUpExplorer(e, lab.walker.current);
    EXPECT_TRUE(e.usable);
    e.entry.meanSpeed = 0;
    tryExplorerGait(e);
    EXPECT_FALSE(e.usable);
    EXPECT_EQ(e.verdict.rfind("refused: ", 0), 0u) << e.verdict;
    EXPECT_FALSE(walkExplorerGait(e, lab.gait));
    EXPECT_FALSE(lab.gait.custom);

    e.entry.backStep = e.entry.foreStep = 0.15;
    e.entry.meanSpeed = 0.33;
    e.entry.clearance = 0.12;
    tryExplorerGait(e);
    ASSERT_TRUE(e.usable) << e.verdict;
    ASSERT_TRUE(walkExplorerGait(e, lab.gait));
    for (int call = 0; call < 400 && lab.walker.current.mode != customGait; ++call) idlePass(lab);
    EXPECT_TRUE(sameGait(lab.walker.current, GaitTarget{customGait, e.entry}));
    // A gait no step leads to is refused once, and the walked one selected again.
    GaitTarget nowhere{customGait, e.entry};
    nowhere.entry.meanSpeed = 0;
    selectGait(lab.gait, nowhere);
    idlePass(lab);
    EXPECT_EQ(lab.walker.refusals, 1);
    EXPECT_TRUE(sameGait(selectedGait(lab.gait), lab.walker.current));
    EXPECT_EQ(gaitRequest(lab.gait, lab.walker), 0);
    pressGaitKey(lab.gait, 'x');
    EXPECT_FALSE(lab.gait.custom);
    EXPECT_EQ(gaitRequest(lab.gait, lab.walker), 1);
}

// The map fills in the background while it is read, starts over when the clearance changes,
// and ends equal to single generator calls on its grid.
TEST(GaitMap, FillsInTheBackgroundAndEqualsSingleGeneratorCalls) {
    setupCore();
    GaitMap map;
    startGaitMap(map, 0.22);
    while (gaitMapDone(map) < 50) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The points done so far are whole: read while the worker writes the next ones.
    for (int i = 0; i < gaitMapDone(map); ++i) {
        EXPECT_EQ(map.points[i].clearance, 0.22);
        EXPECT_TRUE(!map.points[i].usable || map.points[i].duration > 0) << i;
    }
    startGaitMap(map, 0.12);
    const int total = mapCells * mapCells;
    ASSERT_EQ(static_cast<int>(map.points.size()), total);
    while (gaitMapDone(map) < total) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    stopGaitMap(map);
    TrajectorySegment seg;
    for (int i = 0; i < total; i += 7) {
        const AtlasPoint& p = map.points[i];
        EXPECT_EQ(p.backStep, atlasValue(map.grid.lengths, i / mapCells));
        EXPECT_EQ(p.meanSpeed, atlasValue(map.grid.speeds, i % mapCells));
        EXPECT_EQ(p.clearance, 0.12);
        EXPECT_EQ(generateStep(atlasEntry(p.backStep, p.meanSpeed, 0.12), seg), p.usable) << i;
        EXPECT_EQ(p.usable ? seg.duration : 0.0, p.usable ? p.duration : 0.0) << i;
    }
}

// The map's documented 64 x 64 cells, over the feasibility grid's ranges, as the explorer's
// step and speed sliders; every slider stays within what its field allows.
TEST(GaitMap, HasSixtyFourCellsEachWayOverTheRangesOfTheSliders) {
    const AtlasGrid map = gaitMapGrid(0.1);
    EXPECT_EQ(map.lengths.count, 64);
    EXPECT_EQ(map.speeds.count, 64);
    const AtlasGrid atlas = defaultAtlasGrid();
    const auto sliders = explorerSliders();
    EXPECT_EQ(sliders[0].member, &GaitEntry::backStep);
    EXPECT_EQ(sliders[1].member, &GaitEntry::meanSpeed);
    EXPECT_EQ(sliders[0].lowest, atlas.lengths.first);
    EXPECT_EQ(sliders[0].highest, atlas.lengths.last);
    EXPECT_EQ(sliders[1].lowest, atlas.speeds.first);
    EXPECT_EQ(sliders[1].highest, atlas.speeds.last);
    EXPECT_EQ(map.lengths.first, atlas.lengths.first);
    EXPECT_EQ(map.speeds.last, atlas.speeds.last);
    for (const ExplorerSlider& s : sliders)
        for (const GaitField& f : gaitFields) {
            if (f.member != s.member) continue;
            EXPECT_TRUE(s.lowest >= f.lowest && s.highest <= f.highest && s.lowest < s.highest)
                << s.label << " " << s.lowest << ".." << s.highest << " against " << f.name;
        }
}

} // namespace

#include "shell/gait_explorer.h"

#include "shell/idle_pass.h"

#include <cstdio>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace orva;

namespace {

// The values a flat world allows the field, from the gait's field table.
void fieldRange(double GaitEntry::*member, double& lowest, double& highest) {
    for (const GaitField& f : gaitFields)
        if (f.member == member) {
            lowest = f.lowest;
            highest = f.highest;
        }
}

ExplorerSlider fieldSlider(const char* label, double GaitEntry::*member, const char* format) {
    ExplorerSlider slider{label, member, 0, 0, format};
    fieldRange(member, slider.lowest, slider.highest);
    return slider;
}

} // namespace

std::array<ExplorerSlider, explorerSliderCount> explorerSliders() {
    const AtlasGrid grid = defaultAtlasGrid();
    return {{
        {"step m", &GaitEntry::backStep, grid.lengths.first, grid.lengths.last, "%.3f"},
        {"speed m/s", &GaitEntry::meanSpeed, grid.speeds.first, grid.speeds.last, "%.3f"},
        {"clear m", &GaitEntry::clearance, 0.0, 0.30, "%.3f"},
        {"y0 m", &GaitEntry::hipHeightStart, 0.70, 0.90, "%.3f"},
        {"vy0 m/s", &GaitEntry::hipVyStart, -0.5, 0.5, "%.2f"},
        fieldSlider("ay0 m/s2", &GaitEntry::hipAyStart, "%.1f"),
        {"y1 m", &GaitEntry::hipHeightEnd, 0.70, 0.90, "%.3f"},
        {"vy1 m/s", &GaitEntry::hipVyEnd, -0.5, 0.5, "%.2f"},
        fieldSlider("ay1 m/s2", &GaitEntry::hipAyEnd, "%.1f"),
    }};
}

void setUpExplorer(Explorer& e, const GaitTarget& walked) {
    e.entry = walked.entry;
    e.entry.foreStep = e.entry.backStep;
    tryExplorerGait(e);
}

std::string stepRefusal(const StepStats& stats) {
    if (stats.outerPasses >= maxOuterPasses) return "the momentum balance did not settle";
    if (stats.innerPasses >= maxInnerPasses) return "the torso's swing did not settle";
    return "the step's values became undefined (out of the legs' reach?)";
}

void tryExplorerGait(Explorer& e) {
    TrajectorySegment seg;
    e.stats = StepStats{};
    e.usable = generateStep(e.entry, seg, &e.stats);
    e.duration = e.usable ? seg.duration : 0.0;
    char line[96];
    if (e.usable)
        std::snprintf(line, sizeof line, "usable: %.3f s, %d passes", e.duration,
                      e.stats.outerPasses);
    else
        std::snprintf(line, sizeof line, "refused: %s", stepRefusal(e.stats).c_str());
    e.verdict = line;
}

bool walkExplorerGait(const Explorer& e, GaitSelection& gait) {
    if (!e.usable) return false;
    selectGait(gait, GaitTarget{customGait, e.entry});
    return true;
}

GaitMap::~GaitMap() {
    stopGaitMap(*this);
}

AtlasGrid gaitMapGrid(double clearance) {
    const AtlasGrid atlas = defaultAtlasGrid();
    return AtlasGrid{{atlas.lengths.first, atlas.lengths.last, mapCells},
                     {atlas.speeds.first, atlas.speeds.last, mapCells},
                     {clearance}};
}

void stopGaitMap(GaitMap& map) {
    if (!map.worker.joinable()) return;
    map.stop.store(true);
    map.worker.join();
    map.stop.store(false);
}

void startGaitMap(GaitMap& map, double clearance, bool withDynamics, bool withDrift) {
    stopGaitMap(map);
    map.grid = gaitMapGrid(clearance);
    map.withDynamics = withDynamics;
    map.withDrift = withDrift;
    map.points = atlasPoints(map.grid);
    map.done.store(0);
    map.worker = std::thread([&map] {
        // Below the walk's thread: the map may take its time, the walk may not.
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
        const int count = static_cast<int>(map.points.size());
        for (int i = 0; i < count && !map.stop.load(std::memory_order_relaxed); ++i) {
            evaluateAtlasPoint(map.points[i], map.withDynamics, map.withDrift);
            map.done.store(i + 1, std::memory_order_release);
        }
    });
}

int gaitMapDone(const GaitMap& map) {
    return map.done.load(std::memory_order_acquire);
}

#include "gait/feasibility_grid.h"

#include "gait/let_loose.h"
#include "gait/step_generator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <system_error>
#include <thread>

namespace orva {

double atlasValue(const AtlasRange& r, int i) {
    if (i == r.count - 1) return r.last; // exactly, whatever the rounding of the step
    return r.count > 1 ? r.first + (r.last - r.first) * i / (r.count - 1) : r.first;
}

bool validAtlasRange(const AtlasRange& r) {
    if (r.count == 1) return r.first > 0 && r.first == r.last;
    return r.count >= 2 && r.count <= maxAtlasRangeCount && r.first > 0 && r.first < r.last;
}

AtlasGrid defaultAtlasGrid() {
    return AtlasGrid{{0.02, 0.40, 96}, {0.03, 0.60, 96}, {0.03, 0.22}};
}

GaitEntry atlasEntry(double length, double speed, double clearance) {
    GaitEntry e = gaitTable.rows[0];
    e.backStep = e.foreStep = length;
    e.meanSpeed = speed;
    e.clearance = clearance;
    return e;
}

void evaluateAtlasPoint(AtlasPoint& p, bool withDynamics, bool withDrift) {
    TrajectorySegment seg;
    StepStats stats{};
    const GaitEntry entry = atlasEntry(p.backStep, p.meanSpeed, p.clearance);
    p.usable = generateStep(entry, seg, &stats);
    p.duration = seg.duration;
    p.outerPasses = stats.outerPasses;
    p.innerPasses = stats.innerPasses;
    if (withDynamics && p.usable) p.dynamics = summarizeDynamics(seg, stepLength(entry));
    if (withDrift && p.usable) p.ankleDrift = letLoose(seg, FreeJoints::ankle).ankleDrift;
}

namespace {

// Points handed out in small chunks, so that threads share the slow unusable steps evenly.
constexpr size_t chunkSize = 16;

} // namespace

std::vector<AtlasPoint> atlasPoints(const AtlasGrid& grid) {
    std::vector<AtlasPoint> points;
    for (double c : grid.clearances)
        for (int i = 0; i < grid.lengths.count; ++i)
            for (int j = 0; j < grid.speeds.count; ++j)
                points.push_back(
                    {atlasValue(grid.lengths, i), atlasValue(grid.speeds, j), c, false, 0.0, 0, 0});
    return points;
}

std::vector<AtlasPoint> computeAtlas(const AtlasGrid& grid, int threads, bool withDynamics,
                                     bool withDrift) {
    std::vector<AtlasPoint> points = atlasPoints(grid);

    // Each point is written by one thread only; generateStep keeps its work on the stack and
    // only reads the model and the gait table.
    std::atomic<size_t> next{0};
    auto work = [&points, &next, withDynamics, withDrift] {
        for (;;) {
            const size_t begin = next.fetch_add(chunkSize);
            if (begin >= points.size()) return;
            const size_t end = std::min(points.size(), begin + chunkSize);
            for (size_t i = begin; i < end; ++i)
                evaluateAtlasPoint(points[i], withDynamics, withDrift);
        }
    };
    std::vector<std::thread> pool;
    try {
        for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked for: those started and this one do all the work.
    }
    work();
    for (std::thread& t : pool) t.join();
    return points;
}

std::vector<AtlasPoint> atlasTableRows() {
    std::vector<AtlasPoint> rows;
    for (const GaitEntry& row : gaitTable.rows) {
        AtlasPoint p{row.backStep, row.meanSpeed, row.clearance, false, 0.0, 0, 0};
        evaluateAtlasPoint(p);
        rows.push_back(p);
    }
    return rows;
}

std::string atlasColourChoices() {
    std::string text;
    for (int i = 0; i < atlasColourCount; ++i) {
        if (i) text += i + 1 == atlasColourCount ? " or " : ", ";
        text += atlasColourNames[i];
    }
    return text;
}

bool findAtlasColour(const std::string& name, AtlasColour& out) {
    for (int i = 0; i < atlasColourCount; ++i)
        if (name == atlasColourNames[i]) {
            out = static_cast<AtlasColour>(i);
            return true;
        }
    return false;
}

bool colourNeedsDynamics(AtlasColour colour) {
    return colour != AtlasColour::duration && colour != AtlasColour::drift;
}

bool colourNeedsDrift(AtlasColour colour) {
    return colour == AtlasColour::drift;
}

double colourValue(const AtlasPoint& p, AtlasColour colour) {
    const DynamicsSummary& d = p.dynamics;
    switch (colour) {
    case AtlasColour::cost:
        return d.costOfTransport;
    case AtlasColour::friction:
        return d.frictionMax;
    case AtlasColour::cop:
        return std::max(-d.copMin, d.copMax);
    case AtlasColour::ankle:
        return d.peakAnkleMoment;
    case AtlasColour::drift:
        return degreesPerRadian * std::fabs(p.ankleDrift);
    default:
        return p.duration;
    }
}

bool hasColourValue(const AtlasPoint& p, AtlasColour colour) {
    const double value = colourValue(p, colour);
    return p.usable && value > 0 && std::isfinite(value);
}

double AtlasScale::at(double value) const {
    return logHi > logLo ? (std::log10(value) - logLo) / (logHi - logLo) : 0.5;
}

AtlasScale atlasScale(const AtlasPoint* points, std::size_t count, AtlasColour colour) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (std::size_t i = 0; i < count; ++i)
        if (hasColourValue(points[i], colour)) {
            lo = std::min(lo, colourValue(points[i], colour));
            hi = std::max(hi, colourValue(points[i], colour));
        }
    const bool found = lo <= hi;
    if (!found) lo = hi = 1.0;
    return {colour, std::log10(lo), std::log10(hi), found};
}

} // namespace orva

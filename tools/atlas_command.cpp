#include "tools/atlas_command.h"

#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "shell/colour_scale.h"
#include "tools/cli.h"
#include "tools/dynamics_command.h"
#include "tools/picture_options.h"
#include "tools/svg/svg_plot.h"
#include "tools/svg/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

using namespace orva;

namespace {

// Usage errors name the command as the tool: "orva-gait atlas: ... (try 'orva-gait atlas --help')".
const char* const atlasTool = "orva-gait atlas";

} // namespace

std::string atlasCsv(const std::vector<AtlasPoint>& points, bool withDynamics, bool withDrift) {
    std::string out = "backStep,meanSpeed,clearance,usable,duration,outerPasses,innerPasses";
    if (withDynamics)
        out += ",peakTorque,peakAnkleMoment,copMin,copMax,fyMin,frictionMax,liftOff,"
               "positiveWork,costOfTransport";
    out += withDrift ? ",ankleDrift\n" : "\n";
    char line[200];
    for (const AtlasPoint& p : points) {
        std::snprintf(line, sizeof line, "%.17g,%.17g,%.17g,%d,", p.backStep, p.meanSpeed,
                      p.clearance, p.usable ? 1 : 0);
        out += line;
        if (p.usable) {
            std::snprintf(line, sizeof line, "%.17g", p.duration);
            out += line;
        }
        std::snprintf(line, sizeof line, ",%d,%d", p.outerPasses, p.innerPasses);
        out += line;
        if (withDynamics) {
            const DynamicsSummary& d = p.dynamics;
            for (double x : {d.peakTorque, d.peakAnkleMoment, d.copMin, d.copMax, d.fyMin,
                             d.frictionMax, d.liftOff, d.positiveWork, d.costOfTransport}) {
                out += ',';
                if (!p.usable || !std::isfinite(x)) continue;
                std::snprintf(line, sizeof line, "%.17g", x);
                out += line;
            }
        }
        if (withDrift && p.usable) {
            std::snprintf(line, sizeof line, ",%.17g", p.ankleDrift);
            out += line;
        } else if (withDrift) {
            out += ',';
        }
        out += '\n';
    }
    return out;
}

namespace {

constexpr double mapSize = 380; // px, each map
constexpr double mapLeft = 90;
constexpr double mapGap = 90;
constexpr double mapTop = 120;
constexpr int mapsPerRow = 3;
constexpr double barWidth = 22;
const char* const unusableColour = "#cfcfcf";

// The scale's colour of u in [0, 1] as SVG writes it.
std::string hexColour(double u) {
    const Rgb c = scaleColour(u);
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", c.r, c.g, c.b);
    return hex;
}

// Half a cell beyond the first and last values, so that each cell is centred on its value.
void cellRange(const AtlasRange& r, double& lo, double& hi) {
    const double half = r.count > 1 ? (r.last - r.first) / (2.0 * (r.count - 1))
                                    : std::max(1e-3, 0.05 * std::fabs(r.first));
    lo = r.first - half;
    hi = r.last + half;
}

// Usable steps without a value: the ground would pull at every sample.
const char* const noValueColour = "#f6c6c6";

std::string cellColour(const AtlasPoint& p, const AtlasScale& scale) {
    if (hasColourValue(p, scale.colour)) return hexColour(scale.at(colourValue(p, scale.colour)));
    return p.usable && scale.colour != AtlasColour::duration ? noValueColour : unusableColour;
}

void drawMap(Svg& svg, const AtlasGrid& grid, const AtlasPoint* points, double clearance,
             const std::vector<AtlasPoint>& rows, const AtlasScale& scale, double left,
             double top) {
    PlotFrame f{left, top, mapSize, mapSize, 0, 0, 0, 0};
    cellRange(grid.lengths, f.x0, f.x1);
    cellRange(grid.speeds, f.y0, f.y1);
    drawAxes(svg, f, {"backStep = foreStep (m)", "meanSpeed (m/s)", true}, 8, 8);

    int usable = 0;
    const int nl = grid.lengths.count, ns = grid.speeds.count;
    for (int k = 0; k < nl * ns; ++k) usable += points[k].usable;
    svgText(
        svg,
        {svgAttr("x", left), svgAttr("y", top - 10), {"font-size", "13"}, {"font-weight", "bold"}},
        "clearance " + svgNumber(clearance, 4) + " m: " + std::to_string(usable) + " of " +
            std::to_string(nl * ns) + " steps usable");

    // One rectangle per run of equal colour up a column of speeds.
    const double cw = mapSize / nl, ch = mapSize / ns;
    svgOpen(svg, "g", {{"class", "cells"}, {"shape-rendering", "crispEdges"}});
    for (int i = 0; i < nl; ++i) {
        const AtlasPoint* column = points + static_cast<size_t>(i) * ns;
        for (int j = 0; j < ns;) {
            const std::string colour = cellColour(column[j], scale);
            int run = 1;
            while (j + run < ns && cellColour(column[j + run], scale) == colour) ++run;
            svgElement(svg, "rect",
                       {svgAttr("x", left + i * cw),
                        svgAttr("y", top + (ns - j - run) * ch),
                        svgAttr("width", cw),
                        svgAttr("height", run * ch),
                        {"fill", colour}});
            j += run;
        }
    }
    svgClose(svg);
    drawOutline(svg, left, top, mapSize, mapSize);

    // The table rows within the map: one mark per distinct length and speed, labelled with its
    // modes; filled when one of them has this map's clearance, ringed red when one is unusable.
    svgOpen(svg, "g", {{"class", "table-rows"}, {"font-size", "11"}});
    for (int m = 0; m < gaitModeCount; ++m) {
        const AtlasPoint& r = rows[m];
        bool first = true, filled = false, failed = false;
        std::string label;
        for (int n = 0; n < gaitModeCount; ++n) {
            if (rows[n].backStep != r.backStep || rows[n].meanSpeed != r.meanSpeed) continue;
            if (n < m) first = false;
            label += (label.empty() ? "" : "/") + std::to_string(n);
            filled = filled || rows[n].clearance == clearance;
            failed = failed || !rows[n].usable;
        }
        const bool inside =
            r.backStep >= f.x0 && r.backStep <= f.x1 && r.meanSpeed >= f.y0 && r.meanSpeed <= f.y1;
        if (!first || !inside) continue;
        const double x = plotX(f, r.backStep), y = plotY(f, r.meanSpeed);
        svgElement(svg, "circle",
                   {{"class", failed ? "row-mark unusable" : "row-mark"},
                    svgAttr("cx", x),
                    svgAttr("cy", y),
                    {"r", "4.5"},
                    {"fill", filled ? "#000" : "#fff"},
                    {"stroke", failed ? "#d62728" : "#000"},
                    {"stroke-width", "1.5"}});
        svgText(svg,
                {{"class", "row-label"},
                 svgAttr("x", x + 7),
                 svgAttr("y", y + 4),
                 {"fill", "#000"},
                 {"stroke", "#fff"},
                 {"stroke-width", "2.5"},
                 {"paint-order", "stroke"}},
                "mode " + label);
    }
    svgClose(svg);
}

void drawColourBar(Svg& svg, const AtlasScale& scale, double left, double top) {
    constexpr int bands = 64;
    svgOpen(svg, "g", {{"class", "colour-bar"}, {"shape-rendering", "crispEdges"}});
    for (int b = 0; b < bands; ++b)
        svgElement(svg, "rect",
                   {svgAttr("x", left),
                    svgAttr("y", top + mapSize * (bands - 1 - b) / bands),
                    svgAttr("width", barWidth),
                    svgAttr("height", mapSize / bands + 0.5),
                    {"fill", hexColour((b + 0.5) / bands)}});
    svgClose(svg);
    drawOutline(svg, left, top, barWidth, mapSize);
    // Ticks at 1, 2 and 5 times the powers of ten within the scale.
    svgOpen(svg, "g", {{"font-size", "11"}, {"fill", "#333"}});
    for (int decade = static_cast<int>(std::floor(scale.logLo)) - 1;
         decade <= static_cast<int>(std::ceil(scale.logHi)); ++decade)
        for (double m : {1.0, 2.0, 5.0}) {
            const double value = m * std::pow(10.0, decade);
            const double u = scale.logHi > scale.logLo ? scale.at(value) : 0.5;
            if (u < -1e-9 || u > 1 + 1e-9) continue;
            const double y = top + mapSize * (1 - u);
            svgElement(svg, "line",
                       {svgAttr("x1", left + barWidth),
                        svgAttr("y1", y),
                        svgAttr("x2", left + barWidth + 5),
                        svgAttr("y2", y),
                        {"stroke", "#333"}});
            svgText(svg, {svgAttr("x", left + barWidth + 8), svgAttr("y", y + 4)},
                    svgNumber(value, std::max(0, -decade)));
        }
    drawVerticalTitle(svg, left + barWidth + 58, top + mapSize / 2,
                      std::string(atlasColourTitles[static_cast<int>(scale.colour)]) +
                          ", log scale");
    svgClose(svg);
}

// What the grey cells and the row marks mean, in two lines under the maps.
void drawLegend(Svg& svg, double left, double y) {
    svgOpen(svg, "g", {{"class", "legend"}, {"font-size", "12"}});
    svgElement(svg, "rect",
               {svgAttr("x", left),
                svgAttr("y", y - 11),
                {"width", "14"},
                {"height", "14"},
                {"fill", unusableColour}});
    svgText(svg, {svgAttr("x", left + 20), svgAttr("y", y)},
            "no usable step: an iteration hit its bound or values became undefined");
    const struct {
        const char* fill;
        const char* stroke;
        const char* label;
    } marks[3] = {{"#000", "#000", "table row with the map's clearance"},
                  {"#fff", "#000", "table row with another clearance"},
                  {"#fff", "#d62728", "unusable row"}};
    double x = left;
    y += 20;
    for (const auto& m : marks) {
        svgElement(svg, "circle",
                   {svgAttr("cx", x + 5),
                    svgAttr("cy", y - 4),
                    {"r", "4.5"},
                    {"fill", m.fill},
                    {"stroke", m.stroke},
                    {"stroke-width", "1.5"}});
        svgText(svg, {svgAttr("x", x + 15), svgAttr("y", y)}, m.label);
        x += 15 + 7.2 * std::string(m.label).size() + 20;
    }
    svgClose(svg);
}

} // namespace

std::string atlasSvg(const AtlasGrid& grid, const std::vector<AtlasPoint>& points,
                     AtlasColour colour) {
    const std::vector<AtlasPoint> rows = atlasTableRows();
    const AtlasScale scale = atlasScale(points.data(), points.size(), colour);
    const int maps = static_cast<int>(grid.clearances.size());
    const int across = std::max(1, std::min(maps, mapsPerRow));
    const int down = std::max(1, (maps + mapsPerRow - 1) / mapsPerRow);
    const double barLeft = mapLeft + across * mapSize + (across - 1) * mapGap + 30;
    const double width = barLeft + barWidth + 90;
    const double height = mapTop + down * (mapSize + mapGap) + 40;

    Svg svg;
    svgBegin(svg, width, height);
    svgElement(svg, "rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "#fff"}});
    const GaitEntry& e = gaitTable.rows[0];
    svgText(svg, {{"x", "20"}, {"y", "30"}, {"font-size", "17"}, {"font-weight", "bold"}},
            "Where ORVA's step generator makes a usable step");
    svgText(svg, {{"x", "20"}, {"y", "52"}, {"font-size", "12.5"}},
            "Symmetric steps (backStep = foreStep) against meanSpeed, one map per clearance; the "
            "other fields as in every gait-table row:");
    svgText(svg, {{"x", "20"}, {"y", "70"}, {"font-size", "12.5"}},
            "backDrop " + svgNumber(e.backDrop, 4) + " m, foreRise " + svgNumber(e.foreRise, 4) +
                " m, hip height " + svgNumber(e.hipHeightStart, 4) + " \u2192 " +
                svgNumber(e.hipHeightEnd, 4) + " m, vertical hip velocity " +
                svgNumber(e.hipVyStart, 4) + " \u2192 " + svgNumber(e.hipVyEnd, 4) +
                " m/s, vertical hip acceleration " + svgNumber(e.hipAyStart, 4) + " \u2192 " +
                svgNumber(e.hipAyEnd, 4) + " m/s\u00b2.");

    const size_t perMap = static_cast<size_t>(grid.lengths.count) * grid.speeds.count;
    for (int c = 0; c < maps; ++c) {
        const double left = mapLeft + (c % mapsPerRow) * (mapSize + mapGap);
        const double top = mapTop + (c / mapsPerRow) * (mapSize + mapGap);
        drawMap(svg, grid, points.data() + c * perMap, grid.clearances[c], rows, scale, left, top);
    }
    drawColourBar(svg, scale, barLeft, mapTop);
    drawLegend(svg, mapLeft, height - 40);
    return svgEnd(svg);
}

namespace {

// The summary's sample count comes from the core.
std::string atlasHelp() {
    return "usage: orva-gait atlas [--lengths A:B:N] [--speeds A:B:N] [--clearance C]...\n"
           "                       [--threads T] [--colour MEASURE] [--csv] [-o FILE]\n"
           "\n"
           "Runs the step generator over a grid of symmetric steps (backStep = foreStep) and mean "
           "hip\n"
           "speeds, for each clearance given, the other fields as in every gait-table row, and "
           "writes\n"
           "an SVG map per clearance: grey where no usable step comes out, elsewhere coloured by "
           "the\n"
           "step's duration, with the sixteen gait-table rows marked by mode.\n"
           "\n"
           "  --lengths A:B:N   N step lengths from A to B m, both included (default "
           "0.02:0.40:96)\n"
           "  --speeds A:B:N    N mean hip speeds from A to B m/s (default 0.03:0.60:96)\n"
           "  --clearance C     a clearance in m; may repeat (default 0.03 and 0.22)\n"
           "  --threads T       threads to run the generator on (default: the machine's cores)\n"
           "  --colour MEASURE  colour the maps by duration (the default), cost (cost of "
           "transport),\n"
           "                    friction (the largest friction needed), cop (the centre of "
           "pressure's\n"
           "                    largest distance from the stance ankle) or ankle (the peak ankle\n"
           "                    moment), each from the step's dynamics over " +
           std::to_string(summarySampleCount) +
           " samples (orva-gait\n"
           "                    dynamics --help); pink where the ground would pull at every "
           "sample;\n"
           "                    or drift (the stance ankle's drift at the step's end, in degrees,\n"
           "                    the step let loose with the ankle free: orva-gait drift --help)\n"
           "  --csv             CSV instead of the picture: a header, then one line per grid "
           "point,\n"
           "                    clearance-major, then length, then speed:\n"
           "                    "
           "backStep,meanSpeed,clearance,usable,duration,outerPasses,innerPasses\n"
           "                    (usable 1 or 0; duration empty when unusable; 17 significant "
           "digits);\n"
           "                    with --colour, the dynamics summary's columns follow:\n"
           "                    "
           "peakTorque,peakAnkleMoment,copMin,copMax,fyMin,frictionMax,liftOff,\n"
           "                    positiveWork,costOfTransport (empty when unusable or undefined);\n"
           "                    with --colour drift also ankleDrift (rad)\n"
           "  -o FILE           write to FILE instead of standard output\n"
           "  --help            this text\n"
           "\n"
           "A:B:N needs 0 < A < B and 2 <= N <= 1024, or N = 1 and A = B. Exit status: 0; 1 when "
           "the\n"
           "output cannot be written in full; 2 for bad arguments.\n";
}

bool parseRange(const std::string& text, AtlasRange& out) {
    const size_t a = text.find(':'), b = a == std::string::npos ? a : text.find(':', a + 1);
    if (b == std::string::npos) return false;
    long count = 0;
    if (!parseReal(text.substr(0, a), out.first) ||
        !parseReal(text.substr(a + 1, b - a - 1), out.last) ||
        !parseInteger(text.substr(b + 1), count))
        return false;
    out.count = static_cast<int>(count);
    return count == out.count && validAtlasRange(out);
}

} // namespace

int runAtlasCommand(int argc, char** argv) {
    Options options;
    const std::string error = parseOptions(argc, argv,
                                           {{"--lengths", true, false},
                                            {"--speeds", true, false},
                                            {"--clearance", true, true},
                                            {"--threads", true, false},
                                            {"--colour", true, false},
                                            {"--csv", false, false},
                                            {"-o", true, false}},
                                           options);
    if (!error.empty()) return usageError(atlasTool, error);
    if (options.help) return writeOutput("atlas", "", atlasHelp());

    AtlasGrid grid = defaultAtlasGrid();
    if (const std::string* s = optionValue(options, "--lengths"))
        if (!parseRange(*s, grid.lengths))
            return usageError(atlasTool, "--lengths takes A:B:N with 0 < A < B and 2 <= N <= 1024");
    if (const std::string* s = optionValue(options, "--speeds"))
        if (!parseRange(*s, grid.speeds))
            return usageError(atlasTool, "--speeds takes A:B:N with 0 < A < B and 2 <= N <= 1024");
    if (options.values.count("--clearance")) {
        grid.clearances.clear();
        for (const std::string& s : options.values["--clearance"]) {
            double c = 0;
            if (!parseReal(s, c)) return usageError(atlasTool, "--clearance takes a length in m");
            grid.clearances.push_back(c);
        }
    }
    long threads = std::max(1u, std::thread::hardware_concurrency());
    if (const std::string* s = optionValue(options, "--threads"))
        if (!parseInteger(*s, threads) || threads < 1 || threads > 256)
            return usageError(atlasTool, "--threads takes a count 1..256");
    AtlasColour colour = AtlasColour::duration;
    const std::string* colourName = optionValue(options, "--colour");
    if (colourName && !findAtlasColour(*colourName, colour))
        return usageError(atlasTool, "--colour takes " + atlasColourChoices());
    const std::string* path = optionValue(options, "-o");

    setupCore();
    const bool csv = optionValue(options, "--csv") != nullptr;
    // Only a chosen colour costs the dynamics: without it the output is as it always was.
    const bool withDynamics = colourName && (csv || colourNeedsDynamics(colour));
    const bool withDrift = colourNeedsDrift(colour);
    const std::vector<AtlasPoint> points =
        computeAtlas(grid, static_cast<int>(threads), withDynamics, withDrift);
    const std::string text =
        csv ? atlasCsv(points, withDynamics, withDrift) : atlasSvg(grid, points, colour);
    return writeOutput("atlas", path ? *path : "", text);
}

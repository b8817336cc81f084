#include "tools/figure_command.h"

#include "assets/data_set.h"
#include "gait/dynamics.h"
#include "model/body_kinematics.h"
#include "model/body_model.h"
#include "model/core_setup.h"
#include "tools/cli.h"
#include "tools/dynamics_command.h"
#include "tools/picture_options.h"
#include "tools/svg/svg_plot.h"
#include "tools/svg/svg_writer.h"
#include "walking/walk_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

using namespace orva;

namespace {

// Usage errors name the command as the tool: "orva-gait figure: ... (try 'orva-gait figure
// --help')".
const char* const figureTool = "orva-gait figure";

} // namespace

namespace {

constexpr double metrePixels = 300; // scale of the side view, px per m
constexpr double pageWidth = 900;
constexpr double plotLeft = 80;
constexpr double plotWidth = 620;

const char* const stanceColour = "#1f77b4";
const char* const swingColour = "#d62728";
const char* const torsoColour = "#333333";
const char* const hipColour = "#2ca02c";
const char* const comColour = "#9467bd";
const char* const looseColour = "#ff7f0e";

// The body's points at t for link angles a, from the model's kinematics.
FigureSample sampleOf(double t, const LinkAngles& a) {
    const BodyPoints b = bodyPoints(a);
    FigureSample s;
    s.t = t;
    for (int k = 0; k < modelLinkCount; ++k) s.theta[k] = a.theta[k];
    s.stanceKnee = b.stanceKnee;
    s.hip = b.hip;
    s.torsoTop = b.torsoTop;
    s.swingKnee = b.swingKnee;
    s.swingAnkle = b.swingAnkle;
    s.toe = b.toe;
    s.com = b.com;
    return s;
}

FigureSample sampleAt(const TrajectorySegment& seg, double t) {
    return sampleOf(t, evalPose(seg, t));
}

// Model points in metres, for the side view's group that maps metres to the page.
std::string metrePoints(std::initializer_list<Point2> points) {
    std::string s;
    for (const Point2& p : points) {
        if (!s.empty()) s += ' ';
        s += svgNumber(p.x, 4) + "," + svgNumber(p.y, 4);
    }
    return s;
}

std::string pathPoints(const std::vector<FigureSample>& samples, Point2 FigureSample::*point) {
    std::string s;
    for (const FigureSample& sample : samples) {
        if (!s.empty()) s += ' ';
        const Point2 p = sample.*point;
        s += svgNumber(p.x, 4) + "," + svgNumber(p.y, 4);
    }
    return s;
}

void legendEntry(Svg& svg, double x, double y, const char* colour, const char* dash,
                 const std::string& label) {
    std::vector<SvgAttr> line = {svgAttr("x1", x),      svgAttr("y1", y - 4),
                                 svgAttr("x2", x + 26), svgAttr("y2", y - 4),
                                 {"stroke", colour},    {"stroke-width", "2.5"}};
    if (*dash) line.push_back({"stroke-dasharray", dash});
    svgElement(svg, "line", line);
    svgText(svg, {svgAttr("x", x + 34), svgAttr("y", y), {"font-size", "12"}}, label);
}

// The lowest and highest of values, widened a little so that curves clear the frame.
void paddedRange(const std::vector<double>& values, double& lo, double& hi) {
    lo = *std::min_element(values.begin(), values.end());
    hi = *std::max_element(values.begin(), values.end());
    const double pad = std::max(0.06 * (hi - lo), 0.005);
    lo -= pad;
    hi += pad;
}

std::string caption(double x, const char* unit) {
    return svgNumber(x, 4) + " " + unit;
}

// One line of the caption, wrapped to keep the page's margin on the right; y moves below it.
void drawCaptionLine(Svg& svg, const std::string& line, double& y) {
    constexpr double captionLeft = 20, captionFont = 12.5;
    for (const std::string& part : svgWrapText(line, captionFont, pageWidth - 2 * captionLeft)) {
        svgText(svg,
                {svgAttr("x", captionLeft), svgAttr("y", y), svgAttr("font-size", captionFont)},
                part);
        y += 18;
    }
}

std::string freeLabel(FreeJoints free) {
    return free == FreeJoints::both ? "ankle and torso" : freeJointsNames[static_cast<int>(free)];
}

// What letting the step loose comes to at its end; y moves below it.
void drawDriftCaption(Svg& svg, const StepFigure& f, double& y) {
    const LooseOutcome& o = f.drift;
    const std::string lines[3] = {
        "let loose, " + freeLabel(f.free) + " free (no torque; the other joints on the plan), " +
            "fourth-order Runge-Kutta in steps of at most " +
            svgNumber(1000 * looseStep(f.free), 2) + " ms",
        "at the step's end: ankle drift " + svgNumber(degreesPerRadian * o.ankleDrift, 3) +
            "\u00b0, torso drift " + svgNumber(degreesPerRadian * o.torsoDrift, 3) +
            "\u00b0, hip offset " + svgNumber(100 * o.hipOffset[0], 2) + ", " +
            svgNumber(100 * o.hipOffset[1], 2) + " cm, swing ankle offset " +
            svgNumber(100 * o.swingAnkleOffset[0], 2) + ", " +
            svgNumber(100 * o.swingAnkleOffset[1], 2) + " cm",
        std::isnan(o.earlyContact)
            ? std::string("the swing ankle does not reach the ground before the planned touch-down")
            : "the swing ankle reaches the ground at " + caption(o.earlyContact, "s") +
                  ", before the planned touch-down"};
    for (const std::string& line : lines) drawCaptionLine(svg, line, y);
}

double drawCaption(Svg& svg, const StepFigure& f) {
    const GaitEntry& e = f.entry;
    const std::string title =
        f.fromMode == customGait ? "ORVA's step in a custom gait"
        : f.fromMode == f.toMode
            ? "ORVA's step in gait mode " + std::to_string(f.fromMode)
            : "ORVA's gait-change step from mode " + std::to_string(f.fromMode) + " to mode " +
                  std::to_string(f.toMode) + " (row " + std::to_string(f.fromMode) +
                  " landing at row " + std::to_string(f.toMode) + "'s backStep)";
    const std::string lines[3] = {
        "backStep " + caption(e.backStep, "m") + ", foreStep " + caption(e.foreStep, "m") +
            ", backDrop " + caption(e.backDrop, "m") + ", foreRise " + caption(e.foreRise, "m") +
            ", meanSpeed " + caption(e.meanSpeed, "m/s") + ", clearance " +
            caption(e.clearance, "m"),
        "hip height " + svgNumber(e.hipHeightStart, 4) + " \u2192 " + caption(e.hipHeightEnd, "m") +
            ", vertical hip velocity " + svgNumber(e.hipVyStart, 4) + " \u2192 " +
            caption(e.hipVyEnd, "m/s") + ", vertical hip acceleration " +
            svgNumber(e.hipAyStart, 4) + " \u2192 " + caption(e.hipAyEnd, "m/s\u00b2"),
        "duration " + caption(f.seg.duration, "s") + " (blend " +
            caption(f.seg.blendDuration, "s") +
            "); generator passes: " + std::to_string(f.stats.outerPasses) + " outer, " +
            std::to_string(f.stats.innerPasses) + " inner"};
    svgText(svg, {{"x", "20"}, {"y", "30"}, {"font-size", "17"}, {"font-weight", "bold"}}, title);
    double y = 54;
    for (const std::string& line : lines) drawCaptionLine(svg, line, y);
    if (!f.loose.empty()) drawDriftCaption(svg, f, y);
    if (f.dynamics.empty()) return y;
    const DynamicsSummary& d = f.summary;
    const std::string more[3] = {
        "dynamics over " + std::to_string(summarySampleCount) + " samples: peak joint torque " +
            svgNumber(d.peakTorque, 2) + " N\u00b7m, peak ankle moment " +
            svgNumber(d.peakAnkleMoment, 2) + " N\u00b7m, fy down to " + svgNumber(d.fyMin, 2) +
            " N (ground pulls " + svgNumber(100 * d.liftOff, 2) + " % of the step)",
        "centre of pressure " + svgNumber(d.copMin, 3) + " \u2026 " + svgNumber(d.copMax, 3) +
            " m ahead of the ankle, friction needed up to " + svgNumber(d.frictionMax, 3) +
            ", positive work " + svgNumber(d.positiveWork, 2) + " J, cost of transport " +
            svgNumber(d.costOfTransport, 3),
        "at both ends \u03c40 = m5 g (x swing ankle \u2212 x hip), not 0: the generator's centre "
        "of mass leaves the swing foot's mass out of the swing leg"};
    for (const std::string& line : more) drawCaptionLine(svg, line, y);
    return y;
}

// The side view's frame: every drawn point inside, with room, at metrePixels to the metre.
PlotFrame sideViewFrame(const StepFigure& f, double top) {
    const double footLength = bodyParams.length[5];
    double xmin = 0, xmax = footLength, ymax = 0;
    for (const std::vector<FigureSample>* drawn : {&f.samples, &f.loose})
        for (const FigureSample& s : *drawn)
            for (const Point2& p :
                 {s.stanceKnee, s.hip, s.torsoTop, s.swingKnee, s.swingAnkle, s.toe}) {
                xmin = std::min(xmin, p.x);
                xmax = std::max(xmax, p.x);
                ymax = std::max(ymax, p.y);
            }
    PlotFrame frame{plotLeft,
                    top,
                    0,
                    0,
                    std::floor((xmin - 0.05) * 10) / 10,
                    std::ceil((xmax + 0.05) * 10) / 10,
                    -0.1,
                    std::ceil((ymax + 0.05) * 10) / 10};
    frame.width = metrePixels * (frame.x1 - frame.x0);
    frame.height = metrePixels * (frame.y1 - frame.y0);
    return frame;
}

// The ground under the frame and the stance foot on it, in metres.
void drawGround(Svg& svg, const PlotFrame& frame) {
    svgElement(svg, "rect",
               {svgAttr("x", frame.x0, 4),
                svgAttr("y", frame.y0, 4),
                svgAttr("width", frame.x1 - frame.x0, 4),
                svgAttr("height", -frame.y0, 4),
                {"fill", "#efe6d8"}});
    svgElement(svg, "line",
               {{"class", "ground"},
                svgAttr("x1", frame.x0, 4),
                {"y1", "0"},
                svgAttr("x2", frame.x1, 4),
                {"y2", "0"},
                {"stroke", "#8c6d46"},
                {"stroke-width", "0.006"}});
    svgElement(svg, "polyline",
               {{"class", "stance-foot"},
                {"points", metrePoints({{0, 0}, {bodyParams.length[5], 0}})},
                {"stroke", stanceColour},
                {"stroke-width", "0.012"}});
}

// The thirteen poses, older ones lighter, and the paths of the swing ankle, the hip and the
// centre of mass, in metres.
void drawPosesAndPaths(Svg& svg, const StepFigure& f) {
    for (int k = 0; k <= figurePoseCount; ++k) {
        const FigureSample& s = f.samples[k * samplesPerPose];
        svgOpen(svg, "g",
                {{"class", "pose"},
                 svgAttr("opacity", 0.2 + 0.8 * k / figurePoseCount, 3),
                 {"stroke-width", "0.008"}});
        svgElement(svg, "polyline",
                   {{"class", "stance"},
                    {"points", metrePoints({{0, 0}, s.stanceKnee, s.hip})},
                    {"stroke", stanceColour}});
        svgElement(svg, "polyline",
                   {{"class", "torso"},
                    {"points", metrePoints({s.hip, s.torsoTop})},
                    {"stroke", torsoColour},
                    {"stroke-width", "0.014"}});
        svgElement(svg, "polyline",
                   {{"class", "swing"},
                    {"points", metrePoints({s.hip, s.swingKnee, s.swingAnkle, s.toe})},
                    {"stroke", swingColour}});
        svgClose(svg);
    }
    const struct {
        Point2 FigureSample::*point;
        const char* name;
        const char* colour;
        const char* dash;
    } paths[3] = {{&FigureSample::swingAnkle, "swing-ankle-path", swingColour, "0.02 0.012"},
                  {&FigureSample::hip, "hip-path", hipColour, "0.02 0.012"},
                  {&FigureSample::com, "com-path", comColour, "0.012 0.008"}};
    for (const auto& path : paths)
        svgElement(svg, "polyline",
                   {{"class", path.name},
                    {"points", pathPoints(f.samples, path.point)},
                    {"stroke", path.colour},
                    {"stroke-width", "0.007"},
                    {"stroke-dasharray", path.dash}});
}

// The side view's legend and notes, right of its frame.
void drawSideViewLegend(Svg& svg, const StepFigure& f, const PlotFrame& frame, double top) {
    const double lx = frame.left + frame.width + 40;
    double ly = top + 20;
    const struct {
        const char* colour;
        const char* dash;
        const char* label;
    } entries[6] = {{stanceColour, "", "stance leg and foot"},
                    {torsoColour, "", "torso"},
                    {swingColour, "", "swing leg, foot kept level"},
                    {swingColour, "6 4", "swing ankle's path"},
                    {hipColour, "6 4", "hip's path"},
                    {comColour, "4 3", "centre of mass's path"}};
    for (const auto& e : entries) {
        legendEntry(svg, lx, ly, e.colour, e.dash, e.label);
        ly += 20;
    }
    if (!f.loose.empty()) {
        legendEntry(svg, lx, ly, looseColour, "", "let loose, " + freeLabel(f.free) + " free");
        legendEntry(svg, lx, ly + 20, looseColour, "6 4", "its hip's path");
        ly += 40;
    }
    svgElement(svg, "circle",
               {svgAttr("cx", lx + 13), svgAttr("cy", ly - 4), {"r", "4"}, {"fill", "#000"}});
    svgText(svg, {svgAttr("x", lx + 34), svgAttr("y", ly), {"font-size", "12"}},
            "stance ankle, the origin");
    ly += 28;
    const std::vector<double> ticks = niceTicks(frame.x0, frame.x1, 12);
    const std::string notes[3] = {
        "poses every 1/12 of the step (" + svgNumber(f.seg.duration / figurePoseCount, 4) + " s),",
        "older ones lighter; to scale, grid", "every " + svgNumber(ticks[1] - ticks[0], 2) + " m"};
    for (const std::string& note : notes) {
        svgText(svg, {svgAttr("x", lx), svgAttr("y", ly), {"font-size", "12"}}, note);
        ly += 16;
    }
}

// The let-loose robot's thirteen poses, lighter and in one colour, and its hip's path, in
// metres: drawn first, behind the plan's.
void drawLoosePoses(Svg& svg, const StepFigure& f) {
    for (int k = 0; k <= figurePoseCount; ++k) {
        const FigureSample& s = f.loose[k * samplesPerPose];
        svgOpen(svg, "g",
                {{"class", "loose-pose"},
                 svgAttr("opacity", 0.5 * (0.2 + 0.8 * k / figurePoseCount), 3),
                 {"stroke", looseColour},
                 {"stroke-width", "0.008"}});
        svgElement(svg, "polyline", {{"points", metrePoints({{0, 0}, s.stanceKnee, s.hip})}});
        svgElement(svg, "polyline",
                   {{"points", metrePoints({s.hip, s.torsoTop})}, {"stroke-width", "0.014"}});
        svgElement(svg, "polyline",
                   {{"points", metrePoints({s.hip, s.swingKnee, s.swingAnkle, s.toe})}});
        svgClose(svg);
    }
    svgElement(svg, "polyline",
               {{"class", "loose-hip-path"},
                {"points", pathPoints(f.loose, &FigureSample::hip)},
                {"stroke", looseColour},
                {"stroke-width", "0.007"},
                {"stroke-dasharray", "0.02 0.012"}});
}

// The side view: ground, stance ankle, the three paths and the thirteen poses; returns its
// bottom on the page.
double drawSideView(Svg& svg, const StepFigure& f, double top) {
    const PlotFrame frame = sideViewFrame(f, top);
    drawAxes(svg, frame, {"forward from the stance ankle (m)", "height (m)", true}, 12, 16);

    // Inside this group, coordinates are metres of the model: x forward, y up.
    const double tx = frame.left - metrePixels * frame.x0, ty = frame.top + metrePixels * frame.y1;
    svgOpen(svg, "g",
            {{"class", "side-view"},
             {"transform", "translate(" + svgNumber(tx, 2) + " " + svgNumber(ty, 2) + ") scale(" +
                               svgNumber(metrePixels, 2) + " " + svgNumber(-metrePixels, 2) + ")"},
             {"fill", "none"},
             {"stroke-linecap", "round"},
             {"stroke-linejoin", "round"}});
    drawGround(svg, frame);
    if (!f.loose.empty()) drawLoosePoses(svg, f);
    drawPosesAndPaths(svg, f);
    svgElement(
        svg, "circle",
        {{"class", "stance-ankle"}, {"cx", "0"}, {"cy", "0"}, {"r", "0.014"}, {"fill", "#000"}});
    svgClose(svg);

    drawSideViewLegend(svg, f, frame, top);
    return frame.top + frame.height + 40;
}

// One curve of a plot against the step's time: a value per sample.
struct Curve {
    std::vector<double> values;
    const char* colour;
    const char* dash;
    std::string label; // legend entry; empty for none
};

// One plot against the step's time: frame, axes, curves and their legend; returns its bottom.
double drawTimePlot(Svg& svg, const StepFigure& f, double top, double height,
                    const std::string& yTitle, const std::vector<Curve>& curves, bool timeLabels) {
    std::vector<double> times, all;
    for (const FigureSample& s : f.samples) times.push_back(s.t);
    for (const Curve& c : curves) all.insert(all.end(), c.values.begin(), c.values.end());
    PlotFrame frame{plotLeft, top, plotWidth, height, 0.0, f.seg.duration, 0, 0};
    paddedRange(all, frame.y0, frame.y1);
    drawAxes(svg, frame, {timeLabels ? "time in the step (s)" : "", yTitle, timeLabels}, 10,
             std::max(3, static_cast<int>(height / 24)));
    double ly = top + 16;
    for (const Curve& c : curves) {
        std::vector<SvgAttr> line = {{"class", "curve"},
                                     {"points", svgPoints(frame, times, c.values)},
                                     {"fill", "none"},
                                     {"stroke", c.colour},
                                     {"stroke-width", "2"}};
        if (*c.dash) line.push_back({"stroke-dasharray", c.dash});
        svgElement(svg, "polyline", line);
        if (c.label.empty()) continue;
        legendEntry(svg, frame.left + frame.width + 20, ly, c.colour, c.dash, c.label);
        ly += 20;
    }
    return top + height + (timeLabels ? 50 : 16);
}

// The free joint angles let loose against the plan's, in degrees: q0, the stance shank's angle,
// and q2, the torso's against the stance thigh. Returns the plot's bottom.
double drawDriftPlot(Svg& svg, const StepFigure& f, double y, bool timeLabels) {
    std::vector<Curve> curves;
    const auto joint = [](const FigureSample& s, int k) {
        return degreesPerRadian * (k == 0 ? s.theta[0] : s.theta[2] - s.theta[1]);
    };
    for (int k : {0, 2}) {
        if (k == 0 ? f.free == FreeJoints::torso : f.free == FreeJoints::ankle) continue;
        Curve plan{{},
                   k == 0 ? stanceColour : torsoColour,
                   "6 4",
                   k == 0 ? "q0 ankle, planned" : "q2 torso, planned"};
        Curve loose{{}, looseColour, k == 0 ? "" : "2 2", k == 0 ? "q0 let loose" : "q2 let loose"};
        for (size_t i = 0; i < f.samples.size(); ++i) {
            plan.values.push_back(joint(f.samples[i], k));
            loose.values.push_back(joint(f.loose[i], k));
        }
        curves.push_back(plan);
        curves.push_back(loose);
    }
    return drawTimePlot(svg, f, y, 150, "free joint angle (\u00b0)", curves, timeLabels);
}

// A stretch of values to shade across a plot, such as the stance foot's extent.
struct Band {
    double lo, hi;
    const char* colour;
    std::string label;
};

// Shades the stretches of the frame where the ground would have to pull (fy <= 0); returns
// whether there are any.
bool shadeGroundPulls(Svg& svg, const StepFigure& f, const PlotFrame& frame) {
    const size_t n = f.samples.size();
    const double half = 0.5 * f.seg.duration / (n - 1);
    bool pulls = false;
    for (size_t i = 0; i < n;) {
        if (f.dynamics[i].fy > 0) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < n && !(f.dynamics[j + 1].fy > 0)) ++j;
        const double x0 = plotX(frame, std::max(0.0, f.samples[i].t - half));
        const double x1 = plotX(frame, std::min(f.seg.duration, f.samples[j].t + half));
        svgElement(svg, "rect",
                   {{"class", "ground-pulls"},
                    svgAttr("x", x0),
                    svgAttr("y", frame.top),
                    svgAttr("width", x1 - x0),
                    svgAttr("height", frame.height),
                    {"fill", "#f6c6c6"}});
        pulls = true;
        i = j + 1;
    }
    return pulls;
}

// One curve, broken where it is not finite and clipped to the frame by the clip path clip.
void drawBrokenCurve(Svg& svg, const StepFigure& f, const PlotFrame& frame, const Curve& c,
                     const std::string& clip) {
    std::vector<double> times, values;
    auto flush = [&] {
        if (times.size() > 1) {
            std::vector<SvgAttr> line = {
                {"class", "curve"},    {"points", svgPoints(frame, times, values)},
                {"fill", "none"},      {"stroke", c.colour},
                {"stroke-width", "2"}, {"clip-path", "url(#" + clip + ")"}};
            if (*c.dash) line.push_back({"stroke-dasharray", c.dash});
            svgElement(svg, "polyline", line);
        }
        times.clear();
        values.clear();
    };
    for (size_t i = 0; i < f.samples.size(); ++i) {
        if (!std::isfinite(c.values[i])) {
            flush();
            continue;
        }
        times.push_back(f.samples[i].t);
        values.push_back(c.values[i]);
    }
    flush();
}

// A plot of the dynamics against the step's time, over [lo, hi]: curves broken where they are
// not finite and clipped to the frame, the band if any, and the stretches where the ground would
// have to pull (fy <= 0) shaded. Returns its bottom.
double drawDynamicsPlot(Svg& svg, const StepFigure& f, const std::string& name, double top,
                        double height, const std::string& yTitle, const std::vector<Curve>& curves,
                        double lo, double hi, const Band* band, bool timeLabels) {
    const std::string clip = "clip-" + name;
    PlotFrame frame{plotLeft, top, plotWidth, height, 0.0, f.seg.duration, lo, hi};
    drawAxes(svg, frame, {timeLabels ? "time in the step (s)" : "", yTitle, timeLabels}, 10,
             std::max(3, static_cast<int>(height / 24)));
    svgOpen(svg, "clipPath", {{"id", clip}});
    svgElement(svg, "rect",
               {svgAttr("x", frame.left), svgAttr("y", frame.top), svgAttr("width", frame.width),
                svgAttr("height", frame.height)});
    svgClose(svg);

    const bool pulls = shadeGroundPulls(svg, f, frame);
    if (band) {
        const double y0 = plotY(frame, std::min(hi, band->hi));
        const double y1 = plotY(frame, std::max(lo, band->lo));
        svgElement(svg, "rect",
                   {{"class", "stance-foot-extent"},
                    svgAttr("x", frame.left),
                    svgAttr("y", y0),
                    svgAttr("width", frame.width),
                    svgAttr("height", std::max(0.0, y1 - y0)),
                    {"fill", band->colour}});
    }
    svgElement(svg, "line",
               {svgAttr("x1", frame.left),
                svgAttr("y1", plotY(frame, 0)),
                svgAttr("x2", frame.left + frame.width),
                svgAttr("y2", plotY(frame, 0)),
                {"stroke", "#999"}});

    double ly = top + 16;
    const double lx = frame.left + frame.width + 20;
    for (const Curve& c : curves) {
        drawBrokenCurve(svg, f, frame, c, clip);
        legendEntry(svg, lx, ly, c.colour, c.dash, c.label);
        ly += 20;
    }
    auto swatch = [&](const char* colour, const std::string& label) {
        svgElement(svg, "rect",
                   {svgAttr("x", lx),
                    svgAttr("y", ly - 11),
                    {"width", "26"},
                    {"height", "10"},
                    {"fill", colour}});
        svgText(svg, {svgAttr("x", lx + 34), svgAttr("y", ly), {"font-size", "12"}}, label);
        ly += 20;
    };
    if (band) swatch(band->colour, band->label);
    if (pulls) swatch("#f6c6c6", "fy \u2264 0: ground pulls");
    return top + height + (timeLabels ? 50 : 16);
}

// The torques, the ground force and the centre of pressure with the stance foot's extent as
// the program draws the foot; returns the bottom of the last plot.
double drawDynamics(Svg& svg, const StepFigure& f, double y) {
    static const char* const jointNames[modelLinkCount] = {
        "\u03c40 stance ankle", "\u03c41 stance knee", "\u03c42 torso", "\u03c43 swing hip",
        "\u03c44 swing knee"};
    static const char* const jointColours[modelLinkCount] = {"#000000", stanceColour, torsoColour,
                                                             swingColour, "#ff7f0e"};
    std::vector<Curve> torques(modelLinkCount), force(2), cop(1);
    std::vector<double> all;
    for (int k = 0; k < modelLinkCount; ++k) {
        for (const DynamicsSample& d : f.dynamics) torques[k].values.push_back(d.tau[k]);
        torques[k].colour = jointColours[k];
        torques[k].dash = k == 0 ? "6 4" : "";
        torques[k].label = jointNames[k];
        all.insert(all.end(), torques[k].values.begin(), torques[k].values.end());
    }
    double lo, hi;
    paddedRange(all, lo, hi);
    y = drawDynamicsPlot(svg, f, "torques", y, 190, "joint torque (N\u00b7m)", torques, lo, hi,
                         nullptr, false);

    all.assign(1, 0.0);
    for (const DynamicsSample& d : f.dynamics) {
        force[0].values.push_back(d.fx);
        force[1].values.push_back(d.fy);
        all.push_back(d.fx);
        all.push_back(d.fy);
    }
    force[0] = {force[0].values, hipColour, "6 4", "fx forward"};
    force[1] = {force[1].values, comColour, "", "fy up"};
    paddedRange(all, lo, hi);
    y = drawDynamicsPlot(svg, f, "ground-force", y, 130, "ground force (N)", force, lo, hi, nullptr,
                         false);

    const Band foot{footHeel, footToe, "#dbe9f6", "stance foot as drawn"};
    all = {foot.lo, foot.hi};
    for (const DynamicsSample& d : f.dynamics) {
        cop[0].values.push_back(d.cop);
        if (std::isfinite(d.cop)) all.push_back(std::min(0.6, std::max(-0.6, d.cop)));
    }
    cop[0] = {cop[0].values, "#000000", "", "centre of pressure"};
    paddedRange(all, lo, hi);
    return drawDynamicsPlot(svg, f, "centre-of-pressure", y, 130, "CoP ahead of ankle (m)", cop, lo,
                            hi, &foot, true);
}

} // namespace

void addStepDynamics(StepFigure& f) {
    f.dynamics.clear();
    for (const FigureSample& s : f.samples) f.dynamics.push_back(dynamicsAt(f.seg, s.t));
    f.summary = summarizeDynamics(f.seg, stepLength(f.entry));
}

void addStepDrift(StepFigure& f, FreeJoints free) {
    f.free = free;
    f.loose.clear();
    LooseState state = looseStart;
    for (const FigureSample& s : f.samples) {
        advanceLoose(f.seg, free, state, s.t);
        LinkAngles a{};
        const LinkMotion m = looseMotion(f.seg, free, state);
        for (int k = 0; k < modelLinkCount; ++k) a.theta[k] = m.theta[k];
        f.loose.push_back(sampleOf(s.t, a));
    }
    f.drift = letLoose(f.seg, free);
}

bool buildStepFigure(int from, int to, StepFigure& out) {
    return buildStepFigure(transitionEntry(from, to), from, to, out);
}

bool buildStepFigure(const GaitEntry& entry, int from, int to, StepFigure& out) {
    out.fromMode = from;
    out.toMode = to;
    out.entry = entry;
    out.stats = StepStats{};
    out.usable = generateStep(out.entry, out.seg, &out.stats);
    out.samples.clear();
    if (!out.usable) return false;
    const int n = figurePoseCount * samplesPerPose;
    for (int k = 0; k <= n; ++k) out.samples.push_back(sampleAt(out.seg, out.seg.duration * k / n));
    return true;
}

std::string stepFigureSvg(const StepFigure& f) {
    // The page's height is known only at the end: build the body first, then the document.
    Svg body;
    double y = drawCaption(body, f) + 10;
    y = drawSideView(body, f, y);

    static const char* const linkNames[modelLinkCount] = {"stance shank", "stance thigh", "torso",
                                                          "swing thigh", "swing shank"};
    static const char* const linkColours[modelLinkCount] = {stanceColour, stanceColour, torsoColour,
                                                            swingColour, swingColour};
    static const char* const linkDashes[modelLinkCount] = {"6 4", "", "", "", "6 4"};
    std::vector<Curve> angles(5), comHeight(1), comForward(1);
    for (int k = 0; k < 5; ++k) {
        for (const FigureSample& s : f.samples) angles[k].values.push_back(s.theta[k]);
        angles[k].colour = linkColours[k];
        angles[k].dash = linkDashes[k];
        angles[k].label = "\u03b8" + std::to_string(k) + " " + linkNames[k];
    }
    for (const FigureSample& s : f.samples) {
        comHeight[0].values.push_back(s.com.y);
        comForward[0].values.push_back(s.com.x);
    }
    comHeight[0].colour = comForward[0].colour = comColour;
    comHeight[0].dash = comForward[0].dash = "";
    y = drawTimePlot(body, f, y, 190, "link angle (rad)", angles, false);
    y = drawTimePlot(body, f, y, 110, "CoM height (m)", comHeight, false);
    const bool withDynamics = !f.dynamics.empty(), withDrift = !f.loose.empty();
    y = drawTimePlot(body, f, y, 110, "CoM forward (m)", comForward, !withDynamics && !withDrift);
    if (withDrift) y = drawDriftPlot(body, f, y, !withDynamics);
    if (withDynamics) y = drawDynamics(body, f, y);

    Svg svg;
    svgBegin(svg, pageWidth, y);
    svgElement(svg, "rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "#fff"}});
    svg.text += body.text;
    return svgEnd(svg);
}

namespace {

const char* const figureHelp =
    "usage: orva-gait figure --mode M [--transition-to N] [--dynamics]\n"
    "                        [--drift [--free ankle|torso|both]] [-o FILE]\n"
    "       orva-gait figure --gait GAIT [--dynamics] [--drift [--free ankle|torso|both]]\n"
    "                        [-o FILE]\n"
    "\n"
    "Writes an SVG picture of the step the gait generator makes from gait-table row M (0..15):\n"
    "the robot every twelfth of the step, side-on and to scale in metres, with the ground, the\n"
    "stance ankle and the paths of the swing ankle, the hip and the centre of mass; below it,\n"
    "on one time axis, the five link angles and the centre of mass's height and forward\n"
    "position. A caption gives the row's values, the step's duration and the generator's passes.\n"
    "\n"
    "  --mode M            gait mode 0..15\n"
    "  --transition-to N   the gait-change step instead: row M landing at row N's backStep, as\n"
    "                      the walking cycle makes it when the gait changes from M to N\n"
    "  --gait GAIT         the step of any gait instead of a row (orva-gait walk --help)\n"
    "  --dynamics          also plot the joint torques, the ground force and the centre of\n"
    "                      pressure with the stance foot's extent as the program draws the\n"
    "                      foot, shade where the ground would have to pull (fy <= 0), and add\n"
    "                      the step's dynamics summary to the caption (orva-gait dynamics\n"
    "                      --help tells the model)\n"
    "  --drift             also draw the step let loose (orva-gait drift --help) beside the\n"
    "                      plan, lighter and in another colour, plot its free joint angles\n"
    "                      against the plan's, and add what it comes to to the caption\n"
    "  --free JOINTS       with --drift: ankle (the default), torso or both\n"
    "  -o FILE             write the picture to FILE instead of standard output\n"
    "  --help              this text\n"
    "\n"
    "Exit status: 0; 1 when the step is unusable or the picture cannot be written in full;\n"
    "2 for bad arguments.\n";

} // namespace

int runFigureCommand(int argc, char** argv) {
    Options options;
    const std::string error = parseOptions(argc, argv,
                                           {{"--mode", true, false},
                                            {"--transition-to", true, false},
                                            {"--gait", true, false},
                                            {"--dynamics", false, false},
                                            {"--drift", false, false},
                                            {"--free", true, false},
                                            {"-o", true, false}},
                                           options);
    if (!error.empty()) return usageError(figureTool, error);
    if (options.help) return writeOutput("figure", "", figureHelp);
    const std::string* path = optionValue(options, "-o");
    setupCore();
    StepChoice choice;
    if (const std::string problem = chooseStep(options, choice); !problem.empty())
        return usageError(figureTool, problem);
    FreeJoints free;
    if (const std::string problem = chooseFreeJoints(options, free); !problem.empty())
        return usageError(figureTool, problem);
    const bool drift = optionValue(options, "--drift") != nullptr;
    if (optionValue(options, "--free") && !drift)
        return usageError(figureTool, "--free needs --drift");
    StepFigure figure;
    if (!buildStepFigure(choice.entry, choice.custom ? customGait : choice.from,
                         choice.custom ? customGait : choice.to, figure))
        return unusableStep("figure", choice, figure.stats);
    if (optionValue(options, "--dynamics")) addStepDynamics(figure);
    if (drift) addStepDrift(figure, free);
    return writeOutput("figure", path ? *path : "", stepFigureSvg(figure));
}

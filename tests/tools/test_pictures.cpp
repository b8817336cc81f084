#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/gait_table.h"
#include "model/pose_queries.h"
#include "tools/atlas_command.h"
#include "tools/figure_command.h"
#include "tools/svg/svg_writer.h"

#include <cmath>
#include <cstdlib>
#include <expat.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace orva;

namespace {

// An SVG document as expat, a strict XML parser, reads it: its elements in document order.
struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attrs;
    std::string text;
};

using XmlDocument = std::vector<XmlElement>;

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attrs) {
    auto* doc = static_cast<XmlDocument*>(data);
    doc->push_back({name, {}, {}});
    for (int i = 0; attrs[i]; i += 2) doc->back().attrs[attrs[i]] = attrs[i + 1];
}

// Text goes to the element opened last (always one): enough for text elements, which hold no
// others.
void XMLCALL onText(void* data, const XML_Char* s, int length) {
    static_cast<XmlDocument*>(data)->back().text.append(s, length);
}

// The numbers of a points, transform or viewBox list: separators and words dropped.
std::vector<double> numbers(std::string value) {
    for (char& ch : value)
        if (ch == ',' || ch == '(' || ch == ')') ch = ' ';
    std::istringstream in(value);
    std::vector<double> out;
    for (std::string w; in >> w;) {
        if (w == "translate" || w == "scale" || w == "rotate") continue;
        char* end = nullptr;
        out.push_back(std::strtod(w.c_str(), &end));
        if (*end != '\0') out.back() = NAN;
    }
    return out;
}

// Parses TEXT, expecting it well-formed with every geometry attribute a list of finite numbers.
XmlDocument parseSvg(const std::string& text) {
    XmlDocument doc;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &doc);
    XML_SetElementHandler(parser, onStart, nullptr);
    XML_SetCharacterDataHandler(parser, onText);
    EXPECT_EQ(XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1), XML_STATUS_OK);
    XML_ParserFree(parser);
    static const std::set<std::string> numeric = {
        "x", "y",     "x1",     "y1",     "x2",      "y2",        "cx",      "cy",
        "r", "width", "height", "points", "opacity", "transform", "viewBox", "stroke-width"};
    for (const XmlElement& e : doc)
        for (const auto& [name, value] : e.attrs) {
            if (!numeric.count(name) || value == "100%") continue;
            for (double x : numbers(value))
                EXPECT_TRUE(std::isfinite(x)) << e.name << " " << name << "=" << value;
        }
    return doc;
}

std::vector<const XmlElement*> withClass(const XmlDocument& doc, const std::string& cls) {
    std::vector<const XmlElement*> out;
    for (const XmlElement& e : doc)
        if (e.attrs.count("class") && e.attrs.at("class") == cls) out.push_back(&e);
    return out;
}

std::vector<Point2> pointList(const XmlElement* e) {
    const std::vector<double> w = numbers(e->attrs.at("points"));
    std::vector<Point2> points;
    for (size_t i = 0; i + 1 < w.size(); i += 2) points.push_back({w[i], w[i + 1]});
    return points;
}

// Awkward text survives escaping: expat reads back exactly what was written.
TEST(SvgWriter, TextAndAttributesReadBackExactly) {
    const std::string awkward = "a < b & \"c\" 'd' > e \u03b8";
    Svg svg;
    svgBegin(svg, 10, 20);
    svgText(svg, {svgAttr("class", awkward)}, awkward);
    const XmlDocument doc = parseSvg(svgEnd(svg));
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[1].attrs.at("class"), awkward);
    EXPECT_EQ(doc[1].text.substr(0, awkward.size()), awkward); // then the layout's newline
}

// Long lines break at their last comma that fits, else at a space, and lose nothing; the
// caption of a step whose ground pulls keeps within the page's margins.
TEST(SvgWriter, WrapsLinesAtTheLastCommaThatFits) {
    const std::string text = "peak joint torque 115.7 N m, fy down to -4.29 N (ground pulls)";
    const double whole = svgTextWidth(text, 12.5);
    EXPECT_EQ(svgWrapText(text, 12.5, whole), std::vector<std::string>{text});
    EXPECT_EQ(svgWrapText(text, 12.5, whole - 1),
              (std::vector<std::string>{"peak joint torque 115.7 N m,",
                                        "fy down to -4.29 N (ground pulls)"}));
    EXPECT_EQ(svgWrapText("a bcd,e", 12.5, 1), (std::vector<std::string>{"a", "bcd,e"}));
    EXPECT_NEAR(svgTextWidth("a\u2192", 2048), 1255 + 1716, 1e-9); // DejaVu Sans advances

    StepFigure f;
    ASSERT_TRUE(buildStepFigure(12, 12, f));
    addStepDynamics(f);
    const XmlDocument doc = parseSvg(stepFigureSvg(f));
    int captionLines = 0;
    for (const XmlElement& e : doc) {
        if (e.name != "text" || !e.attrs.count("x") || e.attrs.at("x") != "20") continue;
        ++captionLines;
        const std::string line = e.text.substr(0, e.text.find('\n'));
        EXPECT_LE(20 + svgTextWidth(line, std::stod(e.attrs.at("font-size"))), 880) << line;
    }
    EXPECT_EQ(captionLines, 1 + 3 + 5); // the title, the gait's three lines, the dynamics' five
}

// A table row, a fast high row and a one-level gait change.
const int figureSteps[3][2] = {{0, 0}, {15, 15}, {1, 2}};

TEST(StepFigure, FollowsTheBodyModelAndTheGaitRowAndIsDrawnToScale) {
    for (const auto& step : figureSteps) {
        SCOPED_TRACE("from " + std::to_string(step[0]) + " to " + std::to_string(step[1]));
        StepFigure f;
        ASSERT_TRUE(buildStepFigure(step[0], step[1], f));
        const GaitEntry& e = f.entry;
        EXPECT_EQ(e.foreStep, gaitTable.rows[step[1]].backStep);
        const int n = figurePoseCount * samplesPerPose;
        ASSERT_EQ(f.samples.size(), static_cast<size_t>(n + 1));
        EXPECT_EQ(f.samples[n].t, f.seg.duration);

        for (const FigureSample& s : f.samples)
            EXPECT_DOUBLE_EQ(s.toe.y, s.swingAnkle.y); // the swing foot is level
        // The row's ends: swing ankle backStep behind and foreStep ahead, over the clearance at
        // mid-step; the hip at its heights, having moved meanSpeed x duration.
        const FigureSample &start = f.samples[0], &mid = f.samples[n / 2], &end = f.samples[n];
        EXPECT_NEAR(start.swingAnkle.x, -e.backStep, 1e-9);
        EXPECT_NEAR(start.swingAnkle.y, -e.backDrop, 1e-9);
        EXPECT_NEAR(mid.swingAnkle.x, 0.0, 1e-9);
        EXPECT_NEAR(mid.swingAnkle.y, e.clearance, 1e-9);
        EXPECT_NEAR(end.swingAnkle.x, e.foreStep, 1e-9);
        EXPECT_NEAR(end.swingAnkle.y, e.foreRise, 1e-9);
        EXPECT_NEAR(start.hip.y, e.hipHeightStart, 1e-9);
        EXPECT_NEAR(end.hip.y, e.hipHeightEnd, 1e-9);
        EXPECT_NEAR(end.hip.x - start.hip.x, e.meanSpeed * f.seg.duration, 1e-9);

        const XmlDocument doc = parseSvg(stepFigureSvg(f));

        // The side view maps metres to the page with one scale, y turned up. Each pose's stance leg
        // starts at the planted ankle; the swing ankle goes from backStep behind it to foreStep
        // ahead.
        const std::vector<double> t =
            numbers(withClass(doc, "side-view").at(0)->attrs.at("transform"));
        ASSERT_EQ(t.size(), 4u);
        EXPECT_EQ(t[2], -t[3]);
        const auto stance = withClass(doc, "stance"), swing = withClass(doc, "swing");
        ASSERT_EQ(stance.size(), static_cast<size_t>(figurePoseCount + 1));
        ASSERT_EQ(swing.size(), stance.size());
        for (const XmlElement* leg : stance)
            EXPECT_TRUE(pointList(leg).at(0).x == 0.0 && pointList(leg).at(0).y == 0.0);
        EXPECT_NEAR(pointList(swing.front()).at(2).x, -f.entry.backStep, 1e-4);
        EXPECT_NEAR(pointList(swing.back()).at(2).x, f.entry.foreStep, 1e-4);

        // Seven curves over the whole step, all on the page.
        const double width = std::stod(doc[0].attrs.at("width"));
        const double height = std::stod(doc[0].attrs.at("height"));
        const auto curves = withClass(doc, "curve");
        ASSERT_EQ(curves.size(), 7u);
        for (const XmlElement* c : curves) {
            const std::vector<Point2> p = pointList(c);
            ASSERT_EQ(p.size(), f.samples.size());
            for (const Point2& q : p)
                EXPECT_TRUE(q.x >= 0 && q.x <= width && q.y >= 0 && q.y <= height);
        }
    }
    StepFigure far;
    EXPECT_FALSE(buildStepFigure(0, 2, far)); // a far change runs into the bounds
    EXPECT_TRUE(far.samples.empty());
}

// With its dynamics a figure gains curves of the five torques, the two ground-force components
// and the centre of pressure, broken where the ground would pull, which is shaded in each plot.
TEST(StepFigure, DynamicsPlotsBreakTheCentreOfPressureWhereTheGroundPulls) {
    for (int mode : {15, 12}) {
        StepFigure f;
        ASSERT_TRUE(buildStepFigure(mode, mode, f));
        addStepDynamics(f);
        ASSERT_EQ(f.dynamics.size(), f.samples.size());
        size_t pressing = 0;
        for (const DynamicsSample& d : f.dynamics) pressing += d.fy > 0;
        const XmlDocument doc = parseSvg(stepFigureSvg(f));
        const auto curves = withClass(doc, "curve");
        const size_t copPieces = mode == 12 ? 2 : 1;
        ASSERT_EQ(curves.size(), 7 + 5 + 2 + copPieces);
        for (size_t i = 7; i < 14; ++i) EXPECT_EQ(pointList(curves[i]).size(), f.samples.size());
        size_t copPoints = 0;
        for (size_t i = 14; i < curves.size(); ++i) copPoints += pointList(curves[i]).size();
        EXPECT_EQ(copPoints, pressing);
        EXPECT_EQ(withClass(doc, "ground-pulls").size(), mode == 12 ? 3u : 0u);
        EXPECT_EQ(withClass(doc, "stance-foot-extent").size(), 1u);
    }
}

// Let loose, the figure draws thirteen more poses behind the plan's: with the torso free their
// legs are the plan's, with the ankle free the hip's path ends at the drift's hip offset from the
// plan's; the drift plot has the free joints' curves, planned and let loose.
TEST(StepFigure, DriftDrawsTheLetLooseStepBesideThePlan) {
    for (FreeJoints free : {FreeJoints::torso, FreeJoints::ankle, FreeJoints::both}) {
        StepFigure f;
        ASSERT_TRUE(buildStepFigure(3, 3, f));
        addStepDrift(f, free);
        const XmlDocument doc = parseSvg(stepFigureSvg(f));
        std::vector<const XmlElement*> loose, plan = withClass(doc, "stance");
        for (size_t i = 0; i < doc.size(); ++i)
            if (doc[i].attrs.count("class") && doc[i].attrs.at("class") == "loose-pose")
                loose.push_back(&doc[i + 1]); // its stance leg
        ASSERT_EQ(loose.size(), 13u);
        for (size_t k = 0; free == FreeJoints::torso && k < loose.size(); ++k)
            EXPECT_EQ(loose[k]->attrs.at("points"), plan[k]->attrs.at("points"));
        const Point2 looseHip = pointList(withClass(doc, "loose-hip-path")[0]).back();
        const Point2 planHip = pointList(withClass(doc, "hip-path")[0]).back();
        EXPECT_NEAR(looseHip.x - planHip.x, f.drift.hipOffset[0], 2e-4);
        EXPECT_EQ(withClass(doc, "curve").size(), 7 + (free == FreeJoints::both ? 4u : 2u));
    }
}

// The CSV holds the grid's points in order, 17 digits each. In each
// clearance's map every mode appears in exactly one label, none marked unusable.
TEST(Atlas, AgreesWithSingleStepsOnAnyNumberOfThreadsAndMarksEveryTableRow) {
    const AtlasGrid grid{{0.02, 0.40, 9}, {0.03, 0.60, 7}, {0.03, 0.22}};
    const std::vector<AtlasPoint> points = computeAtlas(grid, 1);
    const std::string csv = atlasCsv(points);

    std::istringstream in(csv);
    std::string line;
    std::getline(in, line); // the header
    int lines = 0, usable = 0;
    for (; std::getline(in, line); ++lines) {
        SCOPED_TRACE(line);
        std::vector<std::string> f;
        std::istringstream fields(line + ",");
        for (std::string s; std::getline(fields, s, ',');) f.push_back(s);
        ASSERT_EQ(f.size(), 7u);
        const AtlasPoint& p = points[lines]; // the grid's own test checks the points
        EXPECT_TRUE(std::stod(f[0]) == p.backStep && std::stod(f[1]) == p.meanSpeed &&
                    std::stod(f[2]) == p.clearance);
        usable += p.usable;
        EXPECT_EQ(f[3], p.usable ? "1" : "0"); // and the duration empty when unusable
        EXPECT_EQ(p.usable ? std::stod(f[4]) : f[4].size(), p.usable ? p.duration : 0.0);
        EXPECT_TRUE(std::stoi(f[5]) == p.outerPasses && std::stoi(f[6]) == p.innerPasses);
    }
    EXPECT_EQ(lines, 9 * 7 * 2);
    EXPECT_TRUE(usable > 0 && usable < lines); // the grid reaches past what the generator can do

    const XmlDocument doc = parseSvg(atlasSvg(grid, points));
    EXPECT_TRUE(withClass(doc, "row-mark unusable").empty());
    std::multiset<int> modes;
    for (const XmlElement* label : withClass(doc, "row-label")) {
        std::string text = label->text.substr(label->text.find(' ') + 1);
        for (char& ch : text)
            if (ch == '/') ch = ' ';
        std::istringstream in(text);
        for (int m; in >> m;) modes.insert(m);
    }
    for (int m = 0; m < gaitModeCount; ++m) EXPECT_EQ(modes.count(m), 2u) << "mode " << m;
    EXPECT_EQ(modes.size(), 2u * gaitModeCount);

    // With the dynamics and the drift, each usable point's summary and its ankle's drift let
    // loose follow in the CSV, and the maps take the chosen measure's colours.
    const std::vector<AtlasPoint> measured = computeAtlas(grid, 2, true, true);
    std::istringstream withDynamics(atlasCsv(measured, true, true));
    std::getline(withDynamics, line);
    EXPECT_EQ(line.substr(line.rfind(",costOfTransport,")), ",costOfTransport,ankleDrift");
    for (size_t i = 0; std::getline(withDynamics, line); ++i) {
        const AtlasPoint& p = measured[i];
        const size_t last = line.rfind(','), before = line.rfind(',', last - 1);
        const std::string cost = line.substr(before + 1, last - before - 1);
        const std::string drift = line.substr(last + 1);
        if (!p.usable) {
            EXPECT_EQ(cost + drift, "");
            continue;
        }
        TrajectorySegment seg;
        generateStep(atlasEntry(p.backStep, p.meanSpeed, p.clearance), seg);
        EXPECT_EQ(std::stod(cost), summarizeDynamics(seg, 2 * p.backStep).costOfTransport);
        EXPECT_EQ(std::stod(drift), letLoose(seg, FreeJoints::ankle).ankleDrift);
    }
    EXPECT_NE(atlasSvg(grid, measured, AtlasColour::cost), atlasSvg(grid, measured));
    EXPECT_NE(atlasSvg(grid, measured, AtlasColour::drift), atlasSvg(grid, measured));
}

} // namespace

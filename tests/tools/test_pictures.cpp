#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/core_setup.h"
#include "model/gait_table.h"
#include "model/pose_queries.h"
#include "tools/atlas_command.h"
#include "tools/figure_command.h"
#include "tools/svg_writer.h"

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

class Core : public ::testing::Environment {
    void SetUp() override { setupCore(); }
};
[[maybe_unused]] const auto* const core = ::testing::AddGlobalTestEnvironment(new Core);

// An XML document as expat reads it: its elements in document order.
struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attrs;
    std::string text;
};

struct XmlDocument {
    bool wellFormed = false;
    std::vector<XmlElement> elements;
    std::vector<size_t> open; // while parsing
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attrs) {
    auto* doc = static_cast<XmlDocument*>(data);
    XmlElement e{name, {}, {}};
    for (int i = 0; attrs[i]; i += 2) e.attrs[attrs[i]] = attrs[i + 1];
    doc->open.push_back(doc->elements.size());
    doc->elements.push_back(e);
}

void XMLCALL onEnd(void* data, const XML_Char*) {
    static_cast<XmlDocument*>(data)->open.pop_back();
}

void XMLCALL onText(void* data, const XML_Char* s, int length) {
    auto* doc = static_cast<XmlDocument*>(data);
    if (!doc->open.empty()) doc->elements[doc->open.back()].text.append(s, length);
}

XmlDocument parseXml(const std::string& text) {
    XmlDocument doc;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &doc);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onText);
    doc.wellFormed =
        XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return doc;
}

std::vector<const XmlElement*> withClass(const XmlDocument& doc, const std::string& cls) {
    std::vector<const XmlElement*> out;
    for (const XmlElement& e : doc.elements) {
        const auto it = e.attrs.find("class");
        if (it != e.attrs.end() && it->second == cls) out.push_back(&e);
    }
    return out;
}

// The numbers of a points, transform or viewBox list: separators and words dropped.
std::vector<std::string> numberWords(std::string value) {
    for (char& ch : value)
        if (ch == ',' || ch == '(' || ch == ')') ch = ' ';
    std::istringstream in(value);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        if (w != "translate" && w != "scale" && w != "rotate") words.push_back(w);
    return words;
}

// Every number in the geometry attributes reads back as a finite number.
void expectFiniteNumbers(const XmlDocument& doc) {
    static const std::set<std::string> numeric = {
        "x", "y",     "x1",     "y1",     "x2",      "y2",        "cx",      "cy",
        "r", "width", "height", "points", "opacity", "transform", "viewBox", "stroke-width"};
    int count = 0;
    for (const XmlElement& e : doc.elements)
        for (const auto& [name, value] : e.attrs) {
            if (!numeric.count(name) || value == "100%") continue;
            for (const std::string& w : numberWords(value)) {
                char* end = nullptr;
                const double x = std::strtod(w.c_str(), &end);
                ASSERT_TRUE(*end == '\0' && std::isfinite(x))
                    << e.name << " " << name << "=" << value;
                ++count;
            }
        }
    EXPECT_GT(count, 100);
}

std::vector<Point2> pointList(const std::string& value) {
    const std::vector<std::string> w = numberWords(value);
    std::vector<Point2> points;
    for (size_t i = 0; i + 1 < w.size(); i += 2)
        points.push_back(
            {std::strtod(w[i].c_str(), nullptr), std::strtod(w[i + 1].c_str(), nullptr)});
    return points;
}

TEST(SvgWriter, NumbersAndTextReadBackExactly) {
    EXPECT_EQ(svgNumber(1234.5678, 2), "1234.57");
    EXPECT_EQ(svgNumber(1.5, 4), "1.5");
    EXPECT_EQ(svgNumber(2.0, 3), "2");
    EXPECT_EQ(svgNumber(-0.00004, 4), "0");
    EXPECT_EQ(svgNumber(-0.25, 1), "-0.2"); // printf rounds halves to even
    EXPECT_EQ(svgNumber(NAN, 2).find_first_of("0123456789"), std::string::npos);

    const std::string awkward = "a < b & \"c\" 'd' > e \u03b8";
    Svg svg;
    svgBegin(svg, 10, 20);
    svgOpen(svg, "g", {svgAttr("class", awkward)});
    svgText(svg, {svgAttr("x", 1.25)}, awkward);
    const XmlDocument doc = parseXml(svgEnd(svg)); // closes <g> and <svg>
    ASSERT_TRUE(doc.wellFormed);
    ASSERT_EQ(doc.elements.size(), 3u);
    EXPECT_EQ(doc.elements[0].attrs.at("viewBox"), "0 0 10 20");
    EXPECT_EQ(doc.elements[1].attrs.at("class"), awkward);
    EXPECT_EQ(doc.elements[2].text, awkward);
    EXPECT_EQ(doc.elements[2].attrs.at("x"), "1.25");
}

// A table row, a fast high row and a one-level gait change.
const int figureSteps[3][2] = {{0, 0}, {15, 15}, {1, 2}};

TEST(StepFigure, FollowsTheBodyModelAndTheGaitRow) {
    for (const auto& step : figureSteps) {
        SCOPED_TRACE("from " + std::to_string(step[0]) + " to " + std::to_string(step[1]));
        StepFigure f;
        ASSERT_TRUE(buildStepFigure(step[0], step[1], f));
        const GaitEntry& e = f.entry;
        EXPECT_EQ(e.foreStep, gaitTable.rows[step[1]].backStep);
        const int n = figurePoseCount * samplesPerPose;
        ASSERT_EQ(f.samples.size(), static_cast<size_t>(n + 1));
        EXPECT_EQ(f.samples[n].t, f.seg.duration);

        // The pose queries, through the sine table, see the same swing ankle and centre of mass.
        for (const FigureSample& s : f.samples) {
            LinkAngles a{{s.theta[0], s.theta[1], s.theta[2], s.theta[3], s.theta[4], 0.0}};
            RobotState state{};
            toJointCoords(a, state.q);
            double com[2];
            centreOfMass(state, com);
            EXPECT_NEAR(s.swingAnkle.x, swingFootReach(state), 2e-5);
            EXPECT_NEAR(s.com.x, com[0], 2e-5);
            EXPECT_NEAR(s.com.y, com[1], 2e-5);
            EXPECT_DOUBLE_EQ(s.toe.y, s.swingAnkle.y); // the swing foot is level
        }
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
    }
    StepFigure far;
    EXPECT_FALSE(buildStepFigure(0, 2, far)); // a far change runs into the bounds
    EXPECT_TRUE(far.samples.empty());
}

TEST(StepFigure, PictureIsWellFormedAndDrawsTheStepToScale) {
    StepFigure f;
    ASSERT_TRUE(buildStepFigure(15, 15, f));
    const XmlDocument doc = parseXml(stepFigureSvg(f));
    ASSERT_TRUE(doc.wellFormed);
    expectFiniteNumbers(doc);

    // The side view's group maps metres to the page with one scale, y turned up.
    const std::vector<const XmlElement*> view = withClass(doc, "side-view");
    ASSERT_EQ(view.size(), 1u);
    const std::vector<std::string> t = numberWords(view[0]->attrs.at("transform"));
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(std::strtod(t[2].c_str(), nullptr), -std::strtod(t[3].c_str(), nullptr));

    // Thirteen poses; the stance leg always starts at the planted ankle; the swing ankle starts
    // backStep behind it and ends foreStep ahead.
    const auto stance = withClass(doc, "stance"), swing = withClass(doc, "swing");
    ASSERT_EQ(stance.size(), static_cast<size_t>(figurePoseCount + 1));
    ASSERT_EQ(swing.size(), stance.size());
    for (const XmlElement* leg : stance) {
        const std::vector<Point2> p = pointList(leg->attrs.at("points"));
        ASSERT_EQ(p.size(), 3u);
        EXPECT_EQ(p[0].x, 0.0);
        EXPECT_EQ(p[0].y, 0.0);
    }
    const std::vector<Point2> first = pointList(swing.front()->attrs.at("points"));
    const std::vector<Point2> last = pointList(swing.back()->attrs.at("points"));
    ASSERT_EQ(first.size(), 4u);
    ASSERT_EQ(last.size(), 4u);
    EXPECT_NEAR(first[2].x, -f.entry.backStep, 1e-4);
    EXPECT_NEAR(first[2].y, 0.0, 1e-4);
    EXPECT_NEAR(last[2].x, f.entry.foreStep, 1e-4);
    EXPECT_NEAR(last[2].y, 0.0, 1e-4);

    // Seven curves over the whole step, all on the page.
    const double width = std::strtod(doc.elements[0].attrs.at("width").c_str(), nullptr);
    const double height = std::strtod(doc.elements[0].attrs.at("height").c_str(), nullptr);
    const auto curves = withClass(doc, "curve");
    ASSERT_EQ(curves.size(), 7u);
    for (const XmlElement* c : curves) {
        const std::vector<Point2> p = pointList(c->attrs.at("points"));
        ASSERT_EQ(p.size(), f.samples.size());
        for (const Point2& q : p) {
            EXPECT_TRUE(q.x >= 0 && q.x <= width && q.y >= 0 && q.y <= height);
        }
    }
    bool captioned = false;
    for (const XmlElement& e : doc.elements)
        captioned = captioned || e.text.find("duration " + svgNumber(f.seg.duration, 4) + " s") !=
                                     std::string::npos;
    EXPECT_TRUE(captioned);
}

TEST(Atlas, AgreesWithSingleStepsOnAnyNumberOfThreads) {
    const AtlasGrid grid{{0.02, 0.40, 9}, {0.03, 0.60, 7}, {0.03, 0.22}};
    const std::string csv = atlasCsv(computeAtlas(grid, 1));
    EXPECT_EQ(atlasCsv(computeAtlas(grid, 3)), csv);

    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "backStep,meanSpeed,clearance,usable,duration,outerPasses,innerPasses");
    int lines = 0, usable = 0;
    for (; std::getline(in, line); ++lines) {
        SCOPED_TRACE(line);
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string s; std::getline(fields, s, ',');) f.push_back(s);
        if (line.back() == ',') f.push_back("");
        ASSERT_EQ(f.size(), 7u);
        const double length = std::stod(f[0]), speed = std::stod(f[1]), clearance = std::stod(f[2]);
        // Grid order: clearance, then length, then speed.
        EXPECT_EQ(length, atlasValue(grid.lengths, lines / 7 % 9));
        EXPECT_EQ(speed, atlasValue(grid.speeds, lines % 7));
        EXPECT_EQ(clearance, grid.clearances[lines / 63]);

        GaitEntry e = gaitTable.rows[5];
        e.backStep = e.foreStep = length;
        e.meanSpeed = speed;
        e.clearance = clearance;
        TrajectorySegment seg;
        StepStats stats{};
        const bool ok = generateStep(e, seg, &stats);
        usable += ok;
        EXPECT_EQ(f[3], ok ? "1" : "0");
        if (ok)
            EXPECT_NEAR(std::stod(f[4]), seg.duration, 1e-12 * seg.duration);
        else
            EXPECT_EQ(f[4], "");
        EXPECT_EQ(std::stoi(f[5]), stats.outerPasses);
        EXPECT_EQ(std::stoi(f[6]), stats.innerPasses);
    }
    EXPECT_EQ(lines, 9 * 7 * 2);
    EXPECT_GT(usable, 0);
    EXPECT_LT(usable, lines);

    const std::vector<AtlasPoint> rows = atlasTableRows();
    ASSERT_EQ(rows.size(), static_cast<size_t>(gaitModeCount));
    for (int m = 0; m < gaitModeCount; ++m) {
        TrajectorySegment seg;
        StepStats stats{};
        EXPECT_TRUE(generateStep(gaitTable.rows[m], seg, &stats));
        EXPECT_TRUE(rows[m].usable) << "mode " << m;
        EXPECT_EQ(rows[m].duration, seg.duration);
        EXPECT_EQ(rows[m].innerPasses, stats.innerPasses);
    }
}

TEST(Atlas, PictureIsWellFormedAndMarksEveryTableRow) {
    const AtlasGrid grid{{0.02, 0.40, 12}, {0.03, 0.60, 10}, {0.03, 0.1, 0.22}};
    const XmlDocument doc = parseXml(atlasSvg(grid, computeAtlas(grid, 2)));
    ASSERT_TRUE(doc.wellFormed);
    expectFiniteNumbers(doc);
    EXPECT_EQ(withClass(doc, "cells").size(), 3u);
    EXPECT_TRUE(withClass(doc, "row-mark unusable").empty());

    // In each map, every mode appears in exactly one label.
    const auto labels = withClass(doc, "row-label");
    ASSERT_EQ(labels.size() % 3, 0u);
    std::multiset<int> modes;
    for (const XmlElement* label : labels) {
        std::string text = label->text.substr(label->text.find(' ') + 1);
        for (char& ch : text)
            if (ch == '/') ch = ' ';
        std::istringstream in(text);
        for (int m; in >> m;) modes.insert(m);
    }
    for (int m = 0; m < gaitModeCount; ++m) EXPECT_EQ(modes.count(m), 3u) << "mode " << m;
    EXPECT_EQ(modes.size(), 3u * gaitModeCount);
}

} // namespace

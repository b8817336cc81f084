// The gait lab's explorer section: sliders over the gait's fields, the generator's verdict on
// the gait at once, and the feasibility map at the explorer's clearance, where a click chooses
// a gait.
#include "shell/window/panel_sections.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "shell/colour_scale.h"
#include "shell/gait_explorer.h"
#include "shell/idle_pass.h"

using namespace orva;

namespace {

ImVec2 offset(ImVec2 p, float dx, float dy) {
    return ImVec2(p.x + dx, p.y + dy);
}

ImU32 colourOf(const Rgb& c, int alpha = 255) {
    return IM_COL32(c.r, c.g, c.b, alpha);
}

// A line in the disabled colour, wrapped at the panel's edge.
void note(const char* format, ...) {
    char text[160];
    va_list values;
    va_start(values, format);
    std::vsnprintf(text, sizeof text, format, values);
    va_end(values);
    ImGui::PushStyleColor(ImGuiCol_Text, ImGui::GetStyleColorVec4(ImGuiCol_TextDisabled));
    ImGui::TextWrapped("%s", text);
    ImGui::PopStyleColor();
}

bool slider(GaitEntry& e, const ExplorerSlider& s) {
    return ImGui::SliderScalar(s.label, ImGuiDataType_Double, &(e.*s.member), &s.lowest, &s.highest,
                               s.format);
}

// The map's square on the screen: p0 its bottom left (shortest, slowest), p1 its top right.
struct MapArea {
    ImVec2 p0, p1;
    float cellWidth, cellHeight;
};

// Position of a length and speed on the map.
ImVec2 mapPoint(const AtlasGrid& g, const MapArea& area, double length, double speed) {
    const double u = (length - g.lengths.first) / (g.lengths.last - g.lengths.first);
    const double v = (speed - g.speeds.first) / (g.speeds.last - g.speeds.first);
    return ImVec2(static_cast<float>(area.p0.x + u * (area.p1.x - area.p0.x)),
                  static_cast<float>(area.p0.y + v * (area.p1.y - area.p0.y)));
}

void drawCells(const GaitMap& map, int done, AtlasColour colour, const MapArea& area) {
    const AtlasScale scale = atlasScale(map.points.data(), done, colour);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const int speeds = map.grid.speeds.count;
    const int total = static_cast<int>(map.points.size());
    for (int i = 0; i < total; ++i) {
        const int li = i / speeds, si = i % speeds; // the points go by length, then speed
        const ImVec2 a(area.p0.x + li * area.cellWidth, area.p0.y - (si + 1) * area.cellHeight);
        const ImVec2 b(a.x + area.cellWidth, a.y + area.cellHeight);
        ImU32 fill = IM_COL32(40, 40, 40, 255); // not computed yet
        if (i < done) {
            // Grey: no usable step; light: usable, but its measure is undefined or zero.
            const AtlasPoint& p = map.points[i];
            fill = !p.usable ? IM_COL32(150, 150, 150, 255)
                   : !hasColourValue(p, colour)
                       ? IM_COL32(230, 230, 230, 255)
                       : colourOf(scaleColour(scale.at(colourValue(p, colour))));
        }
        draw->AddRectFilled(a, b, fill);
    }
}

// The table's rows, the gait walked and the explorer's gait.
void drawMarkers(const AtlasGrid& g, const MapArea& area, const GaitEntry& walked,
                 const GaitEntry& chosen) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    for (const GaitEntry& row : gaitTable.rows) {
        const ImVec2 at = mapPoint(g, area, row.backStep, row.meanSpeed);
        draw->AddRect(offset(at, -2, -2), offset(at, 2, 2), IM_COL32(255, 255, 255, 200));
    }
    draw->AddCircle(mapPoint(g, area, walked.backStep, walked.meanSpeed), 5,
                    IM_COL32(255, 60, 60, 255), 12, 2);
    const ImVec2 at = mapPoint(g, area, chosen.backStep, chosen.meanSpeed);
    draw->AddLine(offset(at, -4, 0), offset(at, 4, 0), IM_COL32(255, 255, 255, 255));
    draw->AddLine(offset(at, 0, -4), offset(at, 0, 4), IM_COL32(255, 255, 255, 255));
}

// A click on the map chooses the length and speed of the cell under it.
void chooseFromMap(const AtlasGrid& g, const MapArea& area, Explorer& explorer) {
    const ImVec2 m = ImGui::GetMousePos();
    const int li =
        std::clamp(static_cast<int>((m.x - area.p0.x) / area.cellWidth), 0, g.lengths.count - 1);
    const int si =
        std::clamp(static_cast<int>((area.p0.y - m.y) / area.cellHeight), 0, g.speeds.count - 1);
    explorer.entry.backStep = explorer.entry.foreStep = atlasValue(g.lengths, li);
    explorer.entry.meanSpeed = atlasValue(g.speeds, si);
    tryExplorerGait(explorer);
}

void drawMap(Panel& panel, Lab& lab) {
    GaitMap& map = lab.gaitMap;
    const AtlasGrid& g = map.grid;
    const int done = gaitMapDone(map), total = static_cast<int>(map.points.size());
    // Always shown, so that the map below does not move when it is done.
    char progress[32];
    std::snprintf(progress, sizeof progress, "map %d / %d", done, total);
    ImGui::ProgressBar(static_cast<float>(done) / static_cast<float>(std::max(1, total)),
                       ImVec2(-1, 0), progress);
    const float side = std::max(32.0f, ImGui::GetContentRegionAvail().x);
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    ImGui::InvisibleButton("map", ImVec2(side, side));
    const MapArea area{ImVec2(origin.x, origin.y + side), ImVec2(origin.x + side, origin.y),
                       side / std::max(1, g.lengths.count), side / std::max(1, g.speeds.count)};
    // The dynamics' measures need the map computed with the dynamics.
    const auto colour = static_cast<AtlasColour>(panel.mapColour);
    drawCells(map, done, colour, area);
    drawMarkers(g, area, lab.walker.current.entry, lab.explorer.entry);
    if (ImGui::IsItemClicked()) chooseFromMap(g, area, lab.explorer);
    const double clearance = g.clearances.empty() ? 0.0 : g.clearances[0];
    note("length %.2f..%.2f m ->", g.lengths.first, g.lengths.last);
    note("speed up %.2f..%.2f m/s", g.speeds.first, g.speeds.last);
    note("clearance %.3f m", clearance);
    // Below the map, so that the map stays where it is.
    if (ImGui::Combo("colour", &panel.mapColour, atlasColourNames, atlasColourCount)) {
        const auto chosen = static_cast<AtlasColour>(panel.mapColour);
        const bool dynamics = colourNeedsDynamics(chosen), drift = colourNeedsDrift(chosen);
        if ((dynamics && !map.withDynamics) || (drift && !map.withDrift))
            startGaitMap(map, clearance, dynamics || map.withDynamics, drift || map.withDrift);
    }
    // The measure on a log scale over the steps found so far.
    const AtlasScale scale = atlasScale(map.points.data(), done, colour);
    if (scale.found)
        note("%.3g (dark) .. %.3g (yellow)", std::pow(10.0, scale.logLo),
             std::pow(10.0, scale.logHi));
    note("grey: unusable; o walked, + chosen");
}

// The sliders; returns whether one changed the gait.
bool sliders(Panel& panel, Lab& lab) {
    GaitEntry& e = lab.explorer.entry;
    const auto all = explorerSliders();
    constexpr int shown = explorerSliderCount - explorerHipSliders;
    bool changed = false;
    ImGui::PushItemWidth(-64);
    for (int i = 0; i < shown; ++i) {
        changed |= slider(e, all[i]);
        // A new clearance is a new map, once the slider is let go.
        if (all[i].member == &GaitEntry::clearance && ImGui::IsItemDeactivatedAfterEdit())
            startGaitMap(lab.gaitMap, e.clearance,
                         colourNeedsDynamics(static_cast<AtlasColour>(panel.mapColour)),
                         colourNeedsDrift(static_cast<AtlasColour>(panel.mapColour)));
    }
    e.foreStep = e.backStep; // the explorer's steps are symmetric
    if (ImGui::TreeNode("hip fields")) {
        for (int i = shown; i < explorerSliderCount; ++i) changed |= slider(e, all[i]);
        ImGui::TreePop();
    }
    ImGui::PopItemWidth();
    return changed;
}

} // namespace

void explorerSection(Panel& panel, Lab& lab) {
    Explorer& explorer = lab.explorer;
    if (!panel.explorerReady) {
        setUpExplorer(explorer, lab.walker.current);
        startGaitMap(lab.gaitMap, explorer.entry.clearance);
        panel.explorerReady = true;
    }
    if (sliders(panel, lab)) tryExplorerGait(explorer);
    ImGui::BeginDisabled(!explorer.usable);
    if (ImGui::Button("walk it")) {
        panel.refusalsAtWalk = lab.walker.refusals;
        walkExplorerGait(explorer, lab.gait);
    }
    ImGui::EndDisabled();
    ImGui::SameLine();
    if (ImGui::Button("from walked")) setUpExplorer(explorer, lab.walker.current);
    drawMap(panel, lab);
    // Below the map, so that a verdict of two lines moves nothing that is clicked.
    ImGui::PushStyleColor(ImGuiCol_Text,
                          explorer.usable ? ImVec4(0.6f, 1, 0.6f, 1) : ImVec4(1, 0.5f, 0.4f, 1));
    ImGui::TextWrapped("%s", explorer.verdict.c_str());
    if (lab.walker.refusals > panel.refusalsAtWalk)
        ImGui::TextWrapped("no usable step leads there from the gait walked: ORVA keeps it");
    ImGui::PopStyleColor();
}

// The gait lab's explorer section: sliders over the gait's fields, the generator's verdict on
// the gait at once, and the feasibility map at the explorer's clearance, where a click chooses
// a gait.
#include "shell/window/panel_sections.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>

#include "shell/colour_scale.h"
#include "shell/gait_explorer.h"
#include "shell/shell_state.h"

using namespace orva;

namespace {

bool ready = false;
int mapColour = 0;      // an AtlasColour: what the map's cells show
int refusalsAtWalk = 0; // the walker's refusals when "walk it" was last pressed

ImVec2 offset(ImVec2 p, float dx, float dy) {
    return ImVec2(p.x + dx, p.y + dy);
}

ImU32 colourOf(const Rgb& c, int alpha = 255) {
    return IM_COL32(c.r, c.g, c.b, alpha);
}

bool slider(const char* label, double& value, double lo, double hi, const char* format) {
    return ImGui::SliderScalar(label, ImGuiDataType_Double, &value, &lo, &hi, format);
}

// Position of a length and speed on the map, whose corners are p0 (bottom left: shortest,
// slowest) and p1.
ImVec2 mapPoint(const AtlasGrid& g, ImVec2 p0, ImVec2 p1, double length, double speed) {
    const double u = (length - g.lengths.first) / (g.lengths.last - g.lengths.first);
    const double v = (speed - g.speeds.first) / (g.speeds.last - g.speeds.first);
    return ImVec2(static_cast<float>(p0.x + u * (p1.x - p0.x)),
                  static_cast<float>(p0.y + v * (p1.y - p0.y)));
}

void drawMap() {
    const GaitMap& map = gaitMap;
    const AtlasGrid& g = map.grid;
    const int done = gaitMapDone(map), total = static_cast<int>(map.points.size());
    // Always shown, so that the map below does not move when it is done.
    char progress[48];
    std::snprintf(progress, sizeof progress, "map %d / %d at %.3f m", done, total,
                  g.clearances.empty() ? 0.0 : g.clearances[0]);
    ImGui::ProgressBar(static_cast<float>(done) / static_cast<float>(std::max(1, total)),
                       ImVec2(-1, 0), progress);
    // The measure on a log scale over the steps found so far; the dynamics' measures need the
    // map computed with the dynamics.
    const auto colour = static_cast<AtlasColour>(mapColour);
    const AtlasScale scale = atlasScale(map.points.data(), done, colour);
    const float side = std::max(32.0f, ImGui::GetContentRegionAvail().x);
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    ImGui::InvisibleButton("map", ImVec2(side, side));
    const ImVec2 p0(origin.x, origin.y + side), p1(origin.x + side, origin.y);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const float cell = side / mapCells;
    for (int i = 0; i < total; ++i) {
        const int li = i / mapCells, si = i % mapCells;
        const ImVec2 a(origin.x + li * cell, origin.y + side - (si + 1) * cell);
        const ImVec2 b(a.x + cell, a.y + cell);
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
    // The table's rows, the gait walked and the explorer's gait.
    for (const GaitEntry& row : gaitTable.rows) {
        const ImVec2 at = mapPoint(g, p0, p1, row.backStep, row.meanSpeed);
        draw->AddRect(offset(at, -2, -2), offset(at, 2, 2), IM_COL32(255, 255, 255, 200));
    }
    const GaitEntry& walked = walkCycle.current.entry;
    draw->AddCircle(mapPoint(g, p0, p1, walked.backStep, walked.meanSpeed), 5,
                    IM_COL32(255, 60, 60, 255), 12, 2);
    const ImVec2 chosen = mapPoint(g, p0, p1, explorer.entry.backStep, explorer.entry.meanSpeed);
    draw->AddLine(offset(chosen, -4, 0), offset(chosen, 4, 0), IM_COL32(255, 255, 255, 255));
    draw->AddLine(offset(chosen, 0, -4), offset(chosen, 0, 4), IM_COL32(255, 255, 255, 255));
    if (ImGui::IsItemClicked()) {
        const ImVec2 m = ImGui::GetMousePos();
        const int li = std::clamp(static_cast<int>((m.x - origin.x) / cell), 0, mapCells - 1);
        const int si = std::clamp(static_cast<int>((p0.y - m.y) / cell), 0, mapCells - 1);
        explorer.entry.backStep = explorer.entry.foreStep = atlasValue(g.lengths, li);
        explorer.entry.meanSpeed = atlasValue(g.speeds, si);
        tryExplorerGait(explorer);
    }
    ImGui::TextDisabled("step length %.2f..%.2f m ->", g.lengths.first, g.lengths.last);
    ImGui::TextDisabled("speed up %.2f..%.2f m/s", g.speeds.first, g.speeds.last);
    // Below the map, so that the map stays where it is.
    if (ImGui::Combo("colour", &mapColour, atlasColourNames, atlasColourCount) && mapColour != 0 &&
        !map.withDynamics)
        startGaitMap(gaitMap, g.clearances[0], true);
    if (scale.found)
        ImGui::TextDisabled("%.3g (dark) .. %.3g (yellow)", std::pow(10.0, scale.logLo),
                            std::pow(10.0, scale.logHi));
    ImGui::TextDisabled("grey: unusable; o walked, + chosen");
}

} // namespace

void explorerSection() {
    if (!ready) {
        setUpExplorer(explorer, walkCycle.current);
        startGaitMap(gaitMap, explorer.entry.clearance);
        ready = true;
    }
    GaitEntry& e = explorer.entry;
    ImGui::PushItemWidth(-64);
    bool changed = slider("step m", e.backStep, 0.02, 0.40, "%.3f");
    e.foreStep = e.backStep;
    changed |= slider("speed m/s", e.meanSpeed, 0.03, 0.60, "%.3f");
    changed |= slider("clear m", e.clearance, 0.0, 0.30, "%.3f");
    if (ImGui::IsItemDeactivatedAfterEdit()) startGaitMap(gaitMap, e.clearance, mapColour != 0);
    if (ImGui::TreeNode("hip fields")) {
        changed |= slider("y0 m", e.hipHeightStart, 0.70, 0.90, "%.3f");
        changed |= slider("vy0 m/s", e.hipVyStart, -0.5, 0.5, "%.2f");
        changed |= slider("ay0 m/s2", e.hipAyStart, -10, 10, "%.1f");
        changed |= slider("y1 m", e.hipHeightEnd, 0.70, 0.90, "%.3f");
        changed |= slider("vy1 m/s", e.hipVyEnd, -0.5, 0.5, "%.2f");
        changed |= slider("ay1 m/s2", e.hipAyEnd, -10, 10, "%.1f");
        ImGui::TreePop();
    }
    ImGui::PopItemWidth();
    if (changed) tryExplorerGait(explorer);
    ImGui::BeginDisabled(!explorer.usable);
    if (ImGui::Button("walk it")) {
        refusalsAtWalk = walkCycle.refusals;
        walkExplorerGait(explorer);
    }
    ImGui::EndDisabled();
    ImGui::SameLine();
    if (ImGui::Button("from walked")) setUpExplorer(explorer, walkCycle.current);
    drawMap();
    // Below the map, so that a verdict of two lines moves nothing that is clicked.
    ImGui::PushStyleColor(ImGuiCol_Text,
                          explorer.usable ? ImVec4(0.6f, 1, 0.6f, 1) : ImVec4(1, 0.5f, 0.4f, 1));
    ImGui::TextWrapped("%s", explorer.verdict.c_str());
    if (walkCycle.refusals > refusalsAtWalk)
        ImGui::TextWrapped("no usable step leads there from the gait walked: ORVA keeps it");
    ImGui::PopStyleColor();
}

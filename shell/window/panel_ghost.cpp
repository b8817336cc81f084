// The gait lab panel's Ghost section, drawn with Dear ImGui.
#include "shell/window/panel_sections.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>

#include "model/constants.h"
#include "shell/ghost.h"

using namespace orva;

namespace {

const ImU32 ghostColour = IM_COL32(90, 170, 255, 255);
const ImU32 planColour = IM_COL32(200, 200, 200, 255);

// The last 3 s of one free coordinate, planned and let loose, in degrees, oldest on the left;
// gaps where the ghost was in a blend.
void freeCoordinatePlot(const Ghost& g, const float* plan, const float* loose,
                        const char* overlay) {
    float lo = HUGE_VALF, hi = -HUGE_VALF;
    const auto at = [&](const float* ring, int age) {
        return static_cast<float>(degreesPerRadian) *
               ring[(g.next + historyLength - 1 - age) % historyLength];
    };
    for (const float* ring : {plan, loose})
        for (int age = 0; age < g.count; ++age)
            if (std::isfinite(at(ring, age))) {
                lo = std::min(lo, at(ring, age));
                hi = std::max(hi, at(ring, age));
            }
    if (!(lo <= hi)) lo = hi = 0;
    const float pad = std::max(0.06f * (hi - lo), 0.5f);
    lo -= pad;
    hi += pad;
    const PlotArea plot = beginPlotArea(56, lo, hi);
    ImDrawList* draw = plot.draw;
    const auto x = [&](int age) { return plot.x(age); };
    const auto y = [&](float v) { return plot.y(v); };
    const struct {
        const float* ring;
        ImU32 colour;
    } series[2] = {{plan, planColour}, {loose, ghostColour}};
    for (const auto& s : series)
        for (int age = 0; age + 1 < g.count; ++age) {
            const float a = at(s.ring, age), b = at(s.ring, age + 1);
            if (std::isfinite(a) && std::isfinite(b))
                draw->AddLine(ImVec2(x(age), y(a)), ImVec2(x(age + 1), y(b)), s.colour, 1.5f);
        }
    draw->AddText(ImVec2(plot.p0.x + 3, plot.p0.y + 1), IM_COL32(230, 230, 230, 255), overlay);
    draw->PopClipRect();
}

} // namespace

void ghostSection(Lab& lab) {
    Ghost& g = lab.ghost;
    bool shown = g.shown;
    if (ImGui::Checkbox("ghost (g), free:", &shown)) showGhost(g, lab.walker, shown);
    int free = static_cast<int>(g.free);
    for (int k = 0; k < 3; ++k) {
        if (k) ImGui::SameLine();
        ImGui::RadioButton(freeJointsNames[k], &free, k);
    }
    setGhostFree(g, lab.walker, static_cast<FreeJoints>(free));
    if (!g.shown) {
        ImGui::TextWrapped("Shows each step let loose from its start: the free joints without "
                           "torque, the others on the plan.");
        return;
    }
    if (g.stepPhase >= 0)
        ImGui::Text("drift  ankle %+.2f  torso %+.1f deg", degreesPerRadian * g.state.offset[0],
                    degreesPerRadian * g.state.offset[1]);
    else
        ImGui::TextUnformatted("drift  from the next step");
    freeCoordinatePlot(g, g.planAnkle, g.ankle, "q0 stance ankle, deg");
    freeCoordinatePlot(g, g.planTorso, g.torso, "q2 torso, deg");
    ImGui::TextWrapped("Blue: the ghost, let loose at every step's start from the plan's "
                       "state (none in blends); grey: the plan.");
}

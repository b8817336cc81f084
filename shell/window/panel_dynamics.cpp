// The gait lab panel's Dynamics section, drawn with Dear ImGui.
#include "shell/window/panel_sections.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "shell/dynamics_history.h"
#include "shell/idle_pass.h"

using namespace orva;

namespace {

const ImU32 warningColour = IM_COL32(255, 90, 60, 255);
const ImVec4 warningText(1.0f, 0.35f, 0.24f, 1.0f);

struct Series {
    const float* ring;
    ImU32 colour;
};

// A band of y values shaded across a plot, such as the stance foot's extent.
struct Band {
    float lo, hi;
    ImU32 colour;
};

// The range of the recorded samples of the series, widened by pad and limited to [floor, ceil].
void seriesRange(const DynamicsHistory& h, const Series* series, int count, float& lo, float& hi,
                 float floor, float ceil) {
    for (int s = 0; s < count; ++s)
        for (int i = 0; i < h.count; ++i) {
            const float v = series[s].ring[(h.next + historyLength - 1 - i) % historyLength];
            if (!std::isfinite(v)) continue;
            lo = std::min(lo, std::max(floor, v));
            hi = std::max(hi, std::min(ceil, v));
        }
    const float pad = std::max(0.06f * (hi - lo), 1e-3f);
    lo -= pad;
    hi += pad;
}

} // namespace

PlotArea beginPlotArea(float height, float lo, float hi) {
    PlotArea plot;
    plot.p0 = ImGui::GetCursorScreenPos();
    plot.size = ImVec2(ImGui::GetContentRegionAvail().x, height);
    ImGui::Dummy(plot.size);
    plot.p1 = ImVec2(plot.p0.x + plot.size.x, plot.p0.y + plot.size.y);
    plot.dx = plot.size.x / (historyLength - 1);
    plot.lo = lo;
    plot.hi = hi;
    plot.draw = ImGui::GetWindowDrawList();
    plot.draw->PushClipRect(plot.p0, plot.p1, true);
    plot.draw->AddRectFilled(plot.p0, plot.p1, IM_COL32(25, 25, 30, 200));
    return plot;
}

namespace {

// The last 3 s of the series, oldest on the left; blends shaded grey, the samples where the
// ground would pull red, values that are not finite left out.
void ringPlot(const DynamicsHistory& h, const char* overlay, const Series* series, int count,
              float lo, float hi, const Band* band, float height = 48) {
    const PlotArea plot = beginPlotArea(height, lo, hi);
    const ImVec2 p0 = plot.p0, p1 = plot.p1;
    const float dx = plot.dx;
    ImDrawList* draw = plot.draw;
    const auto x = [&](int age) { return plot.x(age); };
    const auto y = [&](float v) { return plot.y(v); };
    for (int age = 0; age < h.count; ++age) {
        const int at = (h.next + historyLength - 1 - age) % historyLength;
        const bool pulls = !(h.fy[at] > 0);
        if (!h.blend[at] && !pulls) continue;
        draw->AddRectFilled(ImVec2(x(age) - dx / 2, p0.y), ImVec2(x(age) + dx / 2, p1.y),
                            pulls ? IM_COL32(150, 40, 40, 160) : IM_COL32(90, 90, 90, 120));
    }
    if (band)
        draw->AddRectFilled(ImVec2(p0.x, y(band->hi)), ImVec2(p1.x, y(band->lo)), band->colour);
    if (lo < 0 && hi > 0)
        draw->AddLine(ImVec2(p0.x, y(0)), ImVec2(p1.x, y(0)), IM_COL32(120, 120, 120, 255));
    for (int s = 0; s < count; ++s)
        for (int age = 0; age + 1 < h.count; ++age) {
            const float a = series[s].ring[(h.next + historyLength - 1 - age) % historyLength];
            const float b = series[s].ring[(h.next + historyLength - 2 - age) % historyLength];
            if (std::isfinite(a) && std::isfinite(b))
                draw->AddLine(ImVec2(x(age), y(a)), ImVec2(x(age + 1), y(b)), series[s].colour);
        }
    draw->AddText(ImVec2(p0.x + 3, p0.y + 1), IM_COL32(230, 230, 230, 255), overlay);
    draw->PopClipRect();
}

void coloured(bool warn, const char* format, double a, double b = 0) {
    if (warn) ImGui::PushStyleColor(ImGuiCol_Text, warningText);
    ImGui::Text(format, a, b);
    if (warn) ImGui::PopStyleColor();
}

void warnLine(bool warn, const char* text) {
    if (warn) ImGui::PushStyleColor(ImGuiCol_Text, warningText);
    ImGui::TextUnformatted(text);
    if (warn) ImGui::PopStyleColor();
}

const ImU32 jointColours[modelLinkCount] = {
    IM_COL32(240, 240, 240, 255), IM_COL32(80, 150, 230, 255), IM_COL32(160, 160, 160, 255),
    IM_COL32(230, 80, 80, 255), IM_COL32(255, 160, 60, 255)};

// The four live plots over the history.
void historyPlots(const DynamicsHistory& h, const DynamicsWarnings& warn) {
    const DynamicsSample& now = h.latest;
    char overlay[64];

    Series torques[modelLinkCount];
    for (int k = 0; k < modelLinkCount; ++k) torques[k] = {h.tau[k], jointColours[k]};
    float lo = 0, hi = 0;
    seriesRange(h, torques, modelLinkCount, lo, hi, -1e4f, 1e4f);
    std::snprintf(overlay, sizeof overlay, "tau0 %.1f N m", now.tau[0]);
    ringPlot(h, overlay, torques, modelLinkCount, lo, hi, nullptr, 64);

    const Series force[2] = {{h.fx, IM_COL32(80, 200, 80, 255)},
                             {h.fy, IM_COL32(190, 130, 230, 255)}};
    lo = hi = 0;
    seriesRange(h, force, 2, lo, hi, -1e5f, 1e5f);
    std::snprintf(overlay, sizeof overlay, "fx %.0f fy %.0f N", now.fx, now.fy);
    ringPlot(h, overlay, force, 2, lo, hi, nullptr);

    const Series cop[1] = {{h.cop, warn.copOffFoot ? warningColour : IM_COL32(240, 240, 240, 255)}};
    const Band foot{static_cast<float>(footHeel), static_cast<float>(footToe),
                    IM_COL32(70, 110, 160, 140)};
    lo = foot.lo;
    hi = foot.hi;
    seriesRange(h, cop, 1, lo, hi, -0.5f, 0.5f);
    std::snprintf(overlay, sizeof overlay, "cop %.3f m", now.cop);
    ringPlot(h, overlay, cop, 1, lo, hi, &foot);

    const Series friction[1] = {
        {h.friction, warn.frictionHigh ? warningColour : IM_COL32(240, 240, 240, 255)}};
    const Band limit{static_cast<float>(frictionLimit), 2.0f, IM_COL32(150, 40, 40, 90)};
    lo = 0;
    hi = 1;
    seriesRange(h, friction, 1, lo, hi, 0.0f, 2.0f);
    std::snprintf(overlay, sizeof overlay, "friction %.2f", now.friction);
    ringPlot(h, overlay, friction, 1, lo, hi, &limit);
}

// The current step's summary.
void stepSummary(const Lab& lab, StepDynamics& cache) {
    const StepDynamics& s = currentStepDynamics(cache, lab.walker, lab.stats);
    const DynamicsSummary& d = s.summary;
    ImGui::Text("step   %s>%s", gaitLabel(s.from).c_str(), gaitLabel(s.to).c_str());
    ImGui::Text("peak   %.1f N m", d.peakTorque);
    ImGui::Text("ankle  %.1f N m", d.peakAnkleMoment);
    coloured(d.copMin < footHeel || d.copMax > footToe, "cop %.3f..%.3f", d.copMin, d.copMax);
    coloured(!(d.fyMin > 0), "fy min %.0f N", d.fyMin);
    coloured(d.liftOff > 0, "pulls  %.1f %%", 100 * d.liftOff);
    coloured(!(d.frictionMax <= frictionLimit), "fric   %.2f max", d.frictionMax);
    ImGui::Text("work   %.1f J", d.positiveWork);
    ImGui::Text("CoT    %.3f", d.costOfTransport);
}

} // namespace

void dynamicsSection(Lab& lab) {
    const DynamicsWarnings warn = dynamicsWarnings(lab.dynamics.latest);
    historyPlots(lab.dynamics, warn);
    warnLine(warn.groundPulls, warn.groundPulls ? "ground pulls: fy <= 0" : "ground presses");
    warnLine(warn.copOffFoot, warn.copOffFoot ? "cop off the foot" : "cop on the foot");
    warnLine(warn.frictionHigh, warn.frictionHigh ? "friction above the limit" : "friction fine");

    stepSummary(lab, lab.stepDynamics);
    ImGui::TextWrapped("Plots: tau0..tau4, fx (green) and fy, cop over the stance foot (blue), "
                       "friction against the %.1f limit; red where the ground would pull. Blends "
                       "(grey) are computed as single support on the stance foot the cycle "
                       "reports. At step ends tau0 is m5 g (x swing ankle - x hip), not 0: the "
                       "generator leaves the foot's mass out of the swing leg.",
                       frictionLimit);
}

// Sections of the gait lab's panel drawn in files of their own, between ImGui::Begin and End.
//
// Offers: explorerSection, dynamicsSection, ghostSection, PlotArea, beginPlotArea.
#pragma once

#include "shell/lab.h"
#include "shell/window/panel.h"

#include <imgui.h>

// The gait explorer: sliders, the generator's verdict, "walk it" and the feasibility map.
void explorerSection(Panel& panel, Lab& lab);

// The Dynamics section: live plots of the last 3 phase seconds of the joint torques, the ground
// force, the centre of pressure over the stance foot and the friction needed, the current step's
// summary, and a warning colour while the centre of pressure leaves the foot, the friction
// needed exceeds the limit or the ground would pull.
void dynamicsSection(Lab& lab);

// The ghost: shown or not and what is free, the current step's drift so far, and the last 3 s
// of the free coordinates let loose against the plan's.
void ghostSection(Lab& lab);

// A plot of the last historyLength samples across the panel, the newest (age 0) at the right,
// values lo..hi upwards: its corners, its draw list (clipped to it until PopClipRect) and its
// axes.
struct PlotArea {
    ImVec2 p0, p1, size;
    float dx; // one sample's width, pixels
    float lo, hi;
    ImDrawList* draw;
    float x(int age) const { return p1.x - age * dx; }
    float y(float v) const { return p0.y + (hi - v) / (hi - lo) * size.y; }
};

// Reserves the plot, height pixels high, and fills its ground; end it with draw->PopClipRect().
PlotArea beginPlotArea(float height, float lo, float hi);

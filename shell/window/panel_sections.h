// Sections of the gait lab's panel drawn in files of their own, between ImGui::Begin and End.
//
// Offers: explorerSection, dynamicsSection, ghostSection.
#pragma once

#include "shell/lab.h"
#include "shell/window/panel.h"

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

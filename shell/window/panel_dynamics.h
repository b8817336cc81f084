// The gait lab panel's Dynamics section, drawn with Dear ImGui: live plots of the last 3 phase
// seconds of the joint torques, the ground force, the centre of pressure over the stance foot
// and the friction needed, the current step's summary, and a warning colour while the centre of
// pressure leaves the foot, the friction needed exceeds the limit or the ground would pull.
//
// Offers: dynamicsSection, called inside the panel's window.
#pragma once

void dynamicsSection();

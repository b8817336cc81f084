// Sections of the gait lab's panel drawn in files of their own, between ImGui::Begin and End.
//
// Offers: explorerSection.
#pragma once

// The gait explorer: sliders, the generator's verdict, "walk it" and the feasibility map.
void explorerSection();

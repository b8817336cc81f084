// The gait lab's panel, drawn with Dear ImGui over the frame: the gait, the motion, live plots
// of the last 3 phase seconds, and controls that mirror the keys.
//
// Offers: togglePanel, panelShown, drawPanel. The first togglePanel sets ImGui up and registers
// the mouse callbacks that forward GLUT's pointer to it; a program that never shows the panel
// has neither. While mouse-look is on the panel takes no pointer input.
#pragma once

void togglePanel();
bool panelShown();
// Between the robot and the swap.
void drawPanel();

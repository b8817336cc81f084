// The gait lab's panel, drawn with Dear ImGui over the frame: the gait, the motion, live plots
// of the last 3 phase seconds, and controls that mirror the keys.
//
// Offers: Panel, togglePanel, drawPanel, and panelMouse, panelMotion, panelWheel, panelEntry,
// which the program's pointer callbacks forward to. The first togglePanel sets ImGui up; until
// then the pointer goes nowhere. While mouse-look is on the panel takes no pointer input.
#pragma once

#include "shell/lab.h"

struct LabWindow;

struct Panel {
    bool shown = false;
    bool ready = false;     // ImGui is set up
    int framesToSettle = 0; // ImGui lays a window out over a few frames after it shows or is used
    // This ImGui reads the buttons once a frame: a quick click, pressed and released between
    // two frames, would be lost. Such a release waits for the frame after the one that saw
    // the press.
    bool pressUnseen[3] = {};
    bool releaseWaiting[3] = {};
    // The explorer section.
    bool explorerReady = false; // the explorer and its map are set up
    int mapColour = 0;          // an AtlasColour: what the map's cells show
    int refusalsAtWalk = 0;     // the walker's refusals when "walk it" was last pressed
};

// The first call sets ImGui up; paused, the frames the panel needs to settle are asked for.
void togglePanel(Panel& panel, bool paused);
// Between the robot and the swap.
void drawPanel(LabWindow& window);

void panelMouse(Panel& panel, const Lab& lab, int button, int state, int x, int y);
void panelMotion(Panel& panel, const Lab& lab, int x, int y);
void panelWheel(Panel& panel, const Lab& lab, int wheel, int direction, int x, int y);
void panelEntry(const Panel& panel, int state);

// Drawing one frame's scene: the textured box of ground and sky, and ORVA as a chain of mesh
// pieces turned by the joint coordinates. The frame's numbers come from layoutFrame.
//
// Offers: SceneAssets (filled at start-up), drawScene.
#pragma once

#include "assets/data_files.h"
#include "assets/tga_texture.h"
#include "shell/lab.h"

struct SceneAssets {
    // Slots 3 to 8 are the box's faces; a slot whose file did not load keeps texture name 0.
    TgaTexture textures[sceneTextureCount] = {};
    unsigned int basicPieceList = 0; // display list of the limb piece
    unsigned int footPieceList = 0;  // display list of the foot piece
};

// Clears the window and draws the scene into its part beside the panel (the whole window when
// panelBeside is false); writes the frame's placement and follow offsets into lab.
void drawScene(const SceneAssets& scene, Lab& lab, bool panelBeside);

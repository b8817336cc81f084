// Drawing one frame: the textured box of ground and sky, and ORVA as a chain of mesh pieces
// turned by the joint coordinates. The frame's numbers come from layoutFrame.
//
// Offers: sceneTextures, basicPieceList, footPieceList (filled at start-up),
// and onDisplay, the GLUT display callback. After the robot and before the swap, a frame hands
// over to finishFrame (the panel and screenshots).
#pragma once

#include "assets/data_files.h"
#include "assets/tga_texture.h"

// Slots 3 to 8 are the box's faces; a slot whose file did not load keeps texture name 0.
extern TgaTexture sceneTextures[sceneTextureCount];
extern unsigned int basicPieceList; // display list of the limb piece
extern unsigned int footPieceList;  // display list of the foot piece

void onDisplay();

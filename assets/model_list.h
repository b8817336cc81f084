// Compiles a loaded MeshModel into one GL display list, so that drawing a robot piece is
// one glCallList. Needs a current GL context; start-up calls it once per mesh file.
//
// Offers: compileModelList, materialTextureNames, materialTextureSlots.
#pragma once

#include "assets/mesh_model.h"

// Texture names by material index, bound for textured objects. Nothing fills the table, so
// every bind selects texture name 0; indices outside it bind 0 as well.
constexpr int materialTextureSlots = 16;
extern const unsigned int materialTextureNames[materialTextureSlots];

// Returns the list's name. Each object sets texturing and colour, then draws its faces as
// triangles with per-vertex normals and either texture coordinates (textured objects) or its
// material's colour. A face naming a vertex outside the object's arrays is left out whole; a
// vertex of a textured object beyond its texture coordinates gets (0, 0). The list leaves
// texturing, colour and binding as its last object set them.
unsigned int compileModelList(const MeshModel& model);

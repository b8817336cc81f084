// Loads a TGA file as a GL texture. Needs a current GL context; start-up calls it for the
// nine scene images and ignores the result.
//
// Offers: loadTgaTexture.
#pragma once

#include "assets/tga_image.h"

// Decodes the file into texture (readTgaFile's rules, GL's largest texture side the limit),
// then creates and binds a texture name, sets linear filtering and uploads the pixels as GL_RGB
// or GL_RGBA. Rows are uploaded tightly packed (unpack alignment 1, restored afterwards), so any
// width shows correctly.
// False, without a texture name, when the file is missing or refused.
bool loadTgaTexture(TgaTexture& texture, const char* fileName);

// The TGA images of the scene without GL: the record a loaded texture keeps and the decoder
// of the one layout the program accepts (uncompressed true-colour, 24 or 32 bits per pixel,
// no image ID, no colour map). loadTgaTexture (tga_texture.h) decodes with it and uploads.
//
// Offers: TgaTexture, TgaStatus, maxTgaSide, decodeTgaImage, readTgaFile, describeTgaStatus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TgaTexture {
    std::vector<unsigned char>
        pixels;                     // width x height x bytes per pixel, RGB or RGBA, rows as stored
    std::uint32_t bitsPerPixel = 0; // 24 or 32
    std::uint32_t width = 0;        // pixels
    std::uint32_t height = 0;       // pixels
    std::uint32_t textureName = 0;  // GL texture name; 0 until uploaded
};

enum class TgaStatus {
    loaded,
    cannotOpen,       // the file could not be opened; the record is untouched
    notAccepted,      // short header, or a layout other than plain 24/32-bit true colour
    zeroSize,         // width or height is 0
    unsupportedDepth, // bits per pixel neither 24 nor 32
    tooLarge,         // width or height above the largest side accepted
    shortPixels,      // fewer pixel bytes than the header declares
    outOfMemory,
};

// The largest width or height the decoder accepts, what common GL implementations take as
// their largest texture: 1 GiB of pixels at most. The window program uses its GL's own limit.
// A file's size does not bound an image: a sparse file declares gigabytes in a few kilobytes.
constexpr std::uint32_t maxTgaSide = 16384;

// Decodes a whole file held in memory into texture, as loadTgaTexture does before the upload:
// width and height are stored once read, bits per pixel once accepted; pixels only when both
// sides are at most maxTgaSide and the bytes declared are all present, checked before anything
// is allocated, and then turned from BGR(A) into RGB(A). A refusal from the pixel step on
// leaves the record without pixels.
TgaStatus decodeTgaImage(TgaTexture& texture, const unsigned char* bytes, std::size_t size);
// The same from a file, which must be a regular file (cannotOpen otherwise), with sides of at
// most maxSide.
TgaStatus readTgaFile(TgaTexture& texture, const char* fileName,
                      std::uint32_t maxSide = maxTgaSide);

const char* describeTgaStatus(TgaStatus status);

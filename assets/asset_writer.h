// Writes the two file formats the program reads: 3DS chunks and uncompressed TGA images.
// The data set is made with it, and tests build their files with it byte by byte.
//
// Offers: ChunkWriter with beginChunk, endChunk, putU8, putU16, putU32, putFloat, putText;
// MeshPart, PartMaterial and writeMeshFile for whole meshes; encodeTga.
#pragma once

#include "assets/mesh_model.h"

#include <cstdint>
#include <string>
#include <vector>

struct ChunkWriter {
    std::vector<unsigned char> bytes;
    std::vector<std::size_t> openChunks; // offsets of chunks begun and not yet ended
};

void beginChunk(ChunkWriter& writer, std::uint16_t id);
// Fills in the length of the chunk begun last.
void endChunk(ChunkWriter& writer);
void putU8(ChunkWriter& writer, std::uint8_t value);
void putU16(ChunkWriter& writer, std::uint16_t value);
void putU32(ChunkWriter& writer, std::uint32_t value);
void putFloat(ChunkWriter& writer, float value);
// The text and its zero terminator.
void putText(ChunkWriter& writer, const std::string& text);

struct PartMaterial {
    std::string name;
    unsigned char colour[3]; // diffuse red, green, blue
};

// One object as stored: Z-up axes, faces wound counter-clockwise seen from outside.
struct MeshPart {
    std::string name;
    std::string material; // name of one of the file's materials
    std::vector<Vec3f> vertices;
    std::vector<MeshFace> faces;
};

// A version 3 file: the materials first, so that the objects' material groups find them.
std::vector<unsigned char> writeMeshFile(const std::vector<PartMaterial>& materials,
                                         const std::vector<MeshPart>& parts);

// An uncompressed true-colour TGA from RGB or RGBA pixels (bitsPerPixel 24 or 32), the first
// row stored first.
std::vector<unsigned char> encodeTga(int width, int height, int bitsPerPixel,
                                     const std::vector<unsigned char>& pixels);

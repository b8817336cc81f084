// Reads a 3DS mesh file into a MeshModel: objects with their vertices, faces, texture
// coordinates and material, and materials with name, diffuse colour and texture map file.
// Start-up calls importFile once per mesh file; tests and fuzzing run the same walk on bytes.
//
// Offers: ModelReader::importFile, ModelReader::importBytes, maxChunkDepth, maxMeshEntries.
//
// Messages go to standard output, one flushed line each. Damaged files never make the walk
// read outside the file or a chunk, loop, or allocate more than the bytes present warrant:
//   - a chunk whose length is under 6 or runs past its parent, or a file that ends early,
//     stops the walk at once; what was read so far is kept and the import returns true;
//     damagedAt then tells where;
//   - a list whose count promises more entries than its chunk holds keeps the entries
//     present, with its count lowered to match;
//   - containers nested deeper than maxChunkDepth, and objects or materials beyond
//     maxMeshEntries, are skipped whole.
#pragma once

#include "assets/mesh_model.h"

#include <cstddef>
#include <cstdint>

// Real files nest five or six levels deep.
constexpr int maxChunkDepth = 32;
// More objects or materials than any 16-bit index of the format could tell apart.
constexpr int maxMeshEntries = 65536;

struct ModelReader {
    // After an import that returned true: 0 when the file was read whole, else the byte offset
    // at which the walk met the first cut-short list or damaged chunk.
    std::uint64_t damagedAt = 0;

    // True when the file opened, is a regular file, and began with a primary chunk (0x4D4D); the
    // model then holds what was read, with normals. Otherwise a message, false, and the model is
    // unchanged.
    bool importFile(MeshModel& model, const char* fileName);
    // The same walk over bytes in memory; fileName only names them in the messages.
    bool importBytes(MeshModel& model, const unsigned char* bytes, std::size_t size,
                     const char* fileName);
};

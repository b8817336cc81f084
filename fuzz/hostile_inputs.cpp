#include "fuzz/hostile_inputs.h"

#include "assets/asset_writer.h"

#include <cstdint>

namespace {

using Bytes = std::vector<unsigned char>;

void setLength(Bytes& bytes, std::size_t chunkStart, std::uint32_t length) {
    for (int i = 0; i < 4; ++i) bytes[chunkStart + 2 + i] = std::uint8_t(length >> (8 * i));
}

Bytes randomBytes(std::size_t size, std::uint32_t seed, bool primaryFirst) {
    Bytes bytes(size);
    for (unsigned char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = std::uint8_t(seed >> 24);
    }
    if (primaryFirst) bytes[0] = bytes[1] = 0x4D;
    return bytes;
}

// Many objects, each promising 65535 vertices, faces and texture coordinates it does not hold.
Bytes hugeCounts() {
    ChunkWriter w;
    beginChunk(w, 0x4D4D);
    for (int i = 0; i < 2000; ++i) {
        beginChunk(w, 0x4000);
        putText(w, "o");
        for (const std::uint16_t list : {0x4110, 0x4120, 0x4140}) {
            beginChunk(w, list);
            putU16(w, 65535);
            endChunk(w);
        }
        endChunk(w);
    }
    endChunk(w);
    return w.bytes;
}

Bytes deepNesting(std::uint16_t container, std::uint16_t leaf, int depth) {
    ChunkWriter w;
    beginChunk(w, 0x4D4D);
    // Objects hold the mesh chunks, materials the map chunks; editor data nests by itself.
    const bool wrapped = container != 0x3D3D;
    if (wrapped) beginChunk(w, container == 0xA200 ? 0xAFFF : 0x4000);
    if (container == 0x4100) putText(w, "deep");
    for (int i = 0; i < depth; ++i) beginChunk(w, container);
    beginChunk(w, leaf);
    putU16(w, 1);
    for (int i = 0; i < 3; ++i) putFloat(w, 1);
    endChunk(w);
    for (int i = 0; i < depth + (wrapped ? 2 : 1); ++i) endChunk(w);
    return w.bytes;
}

Bytes tgaHeader(int width, int height, int bits, int type = 2) {
    Bytes file(18, 0);
    file[2] = std::uint8_t(type);
    file[12] = std::uint8_t(width), file[13] = std::uint8_t(width >> 8);
    file[14] = std::uint8_t(height), file[15] = std::uint8_t(height >> 8);
    file[16] = std::uint8_t(bits);
    return file;
}

} // namespace

std::vector<DataFile> makeSeedInputs() {
    std::vector<DataFile> seeds = makeDataSet(8, 4);
    seeds.push_back({"odd-width.tga", encodeTga(3, 5, 24, Bytes(45, 90))});
    return seeds;
}

std::vector<DataFile> makeHostileInputs() {
    const Bytes piece = makeBasicPiece();
    std::vector<DataFile> inputs;
    inputs.push_back({"truncated.3ds", Bytes(piece.begin(), piece.begin() + 700)});
    Bytes zeroLength = piece, tooLong = piece, wrapped = piece;
    setLength(zeroLength, 16, 0); // the editor chunk, after the version chunk
    setLength(tooLong, 16, 0xFFFFFFF0u);
    setLength(wrapped, 22, 3); // the mesh version inside it: shorter than its header
    inputs.push_back({"zero-length.3ds", zeroLength});
    inputs.push_back({"too-long.3ds", tooLong});
    inputs.push_back({"under-header.3ds", wrapped});
    inputs.push_back({"huge-counts.3ds", hugeCounts()});
    inputs.push_back({"deep-meshes.3ds", deepNesting(0x4100, 0x4110, 100000)});
    inputs.push_back({"deep-maps.3ds", deepNesting(0xA200, 0xA300, 100000)});
    inputs.push_back({"deep-editor.3ds", deepNesting(0x3D3D, 0x0002, 100000)});
    inputs.push_back({"random.3ds", randomBytes(4096, 7, true)});
    inputs.push_back({"random.bin", randomBytes(4096, 11, false)});
    Bytes huge = tgaHeader(65535, 65535, 32);
    huge.push_back(1);
    inputs.push_back({"huge-size.tga", huge});
    Bytes shortPixels = tgaHeader(64, 64, 24);
    shortPixels.resize(18 + 64 * 64 * 3 - 1);
    inputs.push_back({"short-pixels.tga", shortPixels});
    inputs.push_back({"run-length.tga", tgaHeader(2, 2, 24, 10)});
    inputs.push_back({"sixteen-bits.tga", tgaHeader(2, 2, 16)});
    Bytes headerOnly = tgaHeader(1, 1, 24);
    headerOnly.resize(12);
    inputs.push_back({"header-only.tga", headerOnly});
    return inputs;
}

#include "assets/asset_writer.h"

#include <cstring>

void beginChunk(ChunkWriter& writer, std::uint16_t id) {
    writer.openChunks.push_back(writer.bytes.size());
    putU16(writer, id);
    putU32(writer, 0);
}

void endChunk(ChunkWriter& writer) {
    const std::size_t start = writer.openChunks.back();
    writer.openChunks.pop_back();
    const std::uint32_t length = std::uint32_t(writer.bytes.size() - start);
    for (int i = 0; i < 4; ++i) writer.bytes[start + 2 + i] = std::uint8_t(length >> (8 * i));
}

void putU8(ChunkWriter& writer, std::uint8_t value) {
    writer.bytes.push_back(value);
}

void putU16(ChunkWriter& writer, std::uint16_t value) {
    putU8(writer, std::uint8_t(value));
    putU8(writer, std::uint8_t(value >> 8));
}

void putU32(ChunkWriter& writer, std::uint32_t value) {
    putU16(writer, std::uint16_t(value));
    putU16(writer, std::uint16_t(value >> 16));
}

void putFloat(ChunkWriter& writer, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putU32(writer, bits);
}

void putText(ChunkWriter& writer, const std::string& text) {
    for (const char c : text) putU8(writer, std::uint8_t(c));
    putU8(writer, 0);
}

namespace {

void putMaterial(ChunkWriter& w, const PartMaterial& material) {
    beginChunk(w, 0xAFFF);
    beginChunk(w, 0xA000);
    putText(w, material.name);
    endChunk(w);
    beginChunk(w, 0xA020);
    beginChunk(w, 0x0011); // 24-bit colour
    for (const unsigned char c : material.colour) putU8(w, c);
    endChunk(w);
    endChunk(w);
    endChunk(w);
}

void putPart(ChunkWriter& w, const MeshPart& part) {
    beginChunk(w, 0x4000);
    putText(w, part.name);
    beginChunk(w, 0x4100);
    beginChunk(w, 0x4110);
    putU16(w, std::uint16_t(part.vertices.size()));
    for (const Vec3f& v : part.vertices) {
        putFloat(w, v.x);
        putFloat(w, v.y);
        putFloat(w, v.z);
    }
    endChunk(w);
    beginChunk(w, 0x4120);
    putU16(w, std::uint16_t(part.faces.size()));
    for (const MeshFace& f : part.faces) {
        putU16(w, std::uint16_t(f.a));
        putU16(w, std::uint16_t(f.b));
        putU16(w, std::uint16_t(f.c));
        putU16(w, 7); // all three edges visible
    }
    beginChunk(w, 0x4130); // the whole object in one material group
    putText(w, part.material);
    putU16(w, std::uint16_t(part.faces.size()));
    for (std::size_t i = 0; i < part.faces.size(); ++i) putU16(w, std::uint16_t(i));
    endChunk(w);
    endChunk(w);
    endChunk(w);
    endChunk(w);
}

} // namespace

std::vector<unsigned char> writeMeshFile(const std::vector<PartMaterial>& materials,
                                         const std::vector<MeshPart>& parts) {
    ChunkWriter w;
    beginChunk(w, 0x4D4D);
    beginChunk(w, 0x0002);
    putU32(w, 3);
    endChunk(w);
    beginChunk(w, 0x3D3D);
    beginChunk(w, 0x3D3E); // mesh version
    putU32(w, 3);
    endChunk(w);
    for (const PartMaterial& material : materials) putMaterial(w, material);
    for (const MeshPart& part : parts) putPart(w, part);
    endChunk(w);
    endChunk(w);
    return w.bytes;
}

std::vector<unsigned char> encodeTga(int width, int height, int bitsPerPixel,
                                     const std::vector<unsigned char>& pixels) {
    const std::size_t bytesPerPixel = std::size_t(bitsPerPixel) / 8;
    const std::size_t size = std::size_t(width) * height * bytesPerPixel;
    std::vector<unsigned char> file(18 + size, 0);
    file[2] = 2; // uncompressed true colour
    file[12] = std::uint8_t(width);
    file[13] = std::uint8_t(width >> 8);
    file[14] = std::uint8_t(height);
    file[15] = std::uint8_t(height >> 8);
    file[16] = std::uint8_t(bitsPerPixel);
    file[17] = bytesPerPixel == 4 ? 8 : 0; // alpha bits; rows bottom to top
    for (std::size_t i = 0; i < size; i += bytesPerPixel) {
        // Stored blue, green, red (alpha).
        file[18 + i] = pixels[i + 2];
        file[18 + i + 1] = pixels[i + 1];
        file[18 + i + 2] = pixels[i];
        if (bytesPerPixel == 4) file[18 + i + 3] = pixels[i + 3];
    }
    return file;
}

#include "assets/model_reader.h"

#include "assets/regular_file.h"
#include "assets/vertex_normals.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

constexpr std::uint32_t headerSize = 6; // id (2 bytes) and length (4 bytes)

enum ChunkId : std::uint16_t {
    primaryChunk = 0x4D4D,
    versionChunk = 0x0002,
    editorChunk = 0x3D3D,
    objectChunk = 0x4000,
    materialChunk = 0xAFFF,
    meshChunk = 0x4100,
    vertexListChunk = 0x4110,
    faceListChunk = 0x4120,
    faceMaterialChunk = 0x4130,
    texCoordListChunk = 0x4140,
    materialNameChunk = 0xA000,
    diffuseChunk = 0xA020,
    textureMapChunk = 0xA200,
    mapFileChunk = 0xA300,
};

// Where the bytes come from: an open file or a buffer of size bytes.
struct ByteSource {
    std::FILE* file = nullptr;
    const unsigned char* bytes = nullptr;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
};

struct ChunkHeader {
    std::uint16_t id = 0;
    std::uint32_t length = 0;   // as stored: header plus payload, bytes
    std::uint32_t consumed = 0; // bytes of this chunk read so far, header included
};

struct ChunkWalk {
    ByteSource source;
    MeshModel& model;
    bool stopped = false;        // the file ended early or a length was damaged
    std::uint64_t damagedAt = 0; // where the first damage was met; 0 while none was
};

std::uint16_t littleEndian16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

float littleEndianFloat(const unsigned char* p) {
    const std::uint32_t bits = littleEndian32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint64_t sourceLeft(const ByteSource& source) {
    return source.size > source.position ? source.size - source.position : 0;
}

std::uint32_t readSource(ByteSource& source, void* into, std::uint32_t count) {
    count = std::uint32_t(std::min<std::uint64_t>(count, sourceLeft(source)));
    std::uint32_t got = count;
    if (source.file) {
        got = std::uint32_t(std::fread(into, 1, count, source.file));
    } else if (count > 0) {
        std::memcpy(into, source.bytes + source.position, count);
    }
    source.position += got;
    return got;
}

std::uint32_t skipSource(ByteSource& source, std::uint32_t count) {
    count = std::uint32_t(std::min<std::uint64_t>(count, sourceLeft(source)));
    if (source.file && count > 0 && std::fseek(source.file, long(count), SEEK_CUR) != 0) return 0;
    source.position += count;
    return count;
}

void noteDamage(ChunkWalk& walk) {
    if (walk.damagedAt == 0) walk.damagedAt = walk.source.position;
}

void stopWalk(ChunkWalk& walk) {
    walk.stopped = true;
    noteDamage(walk);
}

std::uint32_t unread(const ChunkHeader& chunk) {
    return chunk.consumed < chunk.length ? chunk.length - chunk.consumed : 0;
}

// Reads up to count bytes, never past the chunk's end; a file that ends first stops the walk.
std::uint32_t readPayload(ChunkWalk& walk, ChunkHeader& chunk, void* into, std::uint32_t count) {
    count = std::min(count, unread(chunk));
    const std::uint32_t got = readSource(walk.source, into, count);
    chunk.consumed += got;
    if (got < count) stopWalk(walk);
    return got;
}

void skipChunk(ChunkWalk& walk, ChunkHeader& chunk) {
    const std::uint32_t count = unread(chunk);
    const std::uint32_t got = skipSource(walk.source, count);
    chunk.consumed += got;
    if (got < count) stopWalk(walk);
}

// A child must hold its own header and fit in what is left of its parent; anything else
// means the lengths can no longer be trusted, so the walk ends here.
bool readChildHeader(ChunkWalk& walk, const ChunkHeader& parent, ChunkHeader& child) {
    unsigned char raw[headerSize];
    if (unread(parent) < headerSize || readSource(walk.source, raw, headerSize) < headerSize) {
        stopWalk(walk);
        return false;
    }
    child = {littleEndian16(raw), littleEndian32(raw + 2), headerSize};
    if (child.length < headerSize || child.length > unread(parent)) {
        if (walk.damagedAt == 0) walk.damagedAt = walk.source.position - headerSize;
        stopWalk(walk);
        return false;
    }
    return true;
}

template <typename Handler>
void walkChildren(ChunkWalk& walk, ChunkHeader& parent, Handler handle) {
    while (!walk.stopped && parent.consumed < parent.length) {
        ChunkHeader child;
        if (!readChildHeader(walk, parent, child)) return;
        handle(child);
        parent.consumed += child.consumed;
    }
}

// Reads up to a zero byte or the chunk's end; keeps at most 254 characters.
void readString(ChunkWalk& walk, ChunkHeader& chunk, char (&into)[meshNameSize]) {
    int stored = 0;
    unsigned char byte = 1;
    while (byte != 0 && readPayload(walk, chunk, &byte, 1) == 1) {
        if (byte != 0 && stored < meshNameSize - 1) into[stored++] = char(byte);
    }
    into[stored] = 0;
}

// The whole remaining payload is the text; a longer one is cut.
void readPayloadText(ChunkWalk& walk, ChunkHeader& chunk, char (&into)[meshNameSize]) {
    const std::uint32_t got = readPayload(walk, chunk, into, meshNameSize - 1);
    into[got] = 0;
    skipChunk(walk, chunk);
}

std::uint16_t readCount(ChunkWalk& walk, ChunkHeader& chunk) {
    unsigned char raw[2] = {0, 0};
    readPayload(walk, chunk, raw, 2);
    return littleEndian16(raw);
}

// How many of count entries of entrySize bytes the chunk and the file can still hold: no
// array is made larger than the bytes that fill it.
std::uint32_t entriesPresent(ChunkWalk& walk, const ChunkHeader& chunk, std::uint16_t count,
                             std::uint32_t entrySize) {
    const std::uint64_t bytes = std::min<std::uint64_t>(unread(chunk), sourceLeft(walk.source));
    if (bytes / entrySize < count) noteDamage(walk);
    return std::uint32_t(std::min<std::uint64_t>(count, bytes / entrySize));
}

std::vector<unsigned char> readEntries(ChunkWalk& walk, ChunkHeader& chunk, std::uint32_t entries,
                                       std::uint32_t entrySize) {
    std::vector<unsigned char> raw(std::size_t(entries) * entrySize, 0);
    readPayload(walk, chunk, raw.data(), std::uint32_t(raw.size()));
    return raw;
}

void readVertices(ChunkWalk& walk, ChunkHeader& chunk, MeshObject& object) {
    const std::uint16_t count = readCount(walk, chunk);
    const std::uint32_t entries = entriesPresent(walk, chunk, count, 12);
    const std::vector<unsigned char> raw = readEntries(walk, chunk, entries, 12);
    object.vertices.assign(entries, Vec3f{0, 0, 0});
    for (std::uint32_t i = 0; i < entries; ++i) {
        const unsigned char* p = &raw[i * 12];
        // The file is Z-up; the scene is Y-up.
        object.vertices[i] = {littleEndianFloat(p), littleEndianFloat(p + 8),
                              -littleEndianFloat(p + 4)};
    }
    object.vertexCount = int(entries);
    skipChunk(walk, chunk);
}

void readTexCoords(ChunkWalk& walk, ChunkHeader& chunk, MeshObject& object) {
    const std::uint16_t count = readCount(walk, chunk);
    const std::uint32_t entries = entriesPresent(walk, chunk, count, 8);
    const std::vector<unsigned char> raw = readEntries(walk, chunk, entries, 8);
    object.texCoords.assign(entries, Vec2f{0, 0});
    for (std::uint32_t i = 0; i < entries; ++i) {
        object.texCoords[i] = {littleEndianFloat(&raw[i * 8]), littleEndianFloat(&raw[i * 8 + 4])};
    }
    object.texCoordCount = int(entries);
    skipChunk(walk, chunk);
}

// Reads only the count and the faces: the sub-chunks after them (material groups) are met
// by the object walk as further children.
void readFaces(ChunkWalk& walk, ChunkHeader& chunk, MeshObject& object) {
    const std::uint16_t count = readCount(walk, chunk);
    const std::uint32_t entries = entriesPresent(walk, chunk, count, 8);
    const std::vector<unsigned char> raw = readEntries(walk, chunk, entries, 8);
    object.faces.assign(entries, MeshFace{0, 0, 0});
    for (std::uint32_t i = 0; i < entries; ++i) {
        const unsigned char* p = &raw[i * 8];
        object.faces[i] = {littleEndian16(p), littleEndian16(p + 2), littleEndian16(p + 4)};
    }
    object.faceCount = int(entries);
    // Faces promised beyond the chunk's end leave no room for sub-chunks.
    if (entries < count) skipChunk(walk, chunk);
}

void readFaceMaterial(ChunkWalk& walk, ChunkHeader& chunk, MeshObject& object) {
    char name[meshNameSize];
    readString(walk, chunk, name);
    const MeshModel& model = walk.model;
    for (int i = 0; i < model.materialCount; ++i) {
        if (std::strcmp(name, model.materials[i].name) == 0) {
            object.materialIndex = i;
            if (model.materials[i].mapFile[0] != 0) object.textured = true;
            break;
        }
        object.materialIndex = -1;
    }
    skipChunk(walk, chunk);
}

// The first sub-chunk holds the colour; further ones are met by the material walk.
void readColour(ChunkWalk& walk, ChunkHeader& chunk, MeshMaterial& material) {
    if (unread(chunk) == 0) return;
    ChunkHeader colour;
    if (!readChildHeader(walk, chunk, colour)) return;
    unsigned char rgb[3] = {0, 0, 0};
    readPayload(walk, colour, rgb, 3);
    skipChunk(walk, colour);
    std::memcpy(material.colour, rgb, 3);
    chunk.consumed += colour.consumed;
}

bool tooDeep(int depth) {
    return depth + 1 >= maxChunkDepth;
}

void walkObject(ChunkWalk& walk, ChunkHeader& parent, std::size_t objectIndex, int depth) {
    walkChildren(walk, parent, [&](ChunkHeader& child) {
        MeshObject& object = walk.model.objects[objectIndex];
        switch (child.id) {
        case meshChunk:
            if (tooDeep(depth)) return skipChunk(walk, child);
            return walkObject(walk, child, objectIndex, depth + 1);
        case vertexListChunk:
            return readVertices(walk, child, object);
        case faceListChunk:
            return readFaces(walk, child, object);
        case faceMaterialChunk:
            return readFaceMaterial(walk, child, object);
        case texCoordListChunk:
            return readTexCoords(walk, child, object);
        default:
            return skipChunk(walk, child);
        }
    });
}

void walkMaterial(ChunkWalk& walk, ChunkHeader& parent, int depth) {
    walkChildren(walk, parent, [&](ChunkHeader& child) {
        MeshMaterial& material = walk.model.materials.back();
        switch (child.id) {
        case materialNameChunk:
            return readPayloadText(walk, child, material.name);
        case diffuseChunk:
            return readColour(walk, child, material);
        case textureMapChunk:
            if (tooDeep(depth)) return skipChunk(walk, child);
            return walkMaterial(walk, child, depth + 1);
        case mapFileChunk:
            return readPayloadText(walk, child, material.mapFile);
        default:
            return skipChunk(walk, child);
        }
    });
}

void printLine(const char* text, const char* name = "") {
    std::cout << text << name << std::endl;
}

void walkTopLevel(ChunkWalk& walk, ChunkHeader& parent, int depth) {
    MeshModel& model = walk.model;
    walkChildren(walk, parent, [&](ChunkHeader& child) {
        switch (child.id) {
        case versionChunk: {
            unsigned char raw[4] = {0, 0, 0, 0};
            readPayload(walk, child, raw, 4);
            skipChunk(walk, child);
            if (littleEndian32(raw) > 3) {
                printLine("Warning - This 3DS file is over version 3 so it may load incorrectly");
            }
            return;
        }
        case editorChunk: {
            if (tooDeep(depth)) return skipChunk(walk, child);
            if (unread(child) == 0) return;
            // The first child is taken to be the mesh version, whatever its id.
            ChunkHeader meshVersion;
            if (!readChildHeader(walk, child, meshVersion)) return;
            skipChunk(walk, meshVersion);
            child.consumed += meshVersion.consumed;
            return walkTopLevel(walk, child, depth + 1);
        }
        case objectChunk:
            if (tooDeep(depth) || model.objectCount >= maxMeshEntries) {
                return skipChunk(walk, child);
            }
            ++model.objectCount;
            model.objects.emplace_back();
            readString(walk, child, model.objects.back().name);
            return walkObject(walk, child, model.objects.size() - 1, depth + 1);
        case materialChunk:
            if (tooDeep(depth) || model.materialCount >= maxMeshEntries) {
                return skipChunk(walk, child);
            }
            ++model.materialCount;
            model.materials.push_back(MeshMaterial{});
            return walkMaterial(walk, child, depth + 1);
        default:
            return skipChunk(walk, child);
        }
    });
}

bool importFrom(MeshModel& model, ByteSource source, const char* fileName,
                std::uint64_t& damagedAt) {
    ChunkWalk walk{source, model};
    unsigned char raw[headerSize];
    if (readSource(walk.source, raw, headerSize) < headerSize ||
        littleEndian16(raw) != primaryChunk) {
        printLine("Error - Unable to load PRIMARY chuck from file: ", fileName);
        return false;
    }
    ChunkHeader primary{primaryChunk, littleEndian32(raw + 2), headerSize};
    walkTopLevel(walk, primary, 0);
    damagedAt = walk.damagedAt;
    computeVertexNormals(model);
    return true;
}

std::uint64_t fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) return 0;
    return std::uint64_t(size);
}

} // namespace

bool ModelReader::importFile(MeshModel& model, const char* fileName) {
    if (fileName == nullptr) fileName = "";
    damagedAt = 0;
    std::FILE* file = openRegularFile(fileName);
    if (file == nullptr) {
        printLine("Error - Unable to find the file: ", fileName);
        return false;
    }
    ByteSource source;
    source.file = file;
    source.size = fileSize(file);
    const bool loaded = importFrom(model, source, fileName, damagedAt);
    std::fclose(file);
    return loaded;
}

bool ModelReader::importBytes(MeshModel& model, const unsigned char* bytes, std::size_t size,
                              const char* fileName) {
    ByteSource source;
    source.bytes = bytes;
    source.size = bytes ? size : 0;
    damagedAt = 0;
    return importFrom(model, source, fileName ? fileName : "", damagedAt);
}

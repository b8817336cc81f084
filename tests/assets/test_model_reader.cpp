#include "assets/model_reader.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

// Files are built here from chunk trees, apart from the writer the data set uses.
struct Chunk {
    std::uint16_t id;
    Bytes payload = {};
    std::vector<Chunk> children = {};
};

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes u16s(std::initializer_list<unsigned> values, int width = 2) {
    Bytes out;
    for (const unsigned v : values)
        for (int i = 0; i < width; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
    return out;
}

Bytes floats(std::initializer_list<float> values) {
    Bytes out;
    for (const float f : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        out = out + u16s({bits}, 4);
    }
    return out;
}

Bytes text(const char* s) {
    return Bytes(s, s + std::strlen(s) + 1);
}

Bytes bytesOf(const Chunk& c) {
    Bytes body = c.payload;
    for (const Chunk& child : c.children) body = body + bytesOf(child);
    return u16s({c.id}) + u16s({unsigned(body.size() + 6)}, 4) + body;
}

// An object whose face list holds no faces, only material groups.
Chunk object(const char* name, std::initializer_list<const char*> groups = {}) {
    Chunk faces{0x4120, u16s({0})};
    for (const char* g : groups) faces.children.push_back({0x4130, text(g)});
    return {0x4000, text(name), {faces}};
}

Chunk material(const char* name, const char* mapFile = "") {
    Chunk m{0xAFFF, {}, {{0xA000, text(name)}}};
    if (*mapFile) m.children.push_back({0xA200, {}, {{0xA300, text(mapFile)}}});
    return m;
}

// Two materials, a textured object and a light, with unknown chunks among them.
// clang-format off
const Chunk sample{0x4D4D, {}, {
    {0x0002, u16s({3}, 4)},
    {0x3D3D, {}, {
        {0x3D3E, u16s({3}, 4)},
        {0x0100, floats({1})},
        {0xAFFF, {}, {{0xA000, text("Plain")},
                      {0xA020, {}, {{0x0011, {200, 100, 50}}, {0x0012, {9, 9, 9}}}}}},
        {0xAFFF, {}, {{0xA000, text("Wood")},
                      {0xA204, {}, {{0xA300, text("shiny.tga")}}},
                      {0xA200, {}, {{0xA300, text("wood.tga")}}}}},
        {0x4000, text("Box"), {{0x4100, {}, {
            {0x4110, u16s({4}) + floats({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 2, 3})},
            {0x4140, u16s({2}) + floats({0.25f, 0.5f, 0.75f, 1})},
            {0x4160}, // local axes
            {0x4120, u16s({1, 0, 1, 2, 7}), {{0x4150, u16s({1}, 4)}, {0x4130, text("Wood")}}}}}}},
        {0x4000, text("Lamp"), {{0x4600, floats({1, 2})}}}}}}};
// clang-format on

struct Imported {
    MeshModel model;
    ModelReader reader;
    bool loaded = false;
    std::string output;
};

Imported import(const Bytes& bytes) {
    Imported r;
    testing::internal::CaptureStdout();
    r.loaded = r.reader.importBytes(r.model, bytes.data(), bytes.size(), "t.3ds");
    r.output = testing::internal::GetCapturedStdout();
    return r;
}

TEST(ModelReader, WalksRecognisedChunksAndSkipsTheRest) {
    const Imported r = import(bytesOf(sample));
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.output + std::to_string(r.reader.damagedAt), "0");
    ASSERT_EQ(r.model.materialCount * 10 + r.model.objectCount, 22);
    const MeshMaterial& plain = r.model.materials[0];
    EXPECT_STREQ(plain.name, "Plain");
    EXPECT_EQ(Bytes(plain.colour, plain.colour + 3), (Bytes{200, 100, 50}));
    EXPECT_STREQ(r.model.materials[1].mapFile, "wood.tga"); // not the specular map's
    const MeshObject &box = r.model.objects[0], &lamp = r.model.objects[1];
    EXPECT_STREQ(box.name, "Box");
    ASSERT_EQ(box.vertexCount * 100 + box.texCoordCount * 10 + box.faceCount, 421);
    const Vec3f v = box.vertices[3]; // Z-up (1, 2, 3) held Y-up
    EXPECT_EQ((std::vector<float>{v.x, v.y, v.z}), (std::vector<float>{1, 3, -2}));
    EXPECT_EQ(box.texCoords[1].u * 10 + box.texCoords[1].v, 8.5f);
    EXPECT_EQ(box.faces[0].c, 2);
    // The material group inside the face list is reached, past the smoothing group.
    EXPECT_EQ(box.materialIndex, 1);
    EXPECT_TRUE(box.textured);
    // Counter-clockwise seen from the file's +Z is up once the axes are turned.
    EXPECT_EQ(box.normals[0].y, 1.0f);
    EXPECT_EQ(lamp.vertexCount + lamp.faceCount + lamp.materialIndex, 0);
}

TEST(ModelReader, EditorDataDropsItsFirstChildMaterialsAreFoundByExactNameVersionFourWarns) {
    const std::vector<Chunk> editor = {object("Lost"),
                                       object("BeforeAny", {"A"}),
                                       material("A", "a.tga"),
                                       material("B"),
                                       object("NoGroup"),
                                       object("LastDecides", {"A", "B"}),
                                       object("WrongCase", {"b"}),
                                       object(std::string(300, 'x').c_str())};
    for (const unsigned version : {3u, 4u}) {
        const Imported r =
            import(bytesOf({0x4D4D, {}, {{0x0002, u16s({version}, 4)}, {0x3D3D, {}, editor}}}));
        EXPECT_EQ(r.output, version == 3 ? ""
                                         : "Warning - This 3DS file is over version 3 so it may "
                                           "load incorrectly\n");
        ASSERT_EQ(r.model.objectCount, 5);
        EXPECT_EQ(std::strlen(r.model.objects[4].name), 254u); // the rest is read and dropped
        const auto index = [&](int i) { return r.model.objects[i].materialIndex; };
        EXPECT_EQ(index(0), 0); // no material read yet: the search does not run
        EXPECT_EQ(index(1), 0);
        EXPECT_EQ(index(2), 1);
        EXPECT_TRUE(r.model.objects[2].textured); // set by "A", kept after "B"
        EXPECT_EQ(index(3), -1);
        EXPECT_FALSE(r.model.objects[3].textured);
    }
}

TEST(ModelReader, DamageStopsTheWalkKeepsWhatWasReadAndTellsWhere) {
    const Bytes whole = bytesOf(sample);
    for (std::size_t size = 6; size < whole.size(); ++size) {
        const Imported r = import(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)));
        EXPECT_TRUE(r.loaded && r.reader.damagedAt > 0 && r.reader.damagedAt <= size) << size;
    }
    // A length under a header, or past its parent, ends the walk at that chunk.
    const Bytes kept = bytesOf(object("Kept"));
    for (const unsigned badLength : {0u, 5u, 1000u}) {
        const Bytes damaged = u16s({0x4000}) + u16s({badLength}, 4) + text("Damaged");
        const Imported r = import(bytesOf({0x4D4D, kept + damaged + bytesOf(object("Unreached"))}));
        ASSERT_EQ(r.model.objectCount, 1) << badLength;
        EXPECT_EQ(r.reader.damagedAt, 6 + kept.size());
    }
    // A count beyond the chunk keeps the entries present; containers past the depth limit (the
    // object is one) are skipped whole, those at the limit read.
    for (const int depth : {maxChunkDepth - 2, maxChunkDepth - 1, 10000}) {
        const Bytes leaf = bytesOf({0x4110, u16s({65535}) + floats({1, 2, 3})});
        Bytes nested; // depth mesh chunks around the vertex list, written flat
        for (int k = depth; k > 0; --k) {
            nested = nested + u16s({0x4100}) + u16s({unsigned(6 * k + leaf.size())}, 4);
        }
        const Imported r = import(bytesOf({0x4D4D, {}, {{0x4000, text("Deep") + nested + leaf}}}));
        ASSERT_EQ(r.model.objectCount, 1);
        EXPECT_EQ(r.model.objects[0].vertexCount, depth + 1 < maxChunkDepth ? 1 : 0);
        EXPECT_EQ(r.reader.damagedAt != 0, depth + 1 < maxChunkDepth);
    }
    // Files not starting with the primary chunk leave the model empty.
    for (const Bytes& wrong : {Bytes{0x4C, 0x4D, 6, 0, 0, 0}, Bytes{0x4D, 0x4D, 6, 0, 0}}) {
        const Imported r = import(wrong);
        EXPECT_FALSE(r.loaded);
        EXPECT_EQ(r.output, "Error - Unable to load PRIMARY chuck from file: t.3ds\n");
        EXPECT_EQ(r.model.objectCount + r.model.materialCount, 0);
    }
}

} // namespace

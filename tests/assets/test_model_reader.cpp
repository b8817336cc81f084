#include "assets/asset_writer.h"
#include "assets/model_reader.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;
using Writes = std::function<void(ChunkWriter&)>;

struct Imported {
    MeshModel model;
    bool loaded = false;
    std::string output;
};

Imported importBytes(const Bytes& bytes) {
    Imported result;
    testing::internal::CaptureStdout();
    result.loaded = ModelReader{}.importBytes(result.model, bytes.data(), bytes.size(), "t.3ds");
    result.output = testing::internal::GetCapturedStdout();
    return result;
}

void chunk(ChunkWriter& w, std::uint16_t id, const Writes& body = {}) {
    beginChunk(w, id);
    if (body) body(w);
    endChunk(w);
}

void textChunk(ChunkWriter& w, std::uint16_t id, const char* text) {
    chunk(w, id, [&](ChunkWriter& w) { putText(w, text); });
}

Bytes meshFile(const Writes& body) {
    ChunkWriter w;
    chunk(w, 0x4D4D, body);
    return w.bytes;
}

void vertexList(ChunkWriter& w, const std::vector<Vec3f>& vertices, int count = -1) {
    chunk(w, 0x4110, [&](ChunkWriter& w) {
        putU16(w, std::uint16_t(count < 0 ? int(vertices.size()) : count));
        for (const Vec3f& v : vertices) putFloat(w, v.x), putFloat(w, v.y), putFloat(w, v.z);
    });
}

void faceList(ChunkWriter& w, const std::vector<MeshFace>& faces, const Writes& subChunks = {}) {
    chunk(w, 0x4120, [&](ChunkWriter& w) {
        putU16(w, std::uint16_t(faces.size()));
        for (const MeshFace& f : faces)
            putU16(w, f.a), putU16(w, f.b), putU16(w, f.c), putU16(w, 7);
        if (subChunks) subChunks(w);
    });
}

void material(ChunkWriter& w, const char* name, const char* mapFile = nullptr) {
    chunk(w, 0xAFFF, [&](ChunkWriter& w) {
        textChunk(w, 0xA000, name);
        if (mapFile) chunk(w, 0xA200, [&](ChunkWriter& w) { textChunk(w, 0xA300, mapFile); });
    });
}

void objectWithGroups(ChunkWriter& w, const char* name, std::vector<const char*> groups) {
    chunk(w, 0x4000, [&](ChunkWriter& w) {
        putText(w, name);
        chunk(w, 0x4100, [&](ChunkWriter& w) {
            faceList(w, {}, [&](ChunkWriter& w) {
                for (const char* g : groups) textChunk(w, 0x4130, g);
            });
        });
    });
}

// A small but complete file: two materials, a textured triangle, a light; unknown chunks around.
Bytes sampleFile() {
    return meshFile([](ChunkWriter& w) {
        chunk(w, 0x0002, [](ChunkWriter& w) { putU32(w, 3); });
        chunk(w, 0x3D3D, [](ChunkWriter& w) {
            chunk(w, 0x3D3E, [](ChunkWriter& w) { putU32(w, 3); });
            chunk(w, 0x0100, [](ChunkWriter& w) { putFloat(w, 1); });
            chunk(w, 0xAFFF, [](ChunkWriter& w) {
                textChunk(w, 0xA000, "Plain");
                chunk(w, 0xA020, [](ChunkWriter& w) {
                    chunk(w, 0x0011,
                          [](ChunkWriter& w) { putU8(w, 200), putU8(w, 100), putU8(w, 50); });
                    chunk(w, 0x0012, [](ChunkWriter& w) { putU8(w, 9), putU8(w, 9), putU8(w, 9); });
                });
            });
            chunk(w, 0xAFFF, [](ChunkWriter& w) {
                textChunk(w, 0xA000, "Wood");
                chunk(w, 0xA204, [](ChunkWriter& w) { textChunk(w, 0xA300, "shiny.tga"); });
                chunk(w, 0xA200, [](ChunkWriter& w) { textChunk(w, 0xA300, "wood.tga"); });
            });
            chunk(w, 0x4000, [](ChunkWriter& w) {
                putText(w, "Box");
                chunk(w, 0x4100, [](ChunkWriter& w) {
                    vertexList(w, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 2, 3}});
                    chunk(w, 0x4140, [](ChunkWriter& w) {
                        putU16(w, 2);
                        for (float f : {0.25f, 0.5f, 0.75f, 1.0f}) putFloat(w, f);
                    });
                    chunk(w, 0x4160); // local axes
                    faceList(w, {{0, 1, 2}}, [](ChunkWriter& w) {
                        chunk(w, 0x4150, [](ChunkWriter& w) { putU32(w, 1); });
                        textChunk(w, 0x4130, "Wood");
                    });
                });
            });
            chunk(w, 0x4000, [](ChunkWriter& w) {
                putText(w, "Lamp");
                chunk(w, 0x4600, [](ChunkWriter& w) { putFloat(w, 1), putFloat(w, 2); });
            });
        });
    });
}

void expectConsistent(const MeshModel& model) {
    ASSERT_EQ(model.objectCount, int(model.objects.size()));
    ASSERT_EQ(model.materialCount, int(model.materials.size()));
    for (const MeshObject& o : model.objects) {
        EXPECT_EQ(o.vertexCount, int(o.vertices.size()));
        EXPECT_EQ(o.vertexCount, int(o.normals.size()));
        EXPECT_EQ(o.faceCount, int(o.faces.size()));
        EXPECT_EQ(o.texCoordCount, int(o.texCoords.size()));
        for (const Vec3f& n : o.normals)
            EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-5);
    }
}

TEST(ModelReader, WalksRecognisedChunksAndSkipsTheRest) {
    const Imported r = importBytes(sampleFile());
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.output, "");
    expectConsistent(r.model);
    ASSERT_EQ(r.model.materialCount, 2);
    ASSERT_EQ(r.model.objectCount, 2);
    const MeshMaterial& plain = r.model.materials[0];
    EXPECT_STREQ(plain.name, "Plain");
    EXPECT_EQ(Bytes(plain.colour, plain.colour + 3), (Bytes{200, 100, 50}));
    EXPECT_STREQ(r.model.materials[1].mapFile, "wood.tga"); // not the specular map's
    const MeshObject &box = r.model.objects[0], &lamp = r.model.objects[1];
    EXPECT_STREQ(box.name, "Box");
    ASSERT_EQ(box.vertexCount, 4);
    ASSERT_EQ(box.texCoordCount, 2);
    ASSERT_EQ(box.faceCount, 1);
    const Vec3f v = box.vertices[3]; // Z-up (1, 2, 3) held Y-up
    EXPECT_EQ((std::vector<float>{v.x, v.y, v.z}), (std::vector<float>{1, 3, -2}));
    EXPECT_EQ((std::vector<float>{box.texCoords[1].u, box.texCoords[1].v}),
              (std::vector<float>{0.75f, 1}));
    EXPECT_EQ(box.faces[0].c, 2);
    // The material group inside the face list is reached, past the smoothing group.
    EXPECT_EQ(box.materialIndex, 1);
    EXPECT_TRUE(box.textured);
    // Counter-clockwise seen from the file's +Z is up once the axes are turned.
    EXPECT_EQ(box.normals[0].y, 1.0f);
    EXPECT_EQ(lamp.vertexCount + lamp.faceCount + lamp.materialIndex, 0);
}

// The version chunk leaves its sibling alone; editor data drops its own first child.
TEST(ModelReader, EditorDataLosesItsFirstChildAndVersionFourWarns) {
    for (const std::uint32_t version : {3u, 4u}) {
        const Imported r = importBytes(meshFile([&](ChunkWriter& w) {
            chunk(w, 0x0002, [&](ChunkWriter& w) { putU32(w, version); });
            chunk(w, 0x3D3D, [](ChunkWriter& w) {
                objectWithGroups(w, "Lost", {});
                objectWithGroups(w, "Kept", {});
            });
        }));
        EXPECT_TRUE(r.loaded);
        ASSERT_EQ(r.model.objectCount, 1);
        EXPECT_STREQ(r.model.objects[0].name, "Kept");
        EXPECT_EQ(r.output, version == 3 ? ""
                                         : "Warning - This 3DS file is over version 3 so it may "
                                           "load incorrectly\n");
    }
}

TEST(ModelReader, MaterialGroupsFindEarlierMaterialsByExactName) {
    const Imported r = importBytes(meshFile([](ChunkWriter& w) {
        objectWithGroups(w, "BeforeAny", {"A"});
        material(w, "A", "a.tga");
        material(w, "B");
        objectWithGroups(w, "NoGroup", {});
        objectWithGroups(w, "LastDecides", {"A", "B"});
        objectWithGroups(w, "WrongCase", {"b"});
    }));
    const auto index = [&](int i) { return r.model.objects[i].materialIndex; };
    EXPECT_EQ(index(0), 0); // no material read yet: the search does not run
    EXPECT_EQ(index(1), 0);
    EXPECT_EQ(index(2), 1);
    EXPECT_TRUE(r.model.objects[2].textured); // set by "A", kept after "B"
    EXPECT_EQ(index(3), -1);
    EXPECT_FALSE(r.model.objects[3].textured);
}

TEST(ModelReader, DamagedFilesStopTheWalkAndKeepWhatWasRead) {
    const Bytes whole = sampleFile();
    for (std::size_t size = 6; size < whole.size(); ++size) {
        const Imported r = importBytes(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)));
        EXPECT_TRUE(r.loaded);
        expectConsistent(r.model);
    }
    // Lengths under a header, and one that runs past its parent, end the walk there.
    for (const std::uint32_t badLength : {0u, 5u, 1000u}) {
        const Imported r = importBytes(meshFile([&](ChunkWriter& w) {
            objectWithGroups(w, "Kept", {});
            putU16(w, 0x4000), putU32(w, badLength), putText(w, "Damaged"); // header by hand
            objectWithGroups(w, "Unreached", {});
        }));
        EXPECT_TRUE(r.loaded);
        ASSERT_EQ(r.model.objectCount, 1) << badLength;
        EXPECT_STREQ(r.model.objects[0].name, "Kept");
    }
}

TEST(ModelReader, CountsAndNestingAreBoundedByTheBytesPresent) {
    const Imported huge = importBytes(meshFile([](ChunkWriter& w) {
        chunk(w, 0x4000, [](ChunkWriter& w) {
            putText(w, "Huge");
            vertexList(w, {{1, 2, 3}}, 65535);
            chunk(w, 0x4140, [](ChunkWriter& w) { putU16(w, 65535); });
        });
    }));
    ASSERT_EQ(huge.model.objectCount, 1);
    EXPECT_EQ(huge.model.objects[0].vertexCount, 1);
    EXPECT_EQ(huge.model.objects[0].texCoordCount, 0);

    // Containers past the depth limit are skipped whole; shallower ones are read.
    for (const int depth : {20, 10000}) {
        const Imported r = importBytes(meshFile([&](ChunkWriter& w) {
            chunk(w, 0x4000, [&](ChunkWriter& w) {
                putText(w, "Deep");
                for (int i = 0; i < depth; ++i) beginChunk(w, 0x4100);
                vertexList(w, {{1, 2, 3}});
                for (int i = 0; i < depth; ++i) endChunk(w);
            });
        }));
        ASSERT_EQ(r.model.objectCount, 1);
        EXPECT_EQ(r.model.objects[0].vertexCount, depth < maxChunkDepth ? 1 : 0);
    }
}

TEST(ModelReader, FilesReadLikeBytesAndMissingOrNonModelOnesLeaveTheModelEmpty) {
    const Bytes bytes = sampleFile();
    const std::string path = testing::TempDir() + "orva_sample.3ds";
    for (const std::size_t size : {bytes.size(), bytes.size() / 2}) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, size, f);
        std::fclose(f);
        MeshModel fromFile;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(ModelReader{}.importFile(fromFile, path.c_str()));
        testing::internal::GetCapturedStdout();
        const Imported fromBytes =
            importBytes(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(size)));
        ASSERT_EQ(fromFile.objectCount, fromBytes.model.objectCount);
        for (int i = 0; i < fromFile.objectCount; ++i) {
            EXPECT_EQ(fromFile.objects[i].vertexCount, fromBytes.model.objects[i].vertexCount);
            EXPECT_EQ(fromFile.objects[i].materialIndex, fromBytes.model.objects[i].materialIndex);
        }
    }
    std::remove(path.c_str());

    MeshModel model;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ModelReader{}.importFile(model, "no/such/dir/piece.3ds"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error - Unable to find the file: no/such/dir/piece.3ds\n");
    EXPECT_EQ(model.objectCount, 0);
    for (const Bytes& wrong : {Bytes{0x4C, 0x4D, 6, 0, 0, 0}, Bytes{0x4D, 0x4D, 6, 0, 0}}) {
        const Imported r = importBytes(wrong);
        EXPECT_FALSE(r.loaded);
        EXPECT_EQ(r.output, "Error - Unable to load PRIMARY chuck from file: t.3ds\n");
        EXPECT_EQ(r.model.objectCount + r.model.materialCount, 0);
    }
}

} // namespace

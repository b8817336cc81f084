#include "assets/model_list.h"
#include "assets/vertex_normals.h"
#include "tests/assets/fake_gl.h"

#include <gtest/gtest.h>

namespace {

MeshObject triangleObject(int materialIndex, bool textured, std::vector<Vec2f> texCoords = {}) {
    MeshObject o;
    o.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    o.faces = {{0, 1, 2}};
    o.texCoords = std::move(texCoords);
    o.materialIndex = materialIndex;
    o.textured = textured;
    return o;
}

// Counts from the arrays, normals, then the list as the stand-in recorded it.
std::vector<std::string> compile(MeshModel& model) {
    model.objectCount = int(model.objects.size());
    model.materialCount = int(model.materials.size());
    for (MeshObject& o : model.objects) {
        o.vertexCount = int(o.vertices.size());
        o.faceCount = int(o.faces.size());
        o.texCoordCount = int(o.texCoords.size());
    }
    computeVertexNormals(model);
    resetFakeGl();
    compileModelList(model);
    return glCallLog;
}

TEST(ModelList, ColourComesFromTheMaterialUnlessTextured) {
    MeshModel model;
    model.materials = {MeshMaterial{"", "", {10, 20, 30}}};
    model.objects.push_back(triangleObject(0, false)); // never named a material: still material 0
    compile(model);
    EXPECT_EQ(glCallsStartingWith("glColor3ub 10 20 30").size(), 3u);
    EXPECT_EQ(glCallLog[2], "glDisable 3553");

    model.objects[0].materialIndex = -1;
    compile(model);
    EXPECT_EQ(glCallsStartingWith("glColor3ub"),
              std::vector<std::string>{"glColor3ub 255 255 255"});
}

TEST(ModelList, TexturedObjectsBindNameZeroAndSendWhatCoordinatesExist) {
    MeshModel model;
    model.materials.resize(1);
    model.objects.push_back(triangleObject(0, true));
    model.objects.push_back(triangleObject(40, true, {{0.5f, 0.25f}, {1, 1}}));
    compile(model);
    EXPECT_EQ(glCallsStartingWith("glEnable 3553").size(), 2u);
    EXPECT_EQ(glCallsStartingWith("glBindTexture"),
              (std::vector<std::string>{"glBindTexture 3553 0", "glBindTexture 3553 0"}));
    // The first object has no coordinates; the second lacks one for its third vertex.
    EXPECT_EQ(glCallsStartingWith("glTexCoord2f"),
              (std::vector<std::string>{"glTexCoord2f 0.5 0.25", "glTexCoord2f 1 1",
                                        "glTexCoord2f 0 0"}));
    EXPECT_EQ(glCallsStartingWith("glColor3ub").size(), 2u); // white, once per object
}

TEST(ModelList, FacesNamingVerticesOutsideTheArraysAreLeftOutWhole) {
    MeshModel model;
    EXPECT_EQ(compile(model),
              (std::vector<std::string>{"glGenLists 1", "glNewList 1 4864", "glEndList"}));
    model.objects = {triangleObject(0, false), triangleObject(0, false)};
    model.objects[0].faces = {{0, 1, 7}, {2, 1, 0}, {-1, 0, 1}};
    model.objects[1].faces.clear();
    compile(model);
    EXPECT_EQ(
        glCallsStartingWith("glVertex3f"),
        (std::vector<std::string>{"glVertex3f 0 1 0", "glVertex3f 1 0 0", "glVertex3f 0 0 0"}));
    EXPECT_EQ(glCallsStartingWith("glBegin").size(), 2u); // the face-less object too
    EXPECT_EQ(glCallsStartingWith("glNormal3f").size(), 3u);
}

} // namespace

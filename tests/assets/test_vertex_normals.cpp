#include "assets/vertex_normals.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

MeshModel oneObject(std::vector<Vec3f> vertices, std::vector<MeshFace> faces) {
    MeshModel model;
    model.objectCount = 1;
    model.objects.resize(1);
    MeshObject& o = model.objects[0];
    o.vertexCount = int(vertices.size());
    o.faceCount = int(faces.size());
    o.vertices = std::move(vertices);
    o.faces = std::move(faces);
    computeVertexNormals(model);
    return model;
}

void expectVec(Vec3f v, Vec3f e) {
    EXPECT_TRUE(std::fabs(v.x - e.x) + std::fabs(v.y - e.y) + std::fabs(v.z - e.z) < 3e-6f)
        << v.x << " " << v.y << " " << v.z;
}

// Counter-clockwise faces point towards the viewer; a shared vertex leans towards the larger
// face.
TEST(VertexNormals, WindingAndAreaWeighting) {
    // The triangle across the three axes, counter-clockwise seen from (1, 1, 1).
    const std::vector<Vec3f> triangle = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const MeshModel ccw = oneObject(triangle, {{0, 1, 2}}), cw = oneObject(triangle, {{0, 2, 1}});
    const float k = 1 / std::sqrt(3.0f);
    for (int v = 0; v < 3; ++v) {
        expectVec(ccw.objects[0].normals[v], {k, k, k});
        expectVec(cw.objects[0].normals[v], {-k, -k, -k});
    }
    // Vertex 0 joins a face of area 2 facing +z and a face of area 0.5 facing +y.
    const MeshModel m =
        oneObject({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, -1}, {1, 0, 0}}, {{0, 1, 2}, {0, 4, 3}});
    const float length = std::sqrt(4.0f + 0.25f);
    expectVec(m.objects[0].normals[0], {0, 0.5f / length, 2 / length});
    expectVec(m.objects[0].normals[3], {0, 1, 0});
}

TEST(VertexNormals, NoDirectionGivesTheFallbackAndNothingIsReadOutside) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const MeshModel m = oneObject({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {5, 5, 5}, {nan, 0, 0}},
                                  {{0, 1, 2}, {0, 1, 9}, {-1, 0, 1}, {4, 0, 1}});
    ASSERT_EQ(m.objects[0].normals.size(), 5u);
    // Vertex 3 is unused; 0..2 only meet a zero-area face (or faces naming outside vertices);
    // 4 is not a number.
    for (const Vec3f& n : m.objects[0].normals) expectVec(n, fallbackNormal);
    EXPECT_EQ(oneObject({{1, 2, 3}}, {}).objects[0].normals.size(), 1u);
}

} // namespace

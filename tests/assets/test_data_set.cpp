#include "assets/data_set.h"
#include "assets/model_reader.h"
#include "assets/tga_image.h"
#include "assets/vertex_normals.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

MeshModel importQuietly(const std::vector<unsigned char>& bytes) {
    MeshModel model;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(ModelReader{}.importBytes(model, bytes.data(), bytes.size(), "piece"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    return model;
}

struct Box {
    float min[3] = {1e9f, 1e9f, 1e9f}, max[3] = {-1e9f, -1e9f, -1e9f};
};

// The scene's piece rotations: 90 degrees about x for limb links, 180 for the foot.
Box boundsInRobotFrame(const MeshObject& o, bool foot) {
    Box box;
    for (const Vec3f& v : o.vertices) {
        const float p[3] = {v.x, foot ? -v.y : -v.z, foot ? -v.z : v.y};
        for (int k = 0; k < 3; ++k) box.min[k] = std::min(box.min[k], p[k]);
        for (int k = 0; k < 3; ++k) box.max[k] = std::max(box.max[k], p[k]);
    }
    return box;
}

// Positive when every face is wound counter-clockwise seen from outside a closed mesh.
double signedVolume(const MeshObject& o) {
    double volume = 0;
    for (const MeshFace& f : o.faces) {
        const Vec3f a = o.vertices[f.a], b = o.vertices[f.b], c = o.vertices[f.c];
        volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                   a.z * (b.x * c.y - b.y * c.x)) /
                  6.0;
    }
    return volume;
}

TEST(DataSet, LimbLinkRunsFromJointToJointAlongX) {
    const MeshModel model = importQuietly(makeBasicPiece());
    ASSERT_EQ(model.objectCount, 2);
    for (const MeshObject& o : model.objects) EXPECT_GT(signedVolume(o), 0);
    const Box link = boundsInRobotFrame(model.objects[0], false);
    const Box axles = boundsInRobotFrame(model.objects[1], false);
    // Rounded ends centred on the joints at x = 0 and x = 1, the bar centred on the x axis.
    const double got[] = {link.min[0], link.max[0], axles.min[0], axles.max[0],
                          link.min[1], link.max[1], link.max[2],  axles.min[2]};
    const double want[] = {-linkHalfWidth, 1 + linkHalfWidth, -jointRadius,  1 + jointRadius,
                           -linkHalfWidth, linkHalfWidth,     linkHalfDepth, -jointHalfDepth};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << i;
    // Every face of the bar faces away from the axis joining the joints (mid: 3 x centroid).
    const MeshObject& bar = model.objects[0];
    for (const MeshFace& f : bar.faces) {
        const Vec3f a = bar.vertices[f.a], b = bar.vertices[f.b], c = bar.vertices[f.c];
        const Vec3f n = cross(difference(b, a), difference(c, a)), mid = sum(sum(a, b), c);
        const float out[3] = {mid.x - std::clamp(mid.x, 0.0f, 3.0f), mid.y, mid.z};
        EXPECT_GT(n.x * out[0] + n.y * out[1] + n.z * out[2], 0);
    }
}

TEST(DataSet, FootStandsOnTheGroundUnderTheAnkle) {
    const MeshModel model = importQuietly(makeFootPiece());
    ASSERT_EQ(model.objectCount, 2);
    constexpr double scale = 0.45, chainStart = 0.05; // metres above the ground
    double lowest = 1e9, heel = 1e9, toe = -1e9;
    for (const MeshObject& o : model.objects) {
        EXPECT_GT(signedVolume(o), 0);
        const Box box = boundsInRobotFrame(o, true);
        lowest = std::min(lowest, chainStart + scale * box.min[1]);
        heel = std::min(heel, scale * box.min[0]);
        toe = std::max(toe, scale * box.max[0]);
    }
    EXPECT_NEAR(lowest, 0.0, 1e-6);
    EXPECT_NEAR(toe - heel, 0.3, 0.005);
    EXPECT_LT(heel, -0.05); // the ankle sits over the foot, towards the heel
    EXPECT_GT(toe, 0.15);
}

// GL 1.1 takes only square powers of two; the mountains strip needs its alpha.
TEST(DataSet, ImagesAreAcceptedPowersOfTwo) {
    const std::vector<DataFile> files = makeDataSet();
    for (int i = 0; i < sceneImageCount; ++i) {
        const DataFile& file = files[2 + i];
        TgaTexture t;
        ASSERT_EQ(decodeTgaImage(t, file.bytes.data(), file.bytes.size()), TgaStatus::loaded);
        EXPECT_TRUE(t.width == t.height && (t.width & (t.width - 1)) == 0) << file.name;
        EXPECT_EQ(t.bitsPerPixel, SceneImage(i) == SceneImage::mountains ? 32u : 24u);
    }
}

// A box face (the plane p[axis] = at) and the texture coordinates of a box point on it, as the
// scene's quads lay them out: s = (50 + sx x + sz z) / 100, t = (t0 + ty y + tz z) / 100.
struct Face {
    SceneImage image;
    int axis;
    double at, sx, sz, t0, ty, tz;
    double s(const double p[3]) const { return (50 + sx * p[0] + sz * p[2]) / 100; }
    double t(const double p[3]) const { return (t0 + ty * p[1] + tz * p[2]) / 100; }
};

TEST(DataSet, BoxFacesMeetWithoutSeams) {
    const Face faces[] = {
        {SceneImage::bottom, 1, 0, -1, 0, 50, 0, 1}, {SceneImage::back, 2, -50, 1, 0, 0, 1, 0},
        {SceneImage::left, 0, -50, 0, -1, 0, 1, 0},  {SceneImage::right, 0, 50, 0, 1, 0, 1, 0},
        {SceneImage::top, 1, 100, -1, 0, 50, 0, -1}, {SceneImage::front, 2, 50, -1, 0, 0, 1, 0}};
    constexpr int size = 128;
    std::vector<std::vector<unsigned char>> pixels;
    for (const Face& f : faces) pixels.push_back(renderSceneImage(f.image, size));
    auto texel = [&](int face, const double p[3], int channel) {
        const Face& f = faces[face];
        const auto index = [](double c) { return std::clamp(int(c * size), 0, size - 1); };
        const int column = index(f.s(p)), row = index(f.t(p));
        return pixels[face][(row * size + column) * 3 + channel];
    };
    for (int a = 0; a < 6; ++a)
        for (int b = a + 1; b < 6; ++b) {
            if (faces[a].axis == faces[b].axis) continue;
            const int along = 3 - faces[a].axis - faces[b].axis;
            double difference = 0;
            for (int i = 0; i < size; ++i) {
                double p[3];
                p[faces[a].axis] = faces[a].at;
                p[faces[b].axis] = faces[b].at;
                p[along] = along == 1 ? (i + 0.5) * 100 / size : (i + 0.5) * 100 / size - 50;
                for (int c = 0; c < 3; ++c) difference += std::abs(texel(a, p, c) - texel(b, p, c));
            }
            // Texels either side of an edge lie 0.8 m apart; a mismatched edge differs by tens.
            EXPECT_LT(difference / (3 * size), 4.0) << "faces " << a << " and " << b;
        }
}

} // namespace

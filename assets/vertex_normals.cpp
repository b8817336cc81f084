#include "assets/vertex_normals.h"

#include <cfloat>
#include <cmath>

Vec3f difference(Vec3f a, Vec3f b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3f sum(Vec3f a, Vec3f b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3f divide(Vec3f v, float scalar) {
    return {v.x / scalar, v.y / scalar, v.z / scalar};
}

Vec3f cross(Vec3f a, Vec3f b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3f normalise(Vec3f v) {
    const float squared = v.z * v.z + v.y * v.y + v.x * v.x;
    if (std::isfinite(squared) && squared >= FLT_MIN) return divide(v, std::sqrt(squared));
    // Squares that overflow, underflow or turn subnormal (losing precision) leave the float
    // range; double holds them exactly enough.
    const double x = v.x, y = v.y, z = v.z;
    const double wide = std::sqrt(z * z + y * y + x * x);
    if (!std::isfinite(wide) || wide == 0.0) return fallbackNormal;
    return {float(x / wide), float(y / wide), float(z / wide)};
}

namespace {

void computeObjectNormals(MeshObject& object) {
    const int vertexCount = int(object.vertices.size());
    std::vector<Vec3f> sums(vertexCount, Vec3f{0, 0, 0});
    std::vector<int> counts(vertexCount, 0);
    // One pass in face order: each face adds its raw normal once to each vertex it names.
    for (const MeshFace& f : object.faces) {
        if (!faceInside(f, vertexCount)) continue;
        const Vec3f p0 = object.vertices[f.a], p1 = object.vertices[f.b];
        const Vec3f p2 = object.vertices[f.c];
        const Vec3f raw = cross(difference(p0, p2), difference(p2, p1));
        const int named[3] = {f.a, f.b, f.c};
        for (int k = 0; k < 3; ++k) {
            if ((k > 0 && named[k] == named[0]) || (k > 1 && named[k] == named[1])) continue;
            sums[named[k]] = sum(sums[named[k]], raw);
            ++counts[named[k]];
        }
    }
    object.normals.assign(vertexCount, fallbackNormal);
    for (int v = 0; v < vertexCount; ++v) {
        // The raw normal is the clockwise one; dividing by -count turns it round.
        if (counts[v] > 0) object.normals[v] = normalise(divide(sums[v], -float(counts[v])));
    }
}

} // namespace

void computeVertexNormals(MeshModel& model) {
    for (int i = 0; i < model.objectCount && i < int(model.objects.size()); ++i) {
        computeObjectNormals(model.objects[i]);
    }
}

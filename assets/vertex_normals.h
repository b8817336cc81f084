// Per-vertex normals for smooth lighting of the robot's meshes, and the vector operations
// they are built from. importFile calls computeVertexNormals as its last step.
//
// Offers: difference, sum, divide, cross, normalise, computeVertexNormals.
#pragma once

#include "assets/mesh_model.h"

Vec3f difference(Vec3f a, Vec3f b);
Vec3f sum(Vec3f a, Vec3f b);
Vec3f divide(Vec3f v, float scalar);
Vec3f cross(Vec3f a, Vec3f b);
// v / |v|. A zero, non-finite or otherwise unusable vector gives fallbackNormal.
Vec3f normalise(Vec3f v);

// Stands in where no face gives a direction: straight up in the model's Y-up axes.
constexpr Vec3f fallbackNormal = {0.0f, 1.0f, 0.0f};

// Fills every object's normals (vertexCount entries): each the unit vector along the
// area-weighted sum of the normals of the faces that use the vertex, faces wound a, b, c
// counter-clockwise. Vertices no face uses, or whose faces all have zero area, get
// fallbackNormal. Faces naming a vertex outside the arrays are left out.
void computeVertexNormals(MeshModel& model);

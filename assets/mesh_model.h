// The in-memory meshes the 3DS reader fills and the display-list step draws.
//
// Offers: Vec3f, Vec2f, MeshFace, faceInside, MeshMaterial, MeshObject, MeshModel.
// Axes: vertices and normals are held Y-up (the reader turns the file's Z-up (x, y, z) into
// (x, z, -y)); lengths are in the model's own units, which the scene scales when drawing.
// Every count equals the length of its array, so a loop bounded by a count stays inside it.
#pragma once

#include <vector>

struct Vec3f {
    float x, y, z;
};

struct Vec2f {
    float u, v;
};

// One triangle: vertex indices a, b, c as stored. They are not checked against the
// object's arrays; every user checks them before indexing.
struct MeshFace {
    int a, b, c;
};

// True when all three indices name one of vertexCount vertices.
inline bool faceInside(const MeshFace& f, int vertexCount) {
    return f.a >= 0 && f.a < vertexCount && f.b >= 0 && f.b < vertexCount && f.c >= 0 &&
           f.c < vertexCount;
}

constexpr int meshNameSize = 255; // bytes, terminator included

struct MeshMaterial {
    char name[meshNameSize];    // zero-terminated, at most 254 characters
    char mapFile[meshNameSize]; // texture map file name; empty when untextured
    unsigned char colour[3];    // diffuse red, green, blue
};

struct MeshObject {
    int vertexCount = 0;   // entries of vertices and normals
    int faceCount = 0;     // entries of faces
    int texCoordCount = 0; // entries of texCoords
    int materialIndex = 0; // into MeshModel::materials; -1 when its material was not found
    bool textured = false; // its material was found and names a texture map
    char name[meshNameSize] = {};
    std::vector<Vec3f> vertices; // Y-up
    std::vector<Vec3f> normals;  // unit, one per vertex
    std::vector<Vec2f> texCoords;
    std::vector<MeshFace> faces;
};

struct MeshModel {
    int objectCount = 0;   // entries of objects
    int materialCount = 0; // entries of materials
    std::vector<MeshMaterial> materials;
    std::vector<MeshObject> objects;
};

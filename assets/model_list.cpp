#include "assets/model_list.h"

#include <GL/gl.h>

#include <algorithm>

const unsigned int materialTextureNames[materialTextureSlots] = {};

namespace {

GLuint textureForMaterial(int materialIndex) {
    if (materialIndex < 0 || materialIndex >= materialTextureSlots) return 0;
    return materialTextureNames[materialIndex];
}

void emitObject(const MeshModel& model, const MeshObject& object) {
    if (object.textured) {
        glEnable(GL_TEXTURE_2D);
        glColor3ub(255, 255, 255);
        glBindTexture(GL_TEXTURE_2D, textureForMaterial(object.materialIndex));
    } else {
        glDisable(GL_TEXTURE_2D);
        glColor3ub(255, 255, 255);
    }
    const bool sendTexCoords = object.textured && !object.texCoords.empty();
    const MeshMaterial* material = nullptr;
    if (!object.textured && object.materialIndex >= 0 &&
        object.materialIndex < int(model.materials.size())) {
        material = &model.materials[object.materialIndex];
    }
    const int vertexCount = int(std::min(object.vertices.size(), object.normals.size()));
    const int texCoordCount = int(object.texCoords.size());

    glBegin(GL_TRIANGLES);
    for (const MeshFace& face : object.faces) {
        // Half a triangle would pair up wrongly with the next ones, so the whole face goes.
        if (!faceInside(face, vertexCount)) continue;
        for (const int v : {face.a, face.b, face.c}) {
            const Vec3f& normal = object.normals[v];
            glNormal3f(normal.x, normal.y, normal.z);
            if (sendTexCoords) {
                const Vec2f uv = v < texCoordCount ? object.texCoords[v] : Vec2f{0, 0};
                glTexCoord2f(uv.u, uv.v);
            }
            if (material) glColor3ub(material->colour[0], material->colour[1], material->colour[2]);
            const Vec3f& p = object.vertices[v];
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
}

} // namespace

unsigned int compileModelList(const MeshModel& model) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    for (int i = 0; i < model.objectCount && i < int(model.objects.size()); ++i) {
        emitObject(model, model.objects[i]);
    }
    glEndList();
    return list;
}

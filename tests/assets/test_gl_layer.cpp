// The display-list compile and the texture upload, linked against the stand-in for the GL
// library below: it keeps what every vertex and upload was sent with, so what a list or an
// upload means is checked without a window.
#include "assets/asset_writer.h"
#include "assets/model_list.h"
#include "assets/tga_texture.h"
#include "assets/vertex_normals.h"
#include "tests/assets/temp_file.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

struct SentVertex {
    float position[3], normal[3], texCoord[2];
    int colour[3];  // the current colour, 0..255
    bool texturing; // GL_TEXTURE_2D enabled
    GLuint texture; // bound
};

struct Upload {
    GLenum internalFormat, format;
    int width, height, alignment; // GL_UNPACK_ALIGNMENT in force
};

struct FakeGl {
    std::vector<SentVertex> vertices;
    std::vector<Upload> uploads;
    int maxSide = 64, alignment = 4; // GL_MAX_TEXTURE_SIZE, GL_UNPACK_ALIGNMENT
    GLfloat minFilter = 0, magFilter = 0;
    bool texturing = false;
    GLuint bound = 0, nextName = 1;
    SentVertex current{};
} gl;

} // namespace

// One line a call where it fits: the stand-in is a table of what each call keeps.
// clang-format off
extern "C" {
GLuint glGenLists(GLsizei) { return gl.nextName++; }
void glNewList(GLuint, GLenum) {}
void glEndList() {}
void glBegin(GLenum) {}
void glEnd() {}
void glEnable(GLenum cap) { gl.texturing = gl.texturing || cap == GL_TEXTURE_2D; }
void glDisable(GLenum cap) { gl.texturing = gl.texturing && cap != GL_TEXTURE_2D; }
void glBindTexture(GLenum, GLuint texture) { gl.bound = texture; }
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) {
    gl.current.colour[0] = r, gl.current.colour[1] = g, gl.current.colour[2] = b;
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    gl.current.normal[0] = x, gl.current.normal[1] = y, gl.current.normal[2] = z;
}
void glTexCoord2f(GLfloat s, GLfloat t) { gl.current.texCoord[0] = s, gl.current.texCoord[1] = t; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    gl.current.position[0] = x, gl.current.position[1] = y, gl.current.position[2] = z;
    gl.current.texturing = gl.texturing, gl.current.texture = gl.bound;
    gl.vertices.push_back(gl.current);
}
void glGenTextures(GLsizei, GLuint* textures) { *textures = gl.nextName++; }
void glTexParameterf(GLenum, GLenum name, GLfloat value) {
    (name == GL_TEXTURE_MIN_FILTER ? gl.minFilter : gl.magFilter) = value;
}
void glGetIntegerv(GLenum name, GLint* value) {
    *value = name == GL_MAX_TEXTURE_SIZE ? gl.maxSide : gl.alignment;
}
void glPixelStorei(GLenum, GLint value) { gl.alignment = value; }
void glTexImage2D(GLenum, GLint, GLint internalFormat, GLsizei width, GLsizei height, GLint,
                  GLenum format, GLenum, const void*) {
    gl.uploads.push_back({GLenum(internalFormat), format, width, height, gl.alignment});
}
}
// clang-format on

namespace {

MeshObject triangle(int materialIndex, bool textured, std::vector<Vec2f> texCoords = {}) {
    MeshObject o;
    o.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    o.vertexCount = 3;
    o.faces = {{0, 1, 2}};
    o.texCoords = std::move(texCoords);
    o.materialIndex = materialIndex;
    o.textured = textured;
    return o;
}

std::vector<SentVertex> compile(MeshModel model) {
    model.objectCount = int(model.objects.size());
    model.materialCount = int(model.materials.size());
    computeVertexNormals(model);
    gl = {};
    compileModelList(model);
    return gl.vertices;
}

TEST(ModelList, UntexturedObjectsTakeTheirMaterialsColourTexturedOnesTheirCoordinates) {
    MeshModel model;
    model.materials = {MeshMaterial{"", "", {10, 20, 30}}};
    model.objects = {triangle(0, false), triangle(-1, false),
                     triangle(0, true, {{0.5f, 0.25f}, {1, 1}})};
    model.objects[1].faces.push_back({2, 1, 3}); // names a vertex outside: left out whole
    const std::vector<SentVertex> sent = compile(model);
    ASSERT_EQ(sent.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        const int object = i / 3;
        EXPECT_EQ(sent[i].colour[1], object == 0 ? 20 : 255) << i; // no material found: white
        EXPECT_EQ(sent[i].texturing, object == 2) << i;
        EXPECT_EQ(sent[i].texture, 0u); // nothing fills the material texture table
        EXPECT_EQ(sent[i].normal[2], 1.0f);
        EXPECT_EQ(sent[i].position[0] + sent[i].position[1], i % 3 == 0 ? 0 : 1);
    }
    // The third vertex has no coordinates of its own.
    EXPECT_EQ(sent[7].texCoord[0], 1.0f);
    EXPECT_EQ(sent[8].texCoord[0] + sent[8].texCoord[1], 0.0f);
}

std::string tgaFile(int width, int height, int bits) {
    const std::vector<unsigned char> pixels(std::size_t(width) * height * bits / 8, 7);
    return writeTempFile(encodeTga(width, height, bits, pixels), "orva_gl_layer.tga");
}

TEST(TgaTexture, UploadsTightlyPackedRowsWithLinearFilteringAndRestoresTheAlignment) {
    for (const int bits : {24, 32}) {
        gl = {};
        gl.alignment = 8;
        TgaTexture texture;
        ASSERT_TRUE(loadTgaTexture(texture, tgaFile(3, 2, bits).c_str()));
        ASSERT_EQ(gl.uploads.size(), 1u);
        const Upload& up = gl.uploads[0];
        const GLenum format = bits == 32 ? GL_RGBA : GL_RGB;
        EXPECT_TRUE(up.format == format && up.internalFormat == format);
        EXPECT_EQ(up.width * 10 + up.height, 32);
        EXPECT_EQ(up.alignment, 1); // rows of 9 bytes
        EXPECT_EQ(gl.alignment, 8);
        EXPECT_TRUE(gl.minFilter == GL_LINEAR && gl.magFilter == GL_LINEAR);
        EXPECT_NE(texture.textureName, 0u);
        EXPECT_EQ(gl.bound, texture.textureName);
    }
    // An image above GL's largest texture makes no texture.
    gl = {};
    TgaTexture tooLarge;
    EXPECT_FALSE(loadTgaTexture(tooLarge, tgaFile(gl.maxSide + 1, 1, 24).c_str()));
    EXPECT_TRUE(tooLarge.pixels.empty() && tooLarge.textureName == 0);
    EXPECT_TRUE(gl.nextName == 1 && gl.uploads.empty());
}

} // namespace

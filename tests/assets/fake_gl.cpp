#include "tests/assets/fake_gl.h"

#include <GL/gl.h>

#include <sstream>

std::vector<std::string> glCallLog;
int fakeUnpackAlignment = 4;

namespace {

GLuint nextName = 1;

template <typename... Args> void logCall(const char* name, Args... args) {
    std::ostringstream line;
    line << name;
    ((line << ' ' << args), ...);
    glCallLog.push_back(line.str());
}

} // namespace

void resetFakeGl() {
    glCallLog.clear();
    fakeUnpackAlignment = 4;
    nextName = 1;
}

std::vector<std::string> glCallsStartingWith(const std::string& prefix) {
    std::vector<std::string> calls;
    for (const std::string& call : glCallLog) {
        if (call.compare(0, prefix.size(), prefix) == 0) calls.push_back(call);
    }
    return calls;
}

extern "C" {

GLuint glGenLists(GLsizei range) {
    logCall("glGenLists", range);
    return nextName++;
}
void glNewList(GLuint list, GLenum mode) {
    logCall("glNewList", list, mode);
}
void glEndList() {
    logCall("glEndList");
}
void glEnable(GLenum cap) {
    logCall("glEnable", cap);
}
void glDisable(GLenum cap) {
    logCall("glDisable", cap);
}
void glBindTexture(GLenum target, GLuint texture) {
    logCall("glBindTexture", target, texture);
}
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) {
    logCall("glColor3ub", int(r), int(g), int(b));
}
void glBegin(GLenum mode) {
    logCall("glBegin", mode);
}
void glEnd() {
    logCall("glEnd");
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    logCall("glNormal3f", x, y, z);
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    logCall("glTexCoord2f", s, t);
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    logCall("glVertex3f", x, y, z);
}
void glGenTextures(GLsizei n, GLuint* textures) {
    logCall("glGenTextures", n);
    for (GLsizei i = 0; i < n; ++i) textures[i] = nextName++;
}
void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
    logCall("glTexParameterf", target, name, value);
}
void glGetIntegerv(GLenum name, GLint* value) {
    if (name == GL_UNPACK_ALIGNMENT) *value = fakeUnpackAlignment;
}
void glPixelStorei(GLenum name, GLint value) {
    logCall("glPixelStorei", name, value);
    if (name == GL_UNPACK_ALIGNMENT) fakeUnpackAlignment = value;
}
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void*) {
    // The alignment in force is part of what the upload means.
    logCall("glTexImage2D", target, level, internalFormat, width, height, border, format, type,
            fakeUnpackAlignment);
}
}

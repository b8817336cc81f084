#include "assets/tga_texture.h"

#include <GL/gl.h>

bool loadTgaTexture(TgaTexture& texture, const char* fileName) {
    // An image GL would refuse is refused before its pixels take memory for the whole run.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (maxSide <= 0) maxSide = GLint(maxTgaSide);
    if (readTgaFile(texture, fileName, std::uint32_t(maxSide)) != TgaStatus::loaded) return false;
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.textureName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(GL_LINEAR));
    const GLenum format = texture.bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
    // A 24-bit row is not always a multiple of the default 4-byte alignment.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), GLsizei(texture.width), GLsizei(texture.height),
                 0, format, GL_UNSIGNED_BYTE, texture.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return true;
}

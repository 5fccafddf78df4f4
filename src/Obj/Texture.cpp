#include "Texture.h"

#include <GL/glu.h>

#include <cassert>

#include "Image.h"

namespace {

// Also true for 0.
bool isPowerOfTwo(GLint n) { return (n & (n - 1)) == 0; }

}  // namespace

CTexture::CTexture(const std::string& fileName)
    : m_textureID(INVALID_ID), m_pImage(new CImage(fileName)) {
    m_isTransparent = m_pImage->isTransparent();
}

GLuint CTexture::getID() const { return m_textureID; }

bool CTexture::isTransparent() const { return m_isTransparent; }

bool CTexture::isRegistred() const { return !m_pImage; }

void CTexture::registerGL() {
    testInvariant();
    assert(!isRegistred());
    // Convert first: when that fails no OpenGL name has been taken yet.
    m_pImage->convertPixelFormat();
    const GLint w = m_pImage->getWidth();
    const GLint h = m_pImage->getHeight();

    glGenTextures(1, &m_textureID);
    glBindTexture(GL_TEXTURE_2D, m_textureID);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // Linear also when mipmaps are built: the levels are not used for filtering.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    if (isPowerOfTwo(w) && isPowerOfTwo(h)) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     m_pImage->getPixels());
    } else {
        // Scales to power-of-two sizes, which older OpenGL requires.
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
                          m_pImage->getPixels());
    }
    // The pixels live in OpenGL from now on.
    m_pImage.reset();
    testInvariant();
}

bool CTexture::operator==(const CTexture& other) const {
    return m_pImage == other.m_pImage && m_textureID == other.m_textureID;
}

void CTexture::testInvariant() const { assert(m_pImage || m_textureID != INVALID_ID); }

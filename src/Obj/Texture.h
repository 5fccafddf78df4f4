#pragma once

#include <GL/gl.h>

#include <boost/shared_ptr.hpp>
#include <string>

class CImage;

// A texture image that is later handed to OpenGL. Built, it holds the image
// and the name INVALID_ID; registerGL() uploads the pixels, keeps the OpenGL
// name and releases the image. Copies share the image.
class CTexture {
public:
    // Marks a texture not yet given to OpenGL (neither 0 nor 0xFFFFFFFF).
    static constexpr GLuint INVALID_ID = 0xFFFFFFFE;

    // Throws CImageLoadException when the image cannot be decoded.
    explicit CTexture(const std::string& fileName);

    GLuint getID() const;
    bool isTransparent() const;
    bool isRegistred() const;
    // Needs a current OpenGL context and an unregistered texture. Throws
    // CImageLoadException, leaving the texture unregistered, when the pixels
    // cannot be converted.
    void registerGL();
    // The same image object (or none) and the same OpenGL name.
    bool operator==(const CTexture& other) const;
    void testInvariant() const;

private:
    GLuint m_textureID;
    bool m_isTransparent;  // decided once, from the image as loaded
    boost::shared_ptr<CImage> m_pImage;
};

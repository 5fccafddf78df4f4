#pragma once

#include <GL/gl.h>

#include <string>

struct SDL_Surface;

// An image file decoded by SDL_image. Rows are in the order of the decoded
// picture: the first row in memory is the top row.
class CImage {
public:
    // Throws CImageLoadException with SDL's error text when the file cannot
    // be decoded.
    explicit CImage(const std::string& fileName);
    ~CImage();

    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // An alpha channel or a nonzero colour key.
    bool isTransparent() const;
    // Replaces the pixels by a 32-bit copy whose bytes are R, G, B, A in
    // memory, as GL_RGBA with GL_UNSIGNED_BYTE reads them; colour-keyed
    // pixels become alpha 0. Throws CImageLoadException with SDL's error
    // text, keeping the image as it was, when the copy cannot be made.
    void convertPixelFormat();
    GLint getWidth() const;
    GLint getHeight() const;
    const void* getPixels() const;
    void testInvariant() const;

private:
    // SDL's function of that name, from the library the constructor opened.
    template <typename Function>
    Function sdl(const char* name) const;

    void* m_library;          // SDL_image, opened by the constructor (first)
    SDL_Surface* m_pSurface;  // owned, never null
};

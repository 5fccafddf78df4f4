#include "Image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cassert>

#include "Exception.h"

CImage::CImage(const std::string& fileName) : m_pSurface(IMG_Load(fileName.c_str())) {
    if (m_pSurface == nullptr) {
        throw CImageLoadException(SDL_GetError());
    }
}

CImage::~CImage() { SDL_FreeSurface(m_pSurface); }

bool CImage::isTransparent() const {
    testInvariant();
    return m_pSurface->format->Amask != 0 || m_pSurface->format->colorkey != 0;
}

void CImage::convertPixelFormat() {
    testInvariant();
    // Masks that put the bytes R, G, B, A in this order in memory.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    const Uint32 rmask = 0x000000FF, gmask = 0x0000FF00, bmask = 0x00FF0000, amask = 0xFF000000;
#else
    const Uint32 rmask = 0xFF000000, gmask = 0x00FF0000, bmask = 0x0000FF00, amask = 0x000000FF;
#endif
    SDL_Surface* converted =
        SDL_CreateRGBSurface(0, m_pSurface->w, m_pSurface->h, 32, rmask, gmask, bmask, amask);
    if (converted == nullptr) {
        throw CImageLoadException(SDL_GetError());
    }
    // Without per-surface alpha blending the blit copies the alpha channel
    // instead of blending with it.
    SDL_SetAlpha(m_pSurface, 0, 0);
    if (SDL_BlitSurface(m_pSurface, nullptr, converted, nullptr) != 0) {
        SDL_FreeSurface(converted);
        throw CImageLoadException(SDL_GetError());
    }
    SDL_FreeSurface(m_pSurface);
    m_pSurface = converted;
}

GLint CImage::getWidth() const {
    testInvariant();
    return m_pSurface->w;
}

GLint CImage::getHeight() const {
    testInvariant();
    return m_pSurface->h;
}

const void* CImage::getPixels() const {
    testInvariant();
    return m_pSurface->pixels;
}

void CImage::testInvariant() const { assert(m_pSurface != nullptr); }

#include "Image.h"

#include <SDL.h>
#include <SDL_image.h>
#include <dlfcn.h>

#include <cassert>

#include "Exception.h"

namespace {

// SDL_image (and SDL with it) is opened by the first image instead of being
// linked: the program reads images only for the preview's mesh, and linking
// would load the libraries' fifty-odd dependencies, sound servers among
// them, at every start, a batch render's included. Never unloaded, so that
// their state lives as long as the program.
void* openSdlImage() {
    void* library = dlopen("libSDL_image-1.2.so.0", RTLD_LAZY | RTLD_NODELETE);
    if (library == nullptr) {
        throw CImageLoadException(dlerror());
    }
    return library;
}

}  // namespace

// Every name asked for is part of the libraries' one binary interface.
template <typename Function>
Function CImage::sdl(const char* name) const {
    void* const symbol = dlsym(m_library, name);
    assert(symbol != nullptr);
    return reinterpret_cast<Function>(symbol);
}

CImage::CImage(const std::string& fileName)
    : m_library(openSdlImage()),
      m_pSurface(sdl<decltype(&IMG_Load)>("IMG_Load")(fileName.c_str())) {
    if (m_pSurface == nullptr) {
        throw CImageLoadException(sdl<decltype(&SDL_GetError)>("SDL_GetError")());
    }
}

CImage::~CImage() { sdl<decltype(&SDL_FreeSurface)>("SDL_FreeSurface")(m_pSurface); }

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
    const auto freeSurface = sdl<decltype(&SDL_FreeSurface)>("SDL_FreeSurface");
    const auto error = sdl<decltype(&SDL_GetError)>("SDL_GetError");
    SDL_Surface* converted = sdl<decltype(&SDL_CreateRGBSurface)>("SDL_CreateRGBSurface")(
        0, m_pSurface->w, m_pSurface->h, 32, rmask, gmask, bmask, amask);
    if (converted == nullptr) {
        throw CImageLoadException(error());
    }
    // Without per-surface alpha blending the blit copies the alpha channel
    // instead of blending with it.
    sdl<decltype(&SDL_SetAlpha)>("SDL_SetAlpha")(m_pSurface, 0, 0);
    // SDL_BlitSurface is this function's macro name.
    if (sdl<decltype(&SDL_UpperBlit)>("SDL_UpperBlit")(m_pSurface, nullptr, converted, nullptr) !=
        0) {
        freeSurface(converted);
        throw CImageLoadException(error());
    }
    freeSurface(m_pSurface);
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

#pragma once

// Small image files for the texture tests, written to the test's temporary
// folder: a 24-bit BMP with a known pattern, a 32-bit TGA with alpha and an
// XPM whose second colour is transparent (a colour key of 1).

#include <SDL.h>

#include <array>
#include <fstream>
#include <string>

#include "test_support.h"

namespace image_files {

// Pixel (x, y) of the pattern, row 0 at the top, as R, G, B.
inline std::array<unsigned char, 3> patternPixel(int x, int y) {
    return {static_cast<unsigned char>(x * 7 + 1), static_cast<unsigned char>(y * 5 + 2),
            static_cast<unsigned char>((x + y) * 3)};
}

inline std::string writeBmp(const std::string& name, int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::array<unsigned char, 3> rgb = patternPixel(x, y);
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            *(p + 0) = rgb[0];
            *(p + 1) = rgb[1];
            *(p + 2) = rgb[2];
        }
    }
    const std::string path = testing_support::tempDir() + "/" + name;
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

// 2 x 1 pixels: (10, 20, 30, 40) then (50, 60, 70, 255), stored B, G, R, A.
inline std::string writeTga(const std::string& name) {
    const unsigned char bytes[18 + 8] = {0, 0, 2, 0,  0,    0,  0,  0,  0,  0,  0,  0,  2,
                                         0, 1, 0, 32, 0x28, 30, 20, 10, 40, 70, 60, 50, 255};
    return testing_support::writeFile(name, std::string(bytes, bytes + sizeof bytes));
}

// 2 x 1 pixels: red, then the transparent colour.
inline std::string writeXpm(const std::string& name) {
    return testing_support::writeFile(name,
                                      "/* XPM */\nstatic char * a[] = {\n\"2 1 2 1\",\n\"r c "
                                      "#FF0000\",\n\". c None\",\n\"r.\"};\n");
}

}  // namespace image_files

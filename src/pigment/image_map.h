#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "color.h"
#include "vector3.h"

class TokenViews;

// A picture laid over space. Planar (map type 0): the image's unit square
// on the x-y plane, upright, its top row at y = 1 and its left column at
// x = 0. Spherical (1): around the origin, longitude across, the top row at
// the north pole (+y). Cylindrical (2): around the y axis, the image one
// unit high from y = 0 up. Repeated in every direction unless `once`, which
// leaves black outside the one copy.
class ImageMap {
public:
    enum class Projection { Planar = 0, Spherical = 1, Cylindrical = 2 };

    // width x height colours, the top row first; both at least 1.
    ImageMap(int width, int height, std::vector<Color> pixels, Projection projection, bool once,
             bool interpolate);

    Color at(const Point& p) const;
    // The colour at image coordinates u (0 at the left) and v (0 at the
    // bottom), repeated, as a model's texture coordinates give them.
    Color atUV(double u, double v) const { return sample(u, v); }
    // The average of the pixels: what the preview draws.
    Color average() const;

private:
    // The colour at image coordinates u (0 at the left) and v (0 at the
    // bottom), wrapped into the unit square.
    Color sample(double u, double v) const;
    const Color& pixel(long long column, long long row) const;

    int m_width;
    int m_height;
    std::vector<Color> m_pixels;
    Projection m_projection;
    bool m_once;
    bool m_interpolate;
};

// Reads the picture of a file: PNG through libpng, BMP through the
// project's loader. Throws SceneError naming the file when it cannot.
std::vector<Color> readPicture(const std::string& path, bool png, int& width, int& height);

// The image_map block from its keyword: "image_map png "file.png" [map_type
// n] [once] [interpolate n]" (bmp in place of png). A relative name is
// found in the folder of the tokens' scene file (TokenViews::sceneFile);
// a queue of strings names no scene file, and then, as for views without
// one, in the working directory.
std::shared_ptr<const ImageMap> readImageMap(std::deque<std::string>& tokens);
std::shared_ptr<const ImageMap> readImageMap(TokenViews& tokens);

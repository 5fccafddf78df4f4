#pragma once

#include <deque>
#include <memory>
#include <string>

#include "color.h"
#include "matrix4x4.h"
#include "vector3.h"

class ImageMap;
class TokenViews;

// A colour that varies over space, evaluated at each hit point of the
// objects that have one; every other object keeps its one colour.
class Pigment {
public:
    // Unit cubes of space alternate between a and b; the cube holding the
    // origin's corner (0..1 on every axis) is a.
    static Pigment checker(const Color& a, const Color& b);
    // The picture of an image map.
    static Pigment imageMap(std::shared_ptr<const ImageMap> image);

    // The same pattern seen at toPattern * p: a map from the scene to the
    // space the pattern was written in. Unmoved patterns take no map at all.
    Pigment movedBy(const Matrix4x4& toPattern) const;

    Color at(const Point& p) const;
    // The colour that stands for the whole pigment: the preview draws it.
    const Color& base() const { return m_a; }

private:
    Pigment(const Color& a, const Color& b) : m_a(a), m_b(b) {}

    Color m_a;
    Color m_b;
    std::shared_ptr<const ImageMap> m_image;  // null for a checker
    bool m_moved = false;
    Matrix4x4 m_toPattern;  // used only when moved
};

// The pattern of a pigment statement, from the token after "pigment"
// ("checker color rgb <a> color rgb <b>", or an image_map block); null when that token starts no
// pattern, and then nothing is consumed. Throws SceneError for a pattern it
// cannot read.
// Whether the token after "pigment" starts a pattern: the quick test that
// spares a plain colour the reader's call.
template <typename Tokens>
bool startsPattern(const Tokens& tokens) {
    return !tokens.empty() && (tokens.front() == "checker" || tokens.front() == "image_map");
}
std::shared_ptr<const Pigment> readPigmentPattern(std::deque<std::string>& tokens);
std::shared_ptr<const Pigment> readPigmentPattern(TokenViews& tokens);

#pragma once

#include <deque>
#include <string>

#include "color.h"

class TokenViews;

// What a ray meets where there is no object, and on its way to one: the
// background colour of a ray that hits nothing, and a fog that blends every
// ray's colour towards its own with the distance travelled. The defaults,
// black and no fog, leave every colour as it was.
struct Atmosphere {
    Color background;        // black
    double fogDistance = 0;  // 0: no fog; else exp(-t / fogDistance) keeps a colour's share
    Color fogColor;

    bool foggy() const { return fogDistance > 0; }
    // The colour of a ray that hits nothing.
    Color miss() const { return foggy() ? fogColor : background; }
    // The colour seen through the fog of a hit `distance` away.
    Color fogged(const Color& seen, double distance) const;

    bool operator==(const Atmosphere& other) const;
};

// The background statement ("background color rgb r g b"), from its keyword.
void readBackground(std::deque<std::string>& tokens, Atmosphere& atmosphere);
void readBackground(TokenViews& tokens, Atmosphere& atmosphere);
// The fog statement ("fog distance d color rgb r g b", the two items in
// either order), from its keyword. Throws SceneError for a distance that is
// not positive.
void readFog(std::deque<std::string>& tokens, Atmosphere& atmosphere);
void readFog(TokenViews& tokens, Atmosphere& atmosphere);

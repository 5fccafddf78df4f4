#pragma once

#include <deque>
#include <string>

#include "lighting/atmosphere.h"
#include "matrix4x4.h"
#include "trace/lens.h"
#include "vector3.h"

class TokenViews;

// Pinhole camera. The image window lies at distance 1 in front of the eye;
// its width is |right| and its height |up|. Pixel (0, 0) is the top left.
struct Camera {
    Vector3 eye;
    Vector3 up;
    Vector3 right;  // only its length is used
    Vector3 lookAt;
    int xRes;
    int yRes;
    Lens lens;  // a pinhole unless the statement asks for depth of field
    // The scene's background and fog, which the camera sees through. Read
    // from their own statements; a camera statement keeps them.
    Atmosphere atmosphere;

    // Left unset like a plain struct; the global camera starts zeroed.
    // cppcheck-suppress uninitMemberVar
    Camera() = default;
    Camera(const Vector3& eye, const Vector3& up, const Vector3& right, const Vector3& lookAt,
           int xRes, int yRes);

    // The camera statement. Keys left out are zero. "angle" sets the
    // window's width, 2 tan(angle / 2), whatever the order of the keys.
    static Camera parse(std::deque<std::string>& tokens, int xRes, int yRes);
    static Camera parse(TokenViews& tokens, int xRes, int yRes);

    double pixelToScreenX(int x) const;
    double pixelToScreenY(int y) const;
    Vector3 pixelToScreen(int x, int y) const;
    // The screen point at a position within the image given in pixel steps:
    // pixel (x, y) is seen through screenPoint(x + 0.5, y + 0.5), which is
    // pixelToScreen(x, y) with the same bits.
    Vector3 screenPoint(double x, double y) const;
    // screenPoint's coordinates, each a function of one position, so that a
    // render can work them out once per column and once per row.
    double screenX(double x) const;
    double screenY(double y) const;

    // Camera-to-world rotation with columns u, v, w. Prints the basis and
    // throws SceneError when it is not orthogonal.
    Matrix4x4 vectorTransform() const;
    // The same rotation and check without printing, for views the user asks
    // to save rather than the render the program reports.
    Matrix4x4 quietVectorTransform() const;
    Matrix4x4 translate() const;
    Matrix4x4 transform() const;
    // Moves eye and lookAt by mag along the view direction.
    void zoom(double mag);
};

// The width of the window at distance 1 for a horizontal field of view of
// angleDegrees: 2 tan(angle / 2).
double windowWidth(double angleDegrees);

#include "shapes/transform.h"

#include <algorithm>
#include <cmath>

namespace {

Matrix4x4 identity() {
    return Matrix4x4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

// Sine and cosine of an angle in degrees, exact at the multiples of 90 so
// that a quarter turn maps axes onto axes without rounding noise.
void sineCosine(double degrees, double& s, double& c) {
    const double turns = degrees / 90.0;
    if (turns == std::floor(turns) && std::fabs(turns) < 1e15) {
        const long long quarter = static_cast<long long>(turns) % 4;
        static const double sines[4] = {0, 1, 0, -1};
        const auto index = static_cast<std::size_t>((quarter + 4) % 4);
        s = sines[index];
        c = sines[(index + 1) % 4];
        return;
    }
    const double radians = degrees * (M_PI / 180.0);
    s = std::sin(radians);
    c = std::cos(radians);
}

// The turn by an angle about one axis (0 x, 1 y, 2 z); the inverse is
// the transpose.
Matrix4x4 turn(int axis, double degrees) {
    double s, c;
    sineCosine(degrees, s, c);
    Matrix4x4 r = identity();
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    r.m[a][a] = c;
    r.m[a][b] = -s;
    r.m[b][a] = s;
    r.m[b][b] = c;
    return r;
}

Matrix4x4 transpose(const Matrix4x4& m) {
    Matrix4x4 t;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            t.m[i][j] = m.m[j][i];
        }
    }
    return t;
}

}  // namespace

Transform::Transform() : toWorld(identity()), toObject(identity()) {}

void Transform::append(const Matrix4x4& step, const Matrix4x4& stepInverse) {
    toWorld = step * toWorld;
    toObject = toObject * stepInverse;
}

void Transform::translate(const Vector3& offset) {
    Matrix4x4 step = identity();
    Matrix4x4 inverse = identity();
    step.m[0][3] = offset.x;
    step.m[1][3] = offset.y;
    step.m[2][3] = offset.z;
    inverse.m[0][3] = -offset.x;
    inverse.m[1][3] = -offset.y;
    inverse.m[2][3] = -offset.z;
    append(step, inverse);
}

void Transform::rotate(const Vector3& degrees) {
    const double angles[3] = {degrees.x, degrees.y, degrees.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (angles[axis] != 0) {
            const Matrix4x4 r = turn(axis, angles[axis]);
            append(r, transpose(r));
        }
    }
}

void Transform::scale(const Vector3& factors) {
    Matrix4x4 step = identity();
    Matrix4x4 inverse = identity();
    step.m[0][0] = factors.x;
    step.m[1][1] = factors.y;
    step.m[2][2] = factors.z;
    inverse.m[0][0] = 1 / factors.x;
    inverse.m[1][1] = 1 / factors.y;
    inverse.m[2][2] = 1 / factors.z;
    append(step, inverse);
}

Vector3 Transform::normalToWorld(const Vector3& n) const {
    // The transpose of toObject's linear part.
    const auto& m = toObject.m;
    return Vector3(m[0][0] * n.x + m[1][0] * n.y + m[2][0] * n.z,
                   m[0][1] * n.x + m[1][1] * n.y + m[2][1] * n.z,
                   m[0][2] * n.x + m[1][2] * n.y + m[2][2] * n.z);
}

void Transform::boundsToWorld(const Point& lo, const Point& hi, Point& worldLo,
                              Point& worldHi) const {
    for (int corner = 0; corner < 8; ++corner) {
        const Point p((corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y,
                      (corner & 4) ? hi.z : lo.z);
        const Point w = pointToWorld(p);
        if (corner == 0) {
            worldLo = w;
            worldHi = w;
            continue;
        }
        worldLo = Point(std::min(worldLo.x, w.x), std::min(worldLo.y, w.y),
                        std::min(worldLo.z, w.z));
        worldHi = Point(std::max(worldHi.x, w.x), std::max(worldHi.y, w.y),
                        std::max(worldHi.z, w.z));
    }
}

#pragma once

#include <cmath>
#include <cstddef>
#include <iosfwd>
#include <string>

#include "scene/number_text.h"

// Three doubles, used for positions, directions and normals. Default
// construction leaves the components unset: every user assigns them first.
struct Vector3 {
    double x;
    double y;
    double z;

    // Left unset like a plain struct; the scene's globals start zeroed.
    // cppcheck-suppress uninitMemberVar
    Vector3() = default;
    Vector3(double in_x, double in_y, double in_z) : x(in_x), y(in_y), z(in_z) {}

    // Pointer forms of the interface; the results are heap objects that the
    // caller owns and deletes. The rest of the program uses the operators.
    Vector3* add(Vector3* other) const;
    Vector3* subtract(Vector3* const& other) const;
    Vector3* inverse() const;  // negation, not reciprocal
    bool equals(Vector3* other) const;
    double dot(Vector3* const& other) const;

    Vector3 cross(const Vector3& other) const;
    Vector3 normalize() const;  // a zero vector stays zero
    double magnitude() const;
    // "<x, y, z>" in a newly allocated array that the caller delete[]s.
    const char* c_str() const;
    // The same text as c_str, as a value.
    std::string str() const;
    Vector3 operator-() const { return Vector3(-x, -y, -z); }
};

inline Vector3 operator+(const Vector3& a, const Vector3& b) {
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vector3 operator-(const Vector3& a, const Vector3& b) {
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
// Dot product.
inline double operator*(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector3 operator*(const Vector3& a, double s) {
    return Vector3(a.x * s, a.y * s, a.z * s);
}
inline Vector3 operator*(double s, const Vector3& a) {
    return a * s;
}
// Exact comparison, no tolerance.
inline bool operator==(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Inline: the renderer calls these several times per ray.
inline double Vector3::magnitude() const {
    return std::sqrt(*this * *this);
}

inline Vector3 Vector3::normalize() const {
    const double m = magnitude();
    if (m == 0) {
        return *this;
    }
    // One division and three multiplications: the rounding the images rely on.
    return *this * (1.0 / m);
}

// Writes the c_str text form.
std::ostream& operator<<(std::ostream& out, const Vector3& v);

// Room that format_vector needs.
constexpr std::size_t kVectorTextSize = 3 * kNumberTextSize + 6;
// Writes the text form "<x, y, z>", each number as format_number writes it,
// and returns its end; out must have kVectorTextSize characters.
char* format_vector(const Vector3& v, char* out);

typedef Vector3 Point;

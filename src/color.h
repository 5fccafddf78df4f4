#pragma once

#include <cassert>
#include <cstdint>

// RGB intensities, nominally 0..1 but unbounded above; the three-value
// constructor clamps negatives to 0 (a NaN is stored as it is).
struct Color {
    double r;
    double g;
    double b;

    Color() : r(0), g(0), b(0) {}
    Color(double in_r, double in_g, double in_b)
        : r(in_r < 0 ? 0 : in_r), g(in_g < 0 ? 0 : in_g), b(in_b < 0 ? 0 : in_b) {}

    Color operator+(const Color& other) const {
        return Color(r + other.r, g + other.g, b + other.b);
    }
    Color operator*(double x) const {
        assert(x >= 0);
        return Color(x * r, x * g, x * b);
    }
};

// One byte per channel with nothing between them, so an array of these is a
// tightly packed GL_RGB / GL_UNSIGNED_BYTE image.
struct byte_color_t {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};
static_assert(sizeof(byte_color_t) == 3, "byte_color_t must be packed");

typedef byte_color_t ByteColor;

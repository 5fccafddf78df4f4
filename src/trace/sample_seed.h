#pragma once

#include <cstdint>

// The numbers behind sampled effects (jittered area lights, lens samples).
// Each is a pure function of where it is used (the pixel, the sample, the
// light), never of a shared generator or the clock, so that an image has the
// same bytes on every run and at any thread count.

// A well-mixed 64-bit value of a and b (splitmix64's finaliser over both).
inline std::uint64_t mixSeed(std::uint64_t a, std::uint64_t b) {
    std::uint64_t z = a + 0x9e3779b97f4a7c15ULL * (b + 1);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// The seed of pixel (x, y).
inline std::uint64_t pixelSeed(int x, int y) {
    return mixSeed(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
}

// A number in [0, 1) from a seed's top 53 bits.
inline double unitFromSeed(std::uint64_t seed) {
    return static_cast<double>(seed >> 11) * (1.0 / 9007199254740992.0);
}

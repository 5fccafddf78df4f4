#pragma once

// Shared helpers for the ray tracer's tests: temporary files, a clean program
// state, tokens from text and running the built program.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "geom.h"

namespace testing_support {

// A small deterministic generator: numbers in [-1, 1).
struct Lcg {
    std::uint64_t state;
    double next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / static_cast<double>(1ULL << 52) - 1;
    }
    Point point(double scale) { return Point(scale * next(), scale * next(), scale * next()); }
};

inline Ray makeRay(const Vector3& origin, const Vector3& direction) {
    Ray ray;
    ray.origin = origin;
    ray.direction = direction;
    return ray;
}

// A fresh directory under the system's temporary folder, removed at exit.
std::string tempDir();
// Writes content to tempDir()/name and returns the path.
std::string writeFile(const std::string& name, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// Every byte value once, in order: a file no reader should take.
std::string allBytes();
// How many bytes of two images of one size differ by more than one unit;
// -1 when the sizes differ.
int farApart(const std::string& a, const std::string& b);
// Writes a 2 x 2 PNG (red, green on the top row; blue, white below) to
// tempDir()/name and returns the path.
std::string writeQuadPng(const std::string& name);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> entriesOf(const std::string& dir);

// Empties the scene lists and puts every global back to its start value.
void resetGlobals();

// The tokens the scene tokenizer makes of the text.
std::deque<std::string> tokensOf(const std::string& text);

struct RunResult {
    int status;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};
// Runs the built raytracer with the arguments in the directory dir.
RunResult runRaytracer(const std::vector<std::string>& args, const std::string& dir = ".");
// Runs a command line through the shell, capturing both streams.
RunResult runShell(const std::string& command);

// Splits text into lines without their line feeds.
std::vector<std::string> linesOf(const std::string& text);
// Standard error without the scene's warning lines (": warning: "), for
// tests about other messages of scenes that happen to warn.
std::string withoutWarnings(const std::string& err);

}  // namespace testing_support

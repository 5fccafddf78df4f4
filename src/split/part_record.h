#pragma once

// The record kept beside a part of an image, "<part>.pfm.json": which
// rectangle of which whole image it is, and of which scene and options. A
// part is three files: the float map "<part>.pfm" (image/pfm.h), this record
// and the exact colours "<part>.pfm.f64", which the map's 32-bit floats
// cannot hold and the image's bytes depend on.

#include <cstdint>
#include <stdexcept>
#include <string>

// The form a record is written in (the README shows one):
// {"format": "raytracer-part/1", "width": W, "height": H,
//  "first_row": R0, "last_row": R1, "first_column": C0, "last_column": C1,
//  "scene": "<the scene's name>", "options": "+W.. +H.. +A..",
//  "checksum": "fnv1a64:<16 hex digits>"}
// Rows and columns count from 1, both ends included, as +SR/+ER/+SC/+EC do.
struct PartRecord {
    int width = 0;  // the whole image
    int height = 0;
    int firstRow = 1;
    int lastRow = 1;
    int firstColumn = 1;
    int lastColumn = 1;
    std::string scene;    // the scene's name, for messages only
    std::string options;  // the options that change pixels
    std::string checksum;  // of the scene's text and the options

    int columns() const { return lastColumn - firstColumn + 1; }
    int rows() const { return lastRow - firstRow + 1; }
};

// A record that cannot be read; what() says why.
class PartRecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options that change a render's pixels, in one canonical text.
std::string pixelOptionsText(int width, int height, int antialias, bool shadows);
// "fnv1a64:" and the 64-bit FNV-1a hash, in hex, of the scene's text, one
// zero byte and the options text.
std::string partChecksum(const std::string& sceneText, const std::string& options);
std::string partRecordJson(const PartRecord& record);
// Reads the form above; a field missing, of the wrong kind or out of range
// (the rectangle must lie in the image) throws PartRecordError.
PartRecord parsePartRecord(const std::string& text);

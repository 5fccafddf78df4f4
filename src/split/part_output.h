#pragma once

// A batch render written as a float map: the whole image for an output name
// ending in .pfm, or a part of the image chosen by +SR<n> +ER<n> (rows) and
// +SC<n> +EC<n> (columns), counted from 1, both ends included. A part is the
// map, its exact colours and its record (split/part_record.h), which
// --assemble (split/assemble.h) puts together.

#include <optional>
#include <string>
#include <vector>

#include "color.h"

// The part options given, each the whole argument ("+SR17"), empty when not
// given (a later one of a kind wins).
struct PartOptions {
    std::string firstRow;
    std::string lastRow;
    std::string firstColumn;
    std::string lastColumn;

    bool any() const;
};

// Takes every "+SR", "+ER", "+SC" and "+EC" argument out of args, keeping
// the order of the others; their values are checked by floatRender.
PartOptions takePartOptions(std::vector<const char*>& args);

struct FloatRender {
    int left = 0;  // the whole image's column and row of the rectangle's top left
    int top = 0;
    int width = 0;  // the rectangle's columns and rows
    int height = 0;
    bool part = false;  // written with its exact colours and record
};

// The float render that the options ask for in a width x height image, or
// nothing for an ordinary render. Throws ProgramExit (status 255) for a
// value out of the image, a first row or column after the last, and a part
// asked of a window or written to a name other than *.pfm.
std::optional<FloatRender> floatRender(const PartOptions& options, int width, int height,
                                       const std::string& outputName, bool interactive);

// Writes the traced, unscaled image (render.width columns of render.height
// rows) to gOutputName, and for a part its exact colours and its record of
// gInputFileName's text and the options. Prints "Output filename: <name>".
// Throws ProgramExit ("draw_image(): ", the file and the system's reason,
// status 255) when a file cannot be written or the scene cannot be read.
void writeFloatRender(const FloatRender& render, const Color* const* image);

// A name ending in ".pfm", in any case.
bool isPfmName(const std::string& name);

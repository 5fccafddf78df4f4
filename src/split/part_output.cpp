#include "split/part_output.h"

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "image/pfm.h"
#include "image/safe_write.h"
#include "main.h"
#include "program_exit.h"
#include "split/part_record.h"

namespace {

bool startsWith(const char* arg, const char* prefix) {
    return std::strncmp(arg, prefix, std::strlen(prefix)) == 0;
}

ProgramExit invalidArgument(const std::string& arg, const std::string& need) {
    return ProgramExit("Invalid argument: " + arg + " (" + need + ")\n", 255);
}

// One end of the rectangle: the option's whole number from 1 to limit, or
// fallback when the option was not given.
int end(const char* prefix, const std::string& arg, int limit, const char* what, int fallback) {
    if (arg.empty()) return fallback;
    const std::string text = arg.substr(3);
    const bool digits = text.find_first_not_of("0123456789") == std::string::npos;
    // More than ten digits is out of range for any image; strtol stays defined.
    const long value = digits && !text.empty() && text.size() <= 10 ? std::strtol(text.c_str(), nullptr, 10) : 0;
    if (value < 1 || value > limit) {
        throw invalidArgument(arg, std::string(prefix) + "<n> takes a whole number from 1 to the " +
                                       what + ", " + std::to_string(limit));
    }
    return static_cast<int>(value);
}

std::string readScene(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        throw ProgramExit("draw_image(): " + name + ": the scene cannot be read again for the part's record\n",
                          255, ProgramExit::Stream::Err);
    }
    return text.str();
}

void writeSafely(const std::string& name, const std::function<void(std::FILE*)>& write) {
    try {
        writeFileSafely(name, write);
    } catch (const std::system_error& error) {
        throw ProgramExit("draw_image(): " + name + ": " +
                              std::string(std::strerror(error.code().value())) + "\n",
                          255, ProgramExit::Stream::Err);
    }
}

}  // namespace

bool PartOptions::any() const {
    return !firstRow.empty() || !lastRow.empty() || !firstColumn.empty() || !lastColumn.empty();
}

PartOptions takePartOptions(std::vector<const char*>& args) {
    PartOptions options;
    const auto taken = [&options](const char* arg) {
        const std::string value = arg;
        if (startsWith(arg, "+SR")) {
            options.firstRow = value;
        } else if (startsWith(arg, "+ER")) {
            options.lastRow = value;
        } else if (startsWith(arg, "+SC")) {
            options.firstColumn = value;
        } else if (startsWith(arg, "+EC")) {
            options.lastColumn = value;
        } else {
            return false;
        }
        return true;
    };
    args.erase(std::remove_if(args.begin(), args.end(), taken), args.end());
    return options;
}

bool isPfmName(const std::string& name) {
    const std::string ending = ".pfm";
    return name.size() >= ending.size() &&
           std::equal(ending.rbegin(), ending.rend(), name.rbegin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<FloatRender> floatRender(const PartOptions& options, int width, int height,
                                       const std::string& outputName, bool interactive) {
    if (!options.any()) {
        if (interactive || !isPfmName(outputName)) return std::nullopt;
        return FloatRender{0, 0, width, height, false};
    }
    const int top = end("+SR", options.firstRow, height, "image's height", 1);
    const int bottom = end("+ER", options.lastRow, height, "image's height", height);
    const int left = end("+SC", options.firstColumn, width, "image's width", 1);
    const int right = end("+EC", options.lastColumn, width, "image's width", width);
    if (top > bottom) {
        throw invalidArgument(options.firstRow, "the first row is below the last, " +
                                                            std::to_string(bottom));
    }
    if (left > right) {
        throw invalidArgument(options.firstColumn,
                              "the first column is right of the last, " + std::to_string(right));
    }
    if (interactive) {
        throw invalidArgument("+interactive", "a part of the image is rendered to a file, not shown");
    }
    if (!isPfmName(outputName)) {
        throw invalidArgument(outputName.empty() ? std::string("+SR/+ER/+SC/+EC") : "+O" + outputName,
                              "a part of the image is written as a float map: +O<name>.pfm");
    }
    return FloatRender{left - 1, top - 1, right - left + 1, bottom - top + 1, true};
}

void writeFloatRender(const FloatRender& render, const Color* const* image) {
    const std::string& name = gOutputName;
    std::cout << "Output filename: " << name << "\n" << std::flush;
    const int w = render.width;
    const int h = render.height;
    if (render.part) {
        PartRecord record;
        record.width = gPixelWidth;
        record.height = gPixelHeight;
        record.firstRow = render.top + 1;
        record.lastRow = render.top + h;
        record.firstColumn = render.left + 1;
        record.lastColumn = render.left + w;
        record.scene = gInputFileName;
        record.options = pixelOptionsText(gPixelWidth, gPixelHeight, gAntialias, !shadowsOff);
        record.checksum = partChecksum(readScene(gInputFileName), record.options);
        // The record goes first and comes back last: a part whose record
        // is there is complete.
        if (std::remove((name + ".json").c_str()) != 0 && errno != ENOENT) {
            throw ProgramExit("draw_image(): " + name + ".json: " + std::strerror(errno) + "\n", 255,
                              ProgramExit::Stream::Err);
        }
        writeSafely(name + ".f64", [&](std::FILE* file) { writeExactColors(file, image, w, h); });
        writeSafely(name, [&](std::FILE* file) { writePfm(file, image, w, h); });
        const std::string json = partRecordJson(record);
        writeSafely(name + ".json",
                    [&](std::FILE* file) { std::fwrite(json.data(), 1, json.size(), file); });
        return;
    }
    writeSafely(name, [&](std::FILE* file) { writePfm(file, image, w, h); });
}

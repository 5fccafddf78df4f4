#include "split/assemble.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "image/image_output.h"
#include "image/pfm.h"
#include "image/safe_write.h"
#include "main.h"
#include "program_exit.h"
#include "split/part_output.h"
#include "split/part_record.h"
#include "state.h"

namespace {

struct Part {
    std::string name;  // the float map's name, as given
    PartRecord record;
};

[[noreturn]] void fail(const std::string& message) {
    throw ProgramExit("assemble: " + message + "\n", 1, ProgramExit::Stream::Err);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openOrFail(const std::string& name, const std::string& what) {
    File file(std::fopen(name.c_str(), "rb"));
    if (!file) fail(what + ": " + std::strerror(errno));
    return file;
}

// The size of a file, or -1 when it cannot be seen.
long long sizeOf(const std::string& name) {
    struct stat info {};
    return stat(name.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

Part readPart(const std::string& name) {
    const std::string recordName = name + ".json";
    const File file = openOrFail(recordName, name + ": its record " + recordName);
    // A record is a few hundred bytes; anything much longer is not one.
    std::string text(65536, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file.get()));
    if (std::ferror(file.get()) != 0) fail(recordName + ": cannot be read");
    Part part{name, {}};
    try {
        part.record = parsePartRecord(text);
    } catch (const PartRecordError& error) {
        fail(recordName + ": " + error.what());
    } catch (const std::exception&) {
        fail(recordName + ": not a part record");
    }
    const PartRecord& r = part.record;
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(r.columns()) * static_cast<std::uint64_t>(r.rows());
    const auto check = [](const std::string& path, long long size, std::uint64_t expected) {
        if (size < 0) fail(path + ": " + std::strerror(errno));
        if (static_cast<std::uint64_t>(size) != expected) {
            fail(path + ": " + std::to_string(size) + " bytes where its record needs " +
                 std::to_string(expected) + " (truncated, or not the part its record describes)");
        }
    };
    check(name, sizeOf(name), pfmFileSize(r.columns(), r.rows()));
    check(name + ".f64", sizeOf(name + ".f64"), pixels * 24);
    return part;
}

std::string sizeText(const PartRecord& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height);
}

std::string pixelText(int row, int column) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

// Every part of the first's image, scene and options, and no two overlapping.
void checkAgreement(const std::vector<Part>& parts) {
    const Part& first = parts.front();
    for (const Part& part : parts) {
        const PartRecord& r = part.record;
        if (r.width != first.record.width || r.height != first.record.height) {
            fail(part.name + ": a part of a " + sizeText(r) + " image, but " + first.name +
                 " is of a " + sizeText(first.record) + " image");
        }
        if (r.options != first.record.options || r.checksum != first.record.checksum) {
            fail(part.name + ": another scene or options than " + first.name + " (" + r.scene +
                 " " + r.options + ", " + r.checksum + "; " + first.record.scene + " " +
                 first.record.options + ", " + first.record.checksum + ")");
        }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            const PartRecord& a = parts[i].record;
            const PartRecord& b = parts[j].record;
            const int top = std::max(a.firstRow, b.firstRow);
            const int left = std::max(a.firstColumn, b.firstColumn);
            if (top <= std::min(a.lastRow, b.lastRow) &&
                left <= std::min(a.lastColumn, b.lastColumn)) {
                fail(parts[i].name + ": overlaps " + parts[j].name + " from " +
                     pixelText(top, left));
            }
        }
    }
}

// The first pixel, in reading order, that no part covers. Its row is the
// first row or the row below a part, so only those rows are searched.
void checkCoverage(const std::vector<Part>& parts) {
    const PartRecord& whole = parts.front().record;
    std::vector<int> rows{1};
    for (const Part& part : parts) {
        if (part.record.lastRow < whole.height) rows.push_back(part.record.lastRow + 1);
    }
    std::sort(rows.begin(), rows.end());
    for (const int row : rows) {
        std::vector<const PartRecord*> across;
        for (const Part& part : parts) {
            if (part.record.firstRow <= row && row <= part.record.lastRow) {
                across.push_back(&part.record);
            }
        }
        std::sort(across.begin(), across.end(), [](const PartRecord* a, const PartRecord* b) {
            return a->firstColumn < b->firstColumn;
        });
        int column = 1;
        for (const PartRecord* r : across) {
            if (r->firstColumn > column) break;
            column = std::max(column, r->lastColumn + 1);
        }
        if (column <= whole.width) {
            fail("no part covers " + pixelText(row, column) + " of the " + sizeText(whole) +
                 " image");
        }
    }
}

double readDouble(const unsigned char* bytes) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The part's exact colours into their place in the image.
void readColors(const Part& part, Color* const* image) {
    const std::string name = part.name + ".f64";
    const File file = openOrFail(name, name);
    const PartRecord& r = part.record;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(r.columns()) * 24);
    // Rows bottom to top, as in the float map.
    for (int row = r.lastRow - 1; row >= r.firstRow - 1; --row) {
        if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
            fail(name + ": cut short while it was read");
        }
        const unsigned char* in = bytes.data();
        for (int x = r.firstColumn - 1; x < r.lastColumn; ++x, in += 24) {
            Color& c = image[x][row];
            c.r = readDouble(in);
            c.g = readDouble(in + 8);
            c.b = readDouble(in + 16);
        }
    }
}

}  // namespace

int assembleParts(int argc, const char* const* argv) {
    std::string output;
    std::vector<std::string> names;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "+O", 2) == 0) {
            output = argv[i] + 2;
        } else {
            names.emplace_back(argv[i]);
        }
    }
    if (output.empty() || names.empty()) {
        throw ProgramExit(
            "Usage: raytracer --assemble +O<image.png|image.ppm|image.pfm> <part.pfm>...\n", 255);
    }
    if (std::find(names.begin(), names.end(), output) != names.end()) {
        fail(output + ": the output would replace one of the parts");
    }
    std::vector<Part> parts;
    parts.reserve(names.size());
    for (const std::string& name : names) {
        parts.push_back(readPart(name));
    }
    checkAgreement(parts);
    checkCoverage(parts);

    // The image buffers of a whole render, refused when they would not fit.
    const PartRecord& whole = parts.front().record;
    try {
        allocateImage(whole.width, whole.height);
    } catch (const std::bad_alloc&) {
        fail("not enough memory for a " + sizeText(whole) + " image");
    }
    gPixelWidth = whole.width;
    gPixelHeight = whole.height;
    for (const Part& part : parts) {
        readColors(part, gImage);
    }

    std::cout << "Output filename: " << output << "\n" << std::flush;
    if (isPfmName(output)) {
        try {
            writeFileSafely(output, [&](std::FILE* file) {
                writePfm(file, gImage, whole.width, whole.height);
            });
        } catch (const std::system_error& error) {
            throw ProgramExit("draw_image(): " + output + ": " +
                                  std::strerror(error.code().value()) + "\n",
                              255, ProgramExit::Stream::Err);
        }
        return 0;
    }
    // The scaling and the writers of a whole render, over the whole image.
    const ImageColumns image{gImage, whole.width, whole.height};
    scaleValues(image);
    writeImageFile(output, image);
    return 0;
}

#include "image/pfm.h"

#include <cstring>
#include <vector>

namespace {

// One row of channels into bytes, each value little-endian whatever the host.
template <class Value, class Bits>
void writeRow(std::FILE* file, const Color* const* image, int width, int y,
              std::vector<unsigned char>& bytes) {
    static_assert(sizeof(Value) == sizeof(Bits), "a value and its bits have one size");
    unsigned char* out = bytes.data();
    for (int x = 0; x < width; ++x) {
        const Color& c = image[x][y];
        for (const double channel : {c.r, c.g, c.b}) {
            const auto value = static_cast<Value>(channel);
            Bits bits;
            std::memcpy(&bits, &value, sizeof bits);
            for (std::size_t i = 0; i < sizeof bits; ++i) {
                *out++ = static_cast<unsigned char>(bits >> (8 * i));
            }
        }
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
}

template <class Value, class Bits>
void writeRows(std::FILE* file, const Color* const* image, int width, int height) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * 3 * sizeof(Value));
    for (int y = height - 1; y >= 0; --y) {
        writeRow<Value, Bits>(file, image, width, y, bytes);
    }
}

}  // namespace

std::string pfmHeader(int width, int height) {
    return "PF\n" + std::to_string(width) + " " + std::to_string(height) + "\n-1.0\n";
}

std::uint64_t pfmFileSize(int width, int height) {
    return pfmHeader(width, height).size() +
           static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 12;
}

void writePfm(std::FILE* file, const Color* const* image, int width, int height) {
    const std::string header = pfmHeader(width, height);
    std::fwrite(header.data(), 1, header.size(), file);
    writeRows<float, std::uint32_t>(file, image, width, height);
}

void writeExactColors(std::FILE* file, const Color* const* image, int width, int height) {
    writeRows<double, std::uint64_t>(file, image, width, height);
}

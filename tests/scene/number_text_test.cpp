// Number reading and writing against their definitions, the standard
// streams, on generated spellings and values.
#include "scene/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "vector3.h"

namespace {

void expectReadsAsTheStream(const std::string& token) {
    double fast = -1;
    double stream = -2;
    const bool read = read_number(token, fast);
    ASSERT_EQ(read, read_number_by_stream(token, stream)) << token;
    if (read) {
        ASSERT_EQ(std::memcmp(&fast, &stream, sizeof fast), 0) << token;  // -0 too
    }
}

std::string streamed(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string formatted(double value) {
    char text[kNumberTextSize];
    return std::string(text, format_number(value, text));
}

}  // namespace

TEST(NumberText, ReadsEverySpellingAsTheStream) {
    for (const char* token : {"1e2",
                              "-.5",
                              "+3",
                              "2abc",
                              "1.0//note",
                              "7\r",
                              "\r7",
                              "x2",
                              "",
                              ".",
                              "-",
                              "--1",
                              "nan",
                              "-inf",
                              "1e",
                              "1e+",
                              "1E-x",
                              "1ex",
                              "1e5e3",
                              "1.2.3",
                              ".e5",
                              "1.e5",
                              "0x1p3",
                              "00012",
                              "1e999",
                              "-1e999",
                              "1e-999",
                              "1.7976931348623157e308",
                              "1.7976931348623159e308",
                              "2.4703282292062327e-324",
                              "2.4703282292062328e-324",
                              "4.9406564584124654e-324",
                              "-0",
                              "-0.0e-7",
                              "0.1000000000000000055511151231257827021181583404541015625"}) {
        expectReadsAsTheStream(token);
    }
    // Random spellings from the characters that matter to the scan.
    std::mt19937_64 random(1);
    const std::string alphabet = "0123456789.eE+- \rx";
    for (int i = 0; i < 200000; ++i) {
        std::string token(random() % 14, ' ');
        for (char& c : token) {
            c = alphabet[random() % alphabet.size()];
        }
        expectReadsAsTheStream(token);
    }
    // Decimals with digit counts and exponents on both sides of every limit:
    // 15 significant digits, scales of 10^22, the ends of the double range.
    for (int i = 0; i < 200000; ++i) {
        std::string token = random() % 2 ? "-" : "";
        for (int digit = random() % 19; digit > 0; --digit) {
            token += static_cast<char>('0' + random() % 10);
        }
        if (random() % 2) {
            token += '.';
            for (int digit = random() % 19; digit > 0; --digit) {
                token += static_cast<char>('0' + random() % 10);
            }
        }
        if (random() % 2) {
            token += "e" + std::to_string(static_cast<int>(random() % 700) - 350);
        }
        expectReadsAsTheStream(token);
    }
}

// A token is a view into the scene text with more text after it: the scan
// ends at the view's end, never at what follows.
TEST(NumberText, ReadsAViewToItsEndAndNoFurther) {
    const std::string text = "-12.5e+3x1e5 7.25 0.000123456789e-2";
    for (std::size_t start = 0; start < text.size(); ++start) {
        for (std::size_t size = 0; start + size <= text.size(); ++size) {
            const std::string token = text.substr(start, size);
            double fromView = -1;
            double fromString = -2;
            const bool read = read_number(std::string_view(text).substr(start, size), fromView);
            ASSERT_EQ(read, read_number_by_stream(token, fromString)) << token;
            if (read) {
                ASSERT_EQ(std::memcmp(&fromView, &fromString, sizeof fromView), 0) << token;
            }
        }
    }
    // A view of nothing, with no text behind it.
    double value = 0;
    EXPECT_FALSE(read_number(std::string_view(), value));
}

TEST(NumberText, WritesEveryValueAsTheStream) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  1e21,
                                  1e22,
                                  1e23,
                                  1e100,
                                  1234565.0,  // exact ties of the sixth digit
                                  0.5,
                                  2.5e-5};
    // Around every power of ten and the values that round up to one.
    for (int exponent = -30; exponent <= 30; ++exponent) {
        for (const double mantissa : {1.0, 9.999995, 9.999985, 1.000005, 1.234565}) {
            double value = mantissa * std::pow(10.0, exponent);
            for (int step = 0; step < 8; ++step) {
                values.push_back(value);
                values.push_back(-value);
                value = std::nextafter(value, 0.0);
            }
        }
    }
    std::mt19937_64 random(2);
    std::uniform_real_distribution<double> scene(-50, 50);
    for (int i = 0; i < 300000; ++i) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
        values.push_back(scene(random));
        values.push_back(static_cast<double>(random() % 20000000) / 2);  // halves
    }
    // The numbers scenes spell: up to eight digits with trailing zeros, read
    // back from their text, at every place of the point that fixed notation
    // writes and just beyond.
    for (int i = 0; i < 200000; ++i) {
        std::string text = std::to_string(random() % 100000000);
        const auto zeros = static_cast<std::ptrdiff_t>(random() % text.size());
        std::fill(text.end() - zeros, text.end(), '0');
        const long long exponent = static_cast<long long>(random() % 14) - 12;
        values.push_back(std::stod(text + "e" + std::to_string(exponent)));
    }
    for (const double value : values) {
        ASSERT_EQ(formatted(value), streamed(value)) << std::hexfloat << value;
    }
    // Vectors: "<x, y, z>" with the numbers as the stream writes them.
    const Vector3 v(-0.0, 1e-300, 123456.5);
    std::ostringstream out;
    out << v;
    EXPECT_EQ(out.str(), "<" + streamed(v.x) + ", " + streamed(v.y) + ", " + streamed(v.z) + ">");
}

// Parts of an image rendered apart, as users run them from the built
// program: bands and tiles of every shape put together give the bytes of the
// whole render, and the options that choose a part refuse values outside the
// image.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::runShell;
using testing_support::tempDir;

namespace {

// Two white lights on a fully diffuse sphere: channels well above 1, so the
// whole image is scaled down by its brightest one.
const char* const kBright =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1.35, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <5, 5, 10> color rgb <1, 1, 1> }\n"
    "light_source { <-5, 5, 10> color rgb <1, 1, 1> }\n"
    "sphere { <0, 0, 0>, 3 pigment { color rgb <1, 0.9, 0.8> }\n"
    "  finish { ambient 0.2 diffuse 1 specular 0.8 reflection 0.3 } }\n"
    "plane { <0, 1, 0>, -3 pigment { color rgb <0.2, 0.8, 0.3> } finish { diffuse 0.9 } }\n";

// One dim light: no channel reaches 1, so nothing is scaled.
const char* const kDim =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1.35, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <5, 5, 10> color rgb <0.6, 0.6, 0.6> }\n"
    "sphere { <0, 0, 0>, 3 pigment { color rgb <1, 0.4, 0.2> }\n"
    "  finish { ambient 0.1 diffuse 0.5 } }\n"
    "plane { <0, 1, 0>, -3 pigment { color rgb <0.2, 0.8, 0.3> } finish { diffuse 0.5 } }\n";

const int kWidth = 23;  // odd sizes: no band or tile divides them evenly
const int kHeight = 17;

std::string folderWith(const std::string& name, const char* scene) {
    const std::string dir = tempDir() + "/" + name;
    EXPECT_EQ(mkdir(dir.c_str(), 0700), 0);
    testing_support::writeFile(name + "/scene.pov", scene);
    return dir;
}

std::vector<std::string> sizeArgs(const std::string& antialias) {
    return {"+W" + std::to_string(kWidth), "+H" + std::to_string(kHeight), antialias,
            "+Iscene.pov"};
}

// Renders the rectangle rows r0..r1, columns c0..c1 (from 1) into name.
void renderPart(const std::string& dir, const std::string& antialias, int r0, int r1, int c0,
                int c1, const std::string& name) {
    std::vector<std::string> args = sizeArgs(antialias);
    for (const std::string& option :
         {"+SR" + std::to_string(r0), "+ER" + std::to_string(r1), "+SC" + std::to_string(c0),
          "+EC" + std::to_string(c1), "+O" + name}) {
        args.push_back(option);
    }
    const auto r = runRaytracer(args, dir);
    ASSERT_EQ(r.status, 0) << name << ": " << r.out << r.err;
}

// Cuts the image into tiles of `rows` x `columns`, renders each and puts them
// together into out; returns the assembly's status.
int renderInTiles(const std::string& dir, const std::string& antialias, int rows, int columns,
                  const std::string& out) {
    std::string parts;
    for (int top = 1; top <= kHeight; top += rows) {
        for (int left = 1; left <= kWidth; left += columns) {
            const std::string name =
                "t" + std::to_string(rows) + "x" + std::to_string(columns) + "_" +
                std::to_string(top) + "_" + std::to_string(left) + ".pfm";
            renderPart(dir, antialias, top, std::min(top + rows - 1, kHeight), left,
                       std::min(left + columns - 1, kWidth), name);
            parts += " " + name;
        }
    }
    const auto r = runShell("cd '" + dir + "' && '" RT_BINARY "' --assemble +O" + out + parts);
    EXPECT_EQ(r.err, "");
    return r.status;
}

// The largest channel of a float map the program wrote.
float largestChannel(const std::string& pfm) {
    const std::size_t start = pfm.find("-1.0\n") + 5;
    float largest = 0;
    for (std::size_t at = start; at + 4 <= pfm.size(); at += 4) {
        float value;
        std::memcpy(&value, pfm.data() + at, 4);
        largest = std::max(largest, value);
    }
    return largest;
}

}  // namespace

TEST(Parts, BandsAndTilesGiveTheWholeRendersBytes) {
    struct Case {
        const char* name;
        const char* scene;
        const char* antialias;
        bool scaled;
    };
    for (const Case& c : {Case{"bright", kBright, "+A1", true}, Case{"dim", kDim, "+A1", false},
                          Case{"bright_a3", kBright, "+A3", true}}) {
        SCOPED_TRACE(c.name);
        const std::string dir = folderWith(c.name, c.scene);
        std::vector<std::string> args = sizeArgs(c.antialias);
        args.push_back("+Owhole.ppm");
        ASSERT_EQ(runRaytracer(args, dir).status, 0);
        args.back() = "+Owhole.pfm";
        ASSERT_EQ(runRaytracer(args, dir).status, 0);
        const std::string whole = readFile(dir + "/whole.ppm");
        // The scene is the case it stands for.
        EXPECT_EQ(largestChannel(readFile(dir + "/whole.pfm")) > 1.0f, c.scaled);

        // Bands of 1, 2, 3 and 7 rows, then tiles.
        for (const int rows : {1, 2, 3, 7}) {
            SCOPED_TRACE(rows);
            const std::string out = "bands" + std::to_string(rows) + ".ppm";
            ASSERT_EQ(renderInTiles(dir, c.antialias, rows, kWidth, out), 0);
            EXPECT_EQ(readFile(dir + "/" + out), whole);
        }
        ASSERT_EQ(renderInTiles(dir, c.antialias, 5, 6, "tiles.ppm"), 0);
        EXPECT_EQ(readFile(dir + "/tiles.ppm"), whole);
        ASSERT_EQ(renderInTiles(dir, c.antialias, 17, 8, "columns.pfm"), 0);
        EXPECT_EQ(readFile(dir + "/columns.pfm"), readFile(dir + "/whole.pfm"));
    }
}

TEST(Parts, AssembledPngIsTheWholeRendersPng) {
    const std::string dir = folderWith("png", kBright);
    std::vector<std::string> args = sizeArgs("+A2");
    args.push_back("+Owhole.png");
    ASSERT_EQ(runRaytracer(args, dir).status, 0);
    ASSERT_EQ(renderInTiles(dir, "+A2", 4, 10, "tiles.png"), 0);
    EXPECT_EQ(readFile(dir + "/tiles.png"), readFile(dir + "/whole.png"));
}

TEST(Parts, FloatMapIsReadByImageMagickWithTheBottomRowLast) {
    const std::string dir = folderWith("pfm", kBright);
    renderPart(dir, "+A1", 3, 11, 5, 20, "part.pfm");
    const std::string pfm = readFile(dir + "/part.pfm");
    ASSERT_EQ(pfm.substr(0, 12), "PF\n16 9\n-1.0");
    // ImageMagick's floats come top row first, the map's bottom row first.
    // Its usual build keeps 16 bits per channel and clips at 1.
    const auto decoded = runShell("convert '" + dir +
                                  "/part.pfm' -define quantum:format=floating-point -depth 32 "
                                  "-endian LSB rgb:-");
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    ASSERT_EQ(decoded.out.size(), 16u * 9 * 12);
    const std::size_t start = pfm.size() - 16 * 9 * 12;
    const std::string exact = readFile(dir + "/part.pfm.f64");
    ASSERT_EQ(exact.size(), 16u * 9 * 24);
    for (int row = 0; row < 9; ++row) {
        const std::size_t fromBottom = static_cast<std::size_t>(8 - row) * 16 * 3;
        for (std::size_t i = 0; i < 16 * 3; ++i) {
            float seen;
            float narrow;
            double wide;
            std::memcpy(&seen, decoded.out.data() + (static_cast<std::size_t>(row) * 16 * 3 + i) * 4, 4);
            std::memcpy(&narrow, pfm.data() + start + (fromBottom + i) * 4, 4);
            std::memcpy(&wide, exact.data() + (fromBottom + i) * 8, 8);
            EXPECT_NEAR(seen, std::min(narrow, 1.0f), 1.0 / 65535) << "row " << row << ", " << i;
            // The exact colours in the same order, each the map's float widened.
            EXPECT_EQ(narrow, static_cast<float>(wide));
        }
    }
}

TEST(Parts, ValuesOutsideTheImageAreUsageErrors) {
    const std::string dir = folderWith("usage", kDim);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string rows = "(+SR<n> takes a whole number from 1 to the image's height, 17)";
    const std::string columns = "(+EC<n> takes a whole number from 1 to the image's width, 23)";
    const std::vector<Case> cases = {
        {{"+SR0", "+Op.pfm"}, "Invalid argument: +SR0 " + rows},
        {{"+SR18", "+Op.pfm"}, "Invalid argument: +SR18 " + rows},
        {{"+SR", "+Op.pfm"}, "Invalid argument: +SR " + rows},
        {{"+SR1x", "+Op.pfm"}, "Invalid argument: +SR1x " + rows},
        {{"+SR-1", "+Op.pfm"}, "Invalid argument: +SR-1 " + rows},
        {{"+SR99999999999999999999", "+Op.pfm"}, "Invalid argument: +SR99999999999999999999 " + rows},
        {{"+ER0", "+Op.pfm"},
         "Invalid argument: +ER0 (+ER<n> takes a whole number from 1 to the image's height, 17)"},
        {{"+EC24", "+Op.pfm"}, "Invalid argument: +EC24 " + columns},
        {{"+SC0", "+Op.pfm"},
         "Invalid argument: +SC0 (+SC<n> takes a whole number from 1 to the image's width, 23)"},
        {{"+SR9", "+ER3", "+Op.pfm"}, "Invalid argument: +SR9 (the first row is below the last, 3)"},
        {{"+SC9", "+EC3", "+Op.pfm"},
         "Invalid argument: +SC9 (the first column is right of the last, 3)"},
        {{"+SR2", "+Op.png"},
         "Invalid argument: +Op.png (a part of the image is written as a float map: +O<name>.pfm)"},
        {{"+SR2"},
         "Invalid argument: +SR/+ER/+SC/+EC (a part of the image is written as a float map: "
         "+O<name>.pfm)"},
        {{"+SR2", "+Op.pfm", "+interactive"},
         "Invalid argument: +interactive (a part of the image is rendered to a file, not shown)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = sizeArgs("+A1");
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = runRaytracer(args, dir);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(testing_support::linesOf(r.out).back(), c.message);
        // Refused before the scene is read: nothing written.
        EXPECT_EQ(r.out.find("Initializing"), std::string::npos);
        EXPECT_FALSE(fileExists(dir + "/p.pfm"));
        EXPECT_FALSE(fileExists(dir + "/scene.ppm"));
    }
    // A later option of a kind wins, as +W does.
    std::vector<std::string> args = sizeArgs("+A1");
    args.insert(args.end(), {"+SR0", "+SR17", "+Olast.pfm"});
    ASSERT_EQ(runRaytracer(args, dir).status, 0);
    EXPECT_EQ(readFile(dir + "/last.pfm").substr(0, 12), "PF\n23 1\n-1.0");
}

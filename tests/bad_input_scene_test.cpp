// Catalogue of bad scene files, run through the built program: each row is a
// malformed scene and what must come of it, either the exact message with
// status 1 and no image, or status 0 with a complete, harmless image.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "main.h"
#include "parser.h"
#include "render.h"
#include "scene_file.h"
#include "test_support.h"

using testing_support::allBytes;
using testing_support::fileExists;
using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

// The end of the file where a number is due, after the text shown.
std::string endOfFile(const std::string& place, const std::string& expected,
                      const std::string& after) {
    return place + ": expected " + expected + " after \"" + after +
           "\", found the end of the file (condition '!tokens.empty()')";
}

std::string notANumber(const std::string& place, const std::string& after,
                       const std::string& found) {
    return place + ": expected a number after \"" + after + "\", found \"" + found +
           "\" (condition 'ss')";
}

// A camera and a light: renders black.
const std::string kNothing =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <0, 0, 10> color rgb <1, 1, 1> }\n";
// A lit white ball filling the middle of the image.
const std::string kBallStatement =
    "sphere { <0, 0, 0>, 5 pigment { color rgb <1, 1, 1> } finish { ambient 0.2 diffuse 0.5 } }";
const std::string kBall = kNothing + kBallStatement + "\n";

struct Outcome {
    int status;
    std::string out;
    std::string err;
    bool written;
    std::string image;
};

// Renders the text as name.pov at 4 x 3 pixels and removes the image.
Outcome render(const std::string& name, const std::string& text) {
    const std::string scene = writeFile(name + ".pov", text);
    const auto run = runRaytracer({"+W4", "+H3", "+I" + scene});
    const std::string image = tempDir() + "/" + name + ".ppm";
    Outcome outcome{run.status, run.out, run.err, fileExists(image), readFile(image)};
    std::remove(image.c_str());
    return outcome;
}

std::string withCrLf(const std::string& text) {
    std::string converted;
    for (const char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

}  // namespace

TEST(BadInputScene, FatalRowsNameTheFileAndTheTokenAndWriteNothing) {
    const struct {
        const char* name;
        std::string text;
        std::string message;
    } rows[] = {
        {"cut_pigment", "sphere { <0, 0, 0>, 1 pigment { color",
         endOfFile("1:38", "\"rgb\" or \"rgbf\"", "1 pigment { color")},
        {"cut_finish", "sphere { <0, 0, 0>, 1 finish { ambient",
         endOfFile("1:39", "a number", "1 finish { ambient")},
        {"cut_rgbf", "sphere { <0, 0, 0>, 1 pigment { color rgbf <1, 0, 0> } }",
         endOfFile("1:52", "a number", "1, 0, 0")},
        {"cut_triangle", "triangle { <0, 0, 0>, <1, 0, 0>",
         endOfFile("1:31", "a number", "1, 0, 0")},
        {"cut_light", "light_source { <0, 0, 0> color rgb <1, 1",
         endOfFile("1:41", "a number", "rgb <1, 1")},
        {"cut_light_keyword", "light_source { <0, 0, 0>\n\n",
         endOfFile("1:24", "\"color\"", "0, 0, 0")},
        {"cut_camera", "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0",
         "1:1: expected at least 17 tokens from \"camera\" to the end of the file, found 16 "
         "(condition 'tokens.size() >= tokensLeft')"},
        {"word_in_camera",
         "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, zero> }",
         notANumber("1:74", "look_at <0, 0,", "zero")},
        {"huge_number", "sphere { <0, 0, 0>, 1e999 }", notANumber("1:21", "0, 0, 0>,", "1e999")},
        {"nan_literal", "sphere { <0, 0, 0>, nan }", notANumber("1:21", "0, 0, 0>,", "nan")},
        {"negative_diffuse", "sphere { <0, 0, 0>, 1 finish { diffuse -0.5 } }",
         "1:40: expected a non-negative number after \"1 finish { diffuse\", found \"-0.5\" "
         "(condition 'diffuse >= 0')"},
        // A 400-digit number is out of range; the message shows its start.
        {"enormous_number", "sphere { <0, 0, 0>, " + std::string(400, '9') + " }",
         notANumber("1:21", "0, 0, 0>,", std::string(64, '9') + "... (400 characters)")},
        // Control characters in the message are shown as escapes.
        {"binary_number", "sphere { <\x01\x1b[2J, 0, 0>, 1 }",
         notANumber("1:11", "sphere { <", "\\x01\\x1b[2J")},
        // Carriage return is no separator: after a brace it is a token of
        // its own, met where the centre's first number is due.
        {"crlf_statement_over_lines", "sphere {\r\n  <0, 0, 0>, 1\r\n}\r\n",
         notANumber("1:9", "sphere {", "\\r")},
    };
    for (const auto& row : rows) {
        const Outcome outcome = render(row.name, row.text);
        EXPECT_EQ(outcome.status, 1) << row.name;
        EXPECT_EQ(outcome.err, tempDir() + "/" + row.name + ".pov:" + row.message + "\n")
            << row.name;
        EXPECT_FALSE(outcome.written) << row.name;
        EXPECT_EQ(outcome.out.find("Rendering"), std::string::npos) << row.name;
    }

    const std::string dir = tempDir() + "/folder.pov";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const auto run = runRaytracer({"+W4", "+H3", "+I" + dir});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, dir + ": cannot read scene file: Is a directory\n");
    EXPECT_FALSE(fileExists(tempDir() + "/folder.ppm"));
}

TEST(BadInputScene, HarmlessRowsRenderAsTheBallOrBlack) {
    const std::string junk = allBytes();
    const struct {
        const char* name;
        std::string text;
        bool ball;  // renders as kBall does; else as kNothing, black
    } rows[] = {
        {"crlf", withCrLf(kBall), true},
        // Carriage return is no separator: in a CR LF file a "\r" token ends
        // the line's statement, so a finish on the next line is skipped token
        // by token and the ball keeps the default, black finish.
        {"crlf_finish_on_next_line",
         withCrLf(kNothing + kBallStatement.substr(0, kBallStatement.find("finish")) + "\n" +
                  kBallStatement.substr(kBallStatement.find("finish")) + "\n"),
         false},
        {"deep_comments", repeated("// a comment line\n", 100000) + kBall, true},
        {"comment_tokens", repeated("////\n", 1000) + kBall + "//", true},
        {"enormous_token", std::string(1 << 20, 'x') + "\n" + kBall, true},
        {"binary_junk", junk + "\n" + kBall + junk, true},
        // A keyword glued to a carriage return is no keyword: the sphere and
        // its numbers are skipped token by token.
        {"crlf_keyword", kNothing + "sphere\r\n{ <0, 0, 0>, 5 }\r\n", false},
        // Objects that no ray can hit.
        {"zero_radius", kNothing + "sphere { <0, 0, 0>, 0 finish { ambient 1 } }", false},
        {"underflowing_radius", kNothing + "sphere { <0, 0, 0>, 1e-999 finish { ambient 1 } }",
         false},
        {"collinear_triangle",
         kNothing + "triangle { <0, 0, 0>, <1, 1, 1>, <2, 2, 2> finish { ambient 1 } }", false},
        {"zero_normal_plane", kNothing + "plane { <0, 0, 0>, 1 finish { ambient 1 } }", false},
        {"point_box", kNothing + "box { <0, 0, 0>, <0, 0, 0> finish { ambient 1 } }", false},
        // Overflowing and NaN-producing geometry: no distance is accepted.
        {"overflowing_sphere", kNothing + "sphere { <1e308, 1e308, 1e308>, 1e308 }", false},
        // An infinite channel scales the whole image by 0; infinity times 0
        // is NaN, which is written as 0.
        {"infinite_colour",
         kNothing + "sphere { <0, 0, 0>, 5 pigment { color rgb <1e308, 1, 1> } finish { ambient "
                    "10 } }",
         false},
        // A camera looking at its own location casts zero-length rays.
        {"eye_at_look_at",
         "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 10> }\n" +
             kBall.substr(kNothing.find("light_source")),
         false},
        {"empty_file", "", false},
    };
    // The references are what they claim: a complete black image, and one
    // that shows the ball.
    const std::string nothing = render("nothing", kNothing).image;
    const std::string ball = render("ball", kBall).image;
    const std::string black = "P6\n4 3 \n255\n" + std::string(36, '\0');
    ASSERT_EQ(nothing, black);
    ASSERT_EQ(ball.size(), black.size());
    ASSERT_NE(ball, black);
    for (const auto& row : rows) {
        const Outcome outcome = render(row.name, row.text);
        EXPECT_EQ(outcome.status, 0) << row.name << ": " << outcome.err;
        EXPECT_EQ(testing_support::withoutWarnings(outcome.err), "") << row.name;
        EXPECT_EQ(outcome.image, row.ball ? ball : nothing) << row.name;
    }
}

TEST(BadInputScene, DegenerateUpGivesEveryPixelTheCentralRay) {
    // up parallel to the view direction: u and v are zero, so every primary
    // ray is the one straight ahead, which hits the ball.
    const Outcome outcome =
        render("up_along_view",
               "camera { location <0, 0, 10> up <0, 0, 1> right <1, 0, 0> look_at <0, 0, 0> }\n" +
                   kBall.substr(kNothing.find("light_source")));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string pixels = outcome.image.substr(outcome.image.size() - 36);
    EXPECT_NE(pixels.substr(0, 3), std::string(3, '\0'));
    EXPECT_EQ(pixels, repeated(pixels.substr(0, 3), 12));
}

// Found by fuzzing: a box whose modifiers end in a scene error was leaked
// (caught by LeakSanitizer in the sanitizer build).
TEST(BadInputScene, BoxWithBrokenModifiersIsNotLeaked) {
    std::deque<std::string> tokens =
        testing_support::tokensOf("box { <0, 0, 0>, <1, 1, 1> pigment { color rgb <1, 1,%1> } }");
    std::vector<GeomObject*> objects;
    std::vector<Light*> sceneLights;
    Camera sceneCamera;
    testing::internal::CaptureStdout();
    EXPECT_THROW(
        parse_statements(tokens, {gPixelWidth, gPixelHeight}, objects, sceneLights, &sceneCamera),
        SceneError);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(objects.empty());
}

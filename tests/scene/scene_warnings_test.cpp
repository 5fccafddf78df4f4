// Each scene that warns, run through the built program: the whole warning
// lines with their places and suggestions, standard output and the image
// byte for byte as they were before the warnings existed (checksums taken
// from the program of that time), and --strict.
#include "scene/scene_warnings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

// FNV-1a, 64 bits: the stored checksums.
std::uint64_t checksum(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// The expected text with "@" standing for the scene's file name.
std::string named(const std::string& text, const std::string& name) {
    std::string result;
    for (const char c : text) {
        result += c == '@' ? name : std::string(1, c);
    }
    return result;
}

struct WarningCase {
    const char* name;
    const char* scene;
    const char* warnings;  // "@" is the file name
    std::uint64_t out;     // standard output and image at 32 x 24, before warnings existed
    std::uint64_t image;
};

const WarningCase kCases[] = {
    {"typo_statement",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n"
     "shpere { <1, 0, 0>, 1 finish { ambient 0.2 } }\n",
     "@:4:1: warning: skipped 8 words starting \"shpere 1 0 ...\", words that no statement reads; "
     "did you mean 'sphere'?\n",
     0xdb36d2c4c70d35ccULL, 0x4ef5de4381a0869fULL},
    {"typo_modifier",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigmnet { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "@:3:1: warning: the sphere shows no light: ambient, diffuse, specular, reflection and "
     "refraction are all 0, so it renders black; give it a finish such as 'finish { ambient 0.2 "
     "diffuse 0.6 }'\n"
     "@:3:23: warning: skipped 11 words starting \"pigmnet color rgb ...\", ignored inside the "
     "sphere that starts at 3:1; did you mean 'pigment'?\n",
     0x3a29809a313ca970ULL, 0x576e5b7e9bd914a4ULL},
    {"typo_finish_item",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambeint 0.2 diffuse 0.6 } }\n",
     "@:3:1: warning: the sphere shows no light: ambient, diffuse, specular, reflection and "
     "refraction are all 0, so it renders black; give it a finish such as 'finish { ambient 0.2 "
     "diffuse 0.6 }'\n"
     "@:3:64: warning: skipped 4 words starting \"ambeint 0.2 diffuse ...\", ignored inside the "
     "sphere that starts at 3:1; did you mean 'ambient'?\n",
     0x781e05073c04b24cULL, 0x576e5b7e9bd914a4ULL},
    {"typo_camera_key",
     "camera { location <0, 0, 10> up <0, 1, 0> rigth <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "@:1:1: warning: the camera has no right, or a zero one: every column of the picture will be "
     "the same. 'right <1.33333, 0, 0>' would fit\n"
     "@:1:43: warning: skipped 8 words starting \"rigth 1.33333 0 ...\", ignored inside the camera "
     "that starts at 1:1; did you mean 'right'?\n",
     0x1c1713fe39cb6b8aULL, 0xbe9d6d14c13edb04ULL},
    {"pigment_four_numbers",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0, 1> } finish { ambient 0.2 diffuse 0.6 } "
     "}\n",
     "@:3:1: warning: the sphere shows no light: ambient, diffuse, specular, reflection and "
     "refraction are all 0, so it renders black; give it a finish such as 'finish { ambient 0.2 "
     "diffuse 0.6 }'\n"
     "@:3:53: warning: the pigment's 'color rgb' takes 3 numbers, found more\n"
     "@:3:53: warning: skipped 6 words starting \"1 finish ambient ...\", ignored inside the "
     "sphere that starts at 3:1\n",
     0x999360ed6098a0e3ULL, 0x576e5b7e9bd914a4ULL},
    {"pigment_rgbf_five_numbers",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgbf <1, 0, 0, 0.5, 1> } finish { ambient 0.2 diffuse "
     "0.6 } }\n",
     "@:3:1: warning: the sphere shows no light: ambient, diffuse, specular, reflection and "
     "refraction are all 0, so it renders black; give it a finish such as 'finish { ambient 0.2 "
     "diffuse 0.6 }'\n"
     "@:3:59: warning: the pigment's 'color rgbf' takes 4 numbers, found more\n"
     "@:3:59: warning: skipped 6 words starting \"1 finish ambient ...\", ignored inside the "
     "sphere that starts at 3:1\n",
     0x62a702eff7703212ULL, 0x576e5b7e9bd914a4ULL},
    {"light_without_color",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "@:3:1: warning: expected 'color rgb' after the light_source's position, found \"sphere\"; "
     "the two words there were dropped unread and the three numbers after them taken as the "
     "light's colour\n"
     "@:3:23: warning: skipped 11 words starting \"pigment color rgb ...\", ignored inside the "
     "light_source that starts at 2:1\n",
     0xd9b9d05720ffdbf1ULL, 0x4ef5de4381a0869fULL},
    {"no_finish",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } }\n",
     "@:3:1: warning: the sphere shows no light: ambient, diffuse, specular, reflection and "
     "refraction are all 0, so it renders black; give it a finish such as 'finish { ambient 0.2 "
     "diffuse 0.6 }'\n",
     0x229bddecc1c2ee0fULL, 0x576e5b7e9bd914a4ULL},
    {"no_pigment",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 finish { ambient 0.2 diffuse 0.6 } }\n",
     "@:3:1: warning: the sphere shows no light: its pigment is black (or missing) and it has no "
     "specular, reflection or refraction, so it renders black; give it a pigment such as 'pigment "
     "{ color rgb <1, 1, 1> }'\n",
     0xdb021559889c658dULL, 0x576e5b7e9bd914a4ULL},
    {"negative_radius",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n"
     "sphere { <1, 0, 0>, -1 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } "
     "}\n",
     "@:4:21: warning: the sphere's radius is not positive; it cannot be seen\n",
     0x0aa8926a1053b979ULL, 0x4ef5de4381a0869fULL},
    {"zero_normal",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n"
     "plane { <0, 0, 0>, -1 pigment { color rgb <1, 1, 1> } finish { ambient 0.2 } }\n",
     "@:4:10: warning: the plane's normal is zero; it cannot be seen\n", 0x4918d5baf6dba767ULL,
     0x4ef5de4381a0869fULL},
    {"flat_triangle",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n"
     "triangle { <0, 0, 0>, <1, 1, 1>, <2, 2, 2> pigment { color rgb <1, 1, 1> } finish { ambient "
     "0.2 } }\n",
     "@:4:1: warning: the triangle's corners lie on one line; it has no area and cannot be seen\n",
     0x0ced537de9daa7d7ULL, 0x4ef5de4381a0869fULL},
    {"stretched_camera",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "@:1:43: warning: the camera's right <1, 0, 0> and up <0, 1, 0> do not match the image's 32 x "
     "24 pixels; the picture will be stretched. 'right <1.33333, 0, 0>' would fit\n",
     0x12869d3910f61fd1ULL, 0x7e44a2e35d701a6bULL},
    {"no_camera",
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "@: warning: the scene has no camera statement, so there is no view to trace\n",
     0xc1e4effd069574cbULL, 0x576e5b7e9bd914a4ULL},
    {"no_light",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "@: warning: the scene has no light_source; only the objects' ambient light will show\n",
     0x40e4a1655615d3f8ULL, 0x9cd1964d317abfd5ULL},
    {"no_object",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n",
     "@: warning: the scene has no object; the picture will show only the background\n",
     0x14e060832be9a1c4ULL, 0x576e5b7e9bd914a4ULL},
    {"clean",
     "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
     "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
     "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 } }\n",
     "", 0x825b25a29dc248f6ULL, 0x4ef5de4381a0869fULL},
};

}  // namespace

TEST(SceneWarnings, EachCaseWarnsAndChangesNothingElse) {
    for (const WarningCase& c : kCases) {
        const std::string name = std::string(c.name) + ".pov";
        const std::string image = tempDir() + "/" + c.name + ".ppm";
        writeFile(name, c.scene);
        std::remove(image.c_str());
        const auto run = runRaytracer({"+W32", "+H24", "+I" + name}, tempDir());
        EXPECT_EQ(run.status, 0) << c.name;
        EXPECT_EQ(run.err, named(c.warnings, name)) << c.name;
        EXPECT_EQ(checksum(run.out), c.out) << c.name << "\n" << run.out;
        EXPECT_EQ(checksum(readFile(image)), c.image) << c.name;

        // Strict: the same warnings, then the error; no image.
        std::remove(image.c_str());
        const auto strict = runRaytracer({"+W32", "+H24", "--strict", "+I" + name}, tempDir());
        const std::string warnings = named(c.warnings, name);
        if (warnings.empty()) {
            EXPECT_EQ(strict.status, 0) << c.name;
            EXPECT_EQ(strict.err, "") << c.name;
            EXPECT_TRUE(fileExists(image)) << c.name;
            continue;
        }
        const std::size_t count = testing_support::linesOf(warnings).size();
        EXPECT_EQ(strict.status, 1) << c.name;
        EXPECT_EQ(strict.err, warnings + name + ": error: " + std::to_string(count) +
                                  (count == 1 ? " warning" : " warnings") +
                                  " and --strict: no image\n")
            << c.name;
        EXPECT_FALSE(fileExists(image)) << c.name;
    }
}

TEST(SceneWarnings, AByteOrderMarkIsSkipped) {
    const std::string scene = kCases[sizeof(kCases) / sizeof(kCases[0]) - 1].scene;  // clean
    writeFile("plain.pov", scene);
    writeFile("marked.pov", "\xEF\xBB\xBF" + scene);
    const auto plain = runRaytracer({"+W32", "+H24", "+Iplain.pov", "+Oplain.ppm"}, tempDir());
    const auto marked = runRaytracer({"+W32", "+H24", "+Imarked.pov", "+Omarked.ppm"}, tempDir());
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(marked.status, 0);
    EXPECT_EQ(marked.err, "");
    std::string out = marked.out;
    for (std::size_t at; (at = out.find("marked")) != std::string::npos;) {
        out.replace(at, 6, "plain");
    }
    EXPECT_EQ(out, plain.out);
    EXPECT_EQ(readFile(tempDir() + "/marked.ppm"), readFile(tempDir() + "/plain.ppm"));

    // Columns count from after the mark.
    writeFile("marked_typo.pov",
              "\xEF\xBB\xBF"
              "shpere\n" +
                  scene);
    const auto typo = runRaytracer({"+W32", "+H24", "+Imarked_typo.pov"}, tempDir());
    EXPECT_EQ(typo.err,
              "marked_typo.pov:1:1: warning: skipped \"shpere\", words that no statement reads; "
              "did you mean 'sphere'?\n");
    // Only at the very start: elsewhere the bytes are a word as before.
    writeFile("late_mark.pov", scene + "\xEF\xBB\xBF");
    const auto late = runRaytracer({"+W32", "+H24", "+Ilate_mark.pov"}, tempDir());
    EXPECT_EQ(late.err,
              "late_mark.pov:4:1: warning: skipped \"\xEF\xBB\xBF\", words that no statement "
              "reads\n");
}

TEST(SceneWarnings, RunsAreOneWarningEachAndEndAtAStatement) {
    const std::string scene = kCases[sizeof(kCases) / sizeof(kCases[0]) - 1].scene;
    writeFile("runs.pov", "global_settings { assumed_gamma 1 }\n" + scene +
                              "sphere { <0, 0, 0>, 1 finish { ambient 1 } // a } in a comment\n"
                              "  no_shadow }\n"
                              "rainbow { distance 3 }\r\n");
    const auto run = runRaytracer({"+W32", "+H24", "+Iruns.pov"}, tempDir());
    EXPECT_EQ(run.err,
              "runs.pov:1:1: warning: skipped \"global_settings assumed_gamma 1\", words that no "
              "statement reads\n"
              "runs.pov:5:1: warning: the sphere shows no light: its pigment is black (or "
              "missing) and it has no specular, reflection or refraction, so it renders black; "
              "give it a pigment such as 'pigment { color rgb <1, 1, 1> }'\n"
              "runs.pov:6:3: warning: skipped 5 words starting \"no_shadow rainbow distance ...\", "
              "ignored inside the sphere that starts at 5:1\n");
}

TEST(SceneWarnings, SuggestionsComeWithinTwoEditsOfAKeyword) {
    EXPECT_EQ(editDistance("sphere", "sphere"), 0u);
    EXPECT_EQ(editDistance("shpere", "sphere"), 1u);  // a swap is one edit
    EXPECT_EQ(editDistance("sphre", "sphere"), 1u);
    EXPECT_EQ(editDistance("", "box"), 3u);
    EXPECT_EQ(editDistance("abc", "cba"), 2u);
    EXPECT_EQ(suggestKeyword("shpere"), "sphere");
    EXPECT_EQ(suggestKeyword("pigmnet"), "pigment");
    EXPECT_EQ(suggestKeyword("Sphere"), "sphere");
    EXPECT_EQ(suggestKeyword("lookat"), "look_at");
    EXPECT_EQ(suggestKeyword("light_sorce"), "light_source");
    EXPECT_EQ(suggestKeyword("map_tpye"), "map_type");
    EXPECT_EQ(suggestKeyword("interpolat"), "interpolate");
    EXPECT_EQ(suggestKeyword("reflect"), "");  // three edits away
    EXPECT_EQ(suggestKeyword("sphere"), "");   // a keyword in the wrong place
    EXPECT_EQ(suggestKeyword("1.5"), "");
    EXPECT_EQ(suggestKeyword("bx"), "");  // too short to guess
    EXPECT_EQ(suggestKeyword("global_settings"), "");
}

TEST(SceneWarnings, LinesAreInFileOrderWithTheWholeFileLast) {
    SceneWarnings warnings;
    warnings.addForFile("no light");
    warnings.add(3, 5, "b");
    warnings.add(3, 1, "a");
    warnings.add(1, 9, "first");
    EXPECT_EQ(warnings.lines("s.pov"),
              (std::vector<std::string>{"s.pov:1:9: warning: first", "s.pov:3:1: warning: a",
                                        "s.pov:3:5: warning: b", "s.pov: warning: no light"}));
}

// The README's example scene: every object shows, and nothing warns.
TEST(SceneWarnings, TheReadmeExampleWarnsNothing) {
    const std::string readme = readFile(RT_SOURCE_DIR "/README.md");
    const std::size_t section = readme.find("## Scene files\n");
    ASSERT_NE(section, std::string::npos);
    const std::size_t end = readme.find("\nFinish items", section);
    std::string scene;
    for (const std::string& line :
         testing_support::linesOf(readme.substr(section, end - section))) {
        if (line.rfind("    ", 0) == 0) {
            scene += line.substr(4) + "\n";
        }
    }
    writeFile("readme.pov", scene);
    const auto run = runRaytracer({"+W64", "+H48", "+Ireadme.pov", "--strict"}, tempDir());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("parsing box"), std::string::npos);
}

// A CR LF file: the carriage return ending a line is a word that is skipped
// without a warning, but a statement it cuts short is named, with the cause.
TEST(SceneWarnings, ACarriageReturnThatCutsAStatementIsNamed) {
    writeFile("crlf.pov",
              "camera { location <0, 0, 10>\r\n"
              "  up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\r\n"
              "light_source { <5, 8, 6> color rgb <1, 1, 1> }\r\n"
              "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 1 } }\r\n");
    const auto run = runRaytracer({"+W32", "+H24", "+Icrlf.pov"}, tempDir());
    EXPECT_EQ(run.err,
              "crlf.pov:2:3: warning: skipped 13 words starting \"up 0 1 ...\", ignored inside "
              "the camera that starts at 1:1 (a carriage return ends the statement: save the file "
              "with LF line ends)\n");
}

// A spotlight's falloff below its radius is told at whichever of the two
// came last; the light still renders, with a hard edge at the radius.
TEST(SceneWarnings, ASpotlightNarrowingTheWrongWayIsNamed) {
    const std::string camera =
        "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n";
    const std::string sphere =
        "\nsphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } finish { ambient 0.2 diffuse 0.6 "
        "} }\n";
    struct Spot {
        const char* name;
        const char* light;
        const char* warnings;
    };
    const Spot spots[] = {
        {"spot_falloff_last",
         "light_source { <5, 8, 6> color rgb <1, 1, 1> spotlight radius 30 falloff 20 point_at "
         "<0, 0, 0> }",
         "@:2:66: warning: the spotlight's falloff (20) is smaller than its radius (30); its light "
         "stops sharply at the radius\n"},
        {"spot_radius_last",
         "light_source { <5, 8, 6> color rgb <1, 1, 1> spotlight falloff 20 point_at <0, 0, 0> "
         "radius 30 }",
         "@:2:86: warning: the spotlight's falloff (20) is smaller than its radius (30); its light "
         "stops sharply at the radius\n"},
        // The defaults, an even cone and a point light's stray keys are fine.
        {"spot_defaults",
         "light_source { <5, 8, 6> color rgb <1, 1, 1> spotlight point_at <0, 0, 0> }", ""},
        {"spot_even",
         "light_source { <5, 8, 6> color rgb <1, 1, 1> spotlight radius 20 falloff 20 "
         "point_at <0, 0, 0> }",
         ""},
    };
    for (const Spot& spot : spots) {
        const std::string name = std::string(spot.name) + ".pov";
        const std::string image = tempDir() + "/" + spot.name + ".ppm";
        writeFile(name, camera + spot.light + sphere);
        std::remove(image.c_str());
        const auto run = runRaytracer({"+W32", "+H24", "+I" + name}, tempDir());
        EXPECT_EQ(run.status, 0) << spot.name;
        EXPECT_EQ(run.err, named(spot.warnings, name)) << spot.name;
        EXPECT_TRUE(fileExists(image)) << spot.name;
    }
}

// A transform inside a plain colour's braces moves nothing: it is told, and
// the picture is the one without it. Inside a pattern's braces it moves the
// pattern, untold.
TEST(SceneWarnings, APlainColourMovedInsideItsBracesIsNamed) {
    const std::string head =
        "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
        "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n";
    const auto run = [&](const std::string& name, const std::string& sphere) {
        writeFile(name + ".pov", head + sphere);
        const auto result = runRaytracer({"+W32", "+H24", "+I" + name + ".pov"}, tempDir());
        EXPECT_EQ(result.status, 0) << name;
        return std::make_pair(result.err, readFile(tempDir() + "/" + name + ".ppm"));
    };
    const auto moved = run("plain_moved", "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> "
                                          "rotate <0, 0, 90> translate <1, 0, 0> } finish { "
                                          "ambient 0.2 diffuse 0.6 } }\n");
    const auto still = run("plain_still", "sphere { <0, 0, 0>, 2 pigment { color rgb <1, 0, 0> } "
                                          "finish { ambient 0.2 diffuse 0.6 } }\n");
    EXPECT_EQ(moved.first,
              "plain_moved.pov:3:53: warning: the pigment is a plain colour, which 'rotate' does "
              "not change; an object's transforms go after the pigment's closing brace\n");
    EXPECT_EQ(moved.second, still.second);
    const auto pattern =
        run("pattern_moved", "sphere { <0, 0, 0>, 2 pigment { checker color rgb <1, 0, 0> color "
                             "rgb <1, 1, 1> scale 0.5 } finish { ambient 0.2 diffuse 0.6 } }\n");
    EXPECT_EQ(pattern.first, "");
}

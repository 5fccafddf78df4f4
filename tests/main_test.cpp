// End-to-end runs of the built raytracer: its standard output line by line,
// its exit status and the bytes of the image it writes.
#include <gtest/gtest.h>

#include <unistd.h>

#include "test_support.h"

using testing_support::fileExists;
using testing_support::linesOf;
using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const char* const kSmallScene =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <0, 0, 10> color rgb <1, 1, 1> }\n"
    "sphere { <0, 0, 0>, 1 pigment { color rgb <1, 0.4, 0.2> }\n"
    "  finish { ambient 0.1 diffuse 0.5 specular 0.3 } }\n";

}  // namespace

TEST(Main, UsageErrorsEndWithStatus255) {
    auto r = runRaytracer({});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, std::string("Usage: ") + RT_BINARY + " +W<int> +H<int> +I<pov input file>\n");

    r = runRaytracer({"+W0", "+Iscene.pov"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(linesOf(r.out).at(0), "Int portion: 0");
    EXPECT_EQ(linesOf(r.out).at(1).rfind("Usage: ", 0), 0u);

    r = runRaytracer({"+I"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out.rfind("Usage: ", 0), 0u);

    r = runRaytracer({"+W4", "-x", "+H3"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "Int portion: 4\nUnknown argument: -x");  // no line break
}

TEST(Main, HelpAndVersionEndWithStatus0BeforeAnythingIsRead) {
    const std::string scene = writeFile("help.pov", kSmallScene);
    auto r = runRaytracer({"+I" + scene, "--help", "+W0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: raytracer +I<scene.pov> [options]\n", 0), 0u) << r.out;
    r = runRaytracer({"+I" + scene, "--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("raytracer 1.", 0), 0u) << r.out;
    EXPECT_FALSE(fileExists(tempDir() + "/help.ppm"));
}

TEST(Main, BatchRunPrintsEveryLineAndWritesTheImage) {
    const std::string scene = writeFile("small.pov", kSmallScene);
    const auto r = runRaytracer({"+W2", "+H2", "+I" + scene});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> expected = {
        "Int portion: 2",
        "Int portion: 2",
        "Valid args accepted",
        "Width: 2",
        "Height: 2",
        "Input file: " + scene,
        "Initializing...",
        "parsing camera",
        "set camera \"location\" (eye) to <0, 0, 10>",
        "set camera \"up\" to <0, 1, 0>",
        "set camera \"right\" to <1, 0, 0>",
        "set camera \"look_at\" to <0, 0, 0>",
        "parsing light source",
        "parsed color: <1, 1, 1>",
        "parsing sphere",
        "parsed color: <1, 0.4, 0.2>",
        "parsing finish",
        "ambient = 0.1",
        "diffuse = 0.5",
        "specular = 0.3",
        "filter = 0",
        "parsed sphere with center <0, 0, 0> and radius 1",
        "... done initializing.",
        "Creating bounding volume hierarchy...done.",
        "Rendering ...",
        "u: <1, 0, 0>",
        "v: <0, 1, 0>",
        "w: <0, 0, 1>",
        "u: <1, 0, 0>",
        "v: <0, 1, 0>",
        "w: <0, 0, 1>",
        "Eye: <0, 0, 10>",
        "Camera transform: {{1 0 0 0}{0 1 0 0}{0 0 1 10}{0 0 0 1}}",
        "LookAt: <0, 0, 0>",
        "... done rendering.",
        "Output filename: " + tempDir() + "/small.ppm",
    };
    EXPECT_EQ(linesOf(r.out), expected);
    const std::string ppm = readFile(tempDir() + "/small.ppm");
    // Pixel (0, 0) looks straight at the lit sphere; the others miss it.
    const std::string pixels = {'\xe5', '\x89', '\x6b', 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ppm, "P6\n2 2 \n255\n" + pixels);
}

TEST(Main, ShadowsOffAndDefaultSize) {
    const std::string scene = writeFile("default.pov", kSmallScene);
    const auto r = runRaytracer({"-shadows", "+I" + scene});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Rendering ...\nShadows off.\nu: "), std::string::npos);
    EXPECT_EQ(readFile(tempDir() + "/default.ppm").size(), 15u + 128 * 96 * 3);
}

TEST(Main, OnePixelImagesRender) {
    const std::string scene = writeFile("tiny.pov", kSmallScene);
    for (const char* size : {"+W1", "+H1"}) {
        const auto r = runRaytracer({size, "+I" + scene});
        ASSERT_EQ(r.status, 0) << size;
    }
    const auto r = runRaytracer({"+W1", "+H1", "+I" + scene});
    ASSERT_EQ(r.status, 0);
    const std::string ppm = readFile(tempDir() + "/tiny.ppm");
    EXPECT_EQ(ppm.substr(0, 12), "P6\n1 1 \n255\n");
    ASSERT_EQ(ppm.size(), 15u);
    EXPECT_EQ(ppm[12], '\xe5');  // the single ray goes through the centre
}

// Only the preview's mesh reads images: a batch render starts without
// SDL_image and the fifty-odd libraries it brings.
TEST(Main, BatchRenderLoadsNoImageLibrary) {
    const std::string scene = writeFile("no_sdl.pov", kSmallScene);
    const auto r = testing_support::runShell("LD_DEBUG=libs '" RT_BINARY "' +W1 +H1 '+I" +
                                             scene + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_NE(r.err.find("libc.so"), std::string::npos) << "the loader printed nothing";
    EXPECT_EQ(r.err.find("libSDL"), std::string::npos) << r.err;
}

TEST(Main, FatalSceneErrorsNameTheFileAndWriteNoImage) {
    const struct {
        const char* name;
        const char* text;
        const char* message;
    } cases[] = {
        {"number.pov", "sphere { <0, x2, 0>, 1 }",
         ":1:14: expected a number after \"sphere { <0,\", found \"x2\" (condition 'ss')"},
        {"cut.pov", "sphere { <0, 0, 0>",
         ":1:18: expected a number after \"0, 0, 0\", found the end of the file (condition "
         "'!tokens.empty()')"},
        {"camera.pov", "camera { location <0, 0, 10> look_at <0, 0, 0> }",
         ":1:1: expected at least 17 tokens from \"camera\" to the end of the file, found 9 "
         "(condition 'tokens.size() >= tokensLeft')"},
        // Found when the image is traced: no place in the file.
        {"basis.pov",
         "camera { location <1e308, 0, 0> up <0, 1, 0> right <1, 0, 0> look_at <-1e308, 0, 0> }",
         ": the camera's location, look_at and up give no usable view directions (condition "
         "'fabs(u * v) < 0.00000001')"},
        {"ambient.pov", "sphere { <0, 0, 0>, 1 finish { ambient -1 } }",
         ":1:40: expected a non-negative number after \"1 finish { ambient\", found \"-1\" "
         "(condition 'ambient >= 0')"},
    };
    for (const auto& c : cases) {
        const std::string scene = writeFile(c.name, c.text);
        const auto r = runRaytracer({"+W4", "+H3", "+I" + scene});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_EQ(testing_support::withoutWarnings(r.err), scene + c.message + "\n");
        EXPECT_FALSE(fileExists(testing_support::tempDir() + "/" +
                                std::string(c.name).replace(std::string(c.name).find(".pov"), 4,
                                                            ".ppm")))
            << c.name;
    }
    const std::string missing = tempDir() + "/missing.pov";
    const auto r = runRaytracer({"+I" + missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, missing + ": cannot open scene file: No such file or directory\n");
    EXPECT_FALSE(fileExists(tempDir() + "/missing.ppm"));
}

TEST(Main, OutputErrorsEndWithStatus255) {
    // A write error after a successful open is a failure, not a success.
    const std::string full = writeFile("full.pov", kSmallScene);
    ASSERT_EQ(symlink("/dev/full", (tempDir() + "/full.ppm").c_str()), 0);
    auto r = runRaytracer({"+W64", "+H64", "+I" + full});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, "draw_image(): " + tempDir() + "/full.ppm: No space left on device\n");
    EXPECT_TRUE(fileExists("/dev/full"));  // the device is never removed

    // Only the first ".pov" is replaced, so the image may belong in a
    // directory that does not exist.
    ASSERT_EQ(mkdir((tempDir() + "/dir.pov").c_str(), 0700), 0);
    const std::string scene = writeFile("dir.pov/scene", kSmallScene);
    r = runRaytracer({"+W2", "+H2", "+I" + scene});
    EXPECT_EQ(r.status, 255);
    // Found before the scene is read: nothing is traced for it.
    EXPECT_EQ(r.err, "draw_image(): " + tempDir() + "/dir.ppm/scene: No such file or directory\n");
    EXPECT_EQ(r.out.find("Initializing"), std::string::npos);
}

TEST(Main, ImagesTooLargeToAllocateEndWithAMessage) {
    const std::string scene = writeFile("huge.pov", kSmallScene);
    // The largest size the command line takes needs 116 GB.
    const double memory =
        static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
    if (memory > 65535.0 * 65535.0 * (sizeof(Color) + sizeof(ByteColor))) {
        GTEST_SKIP() << "the machine has memory for the largest image";
    }
    const auto r = runRaytracer({"+W65535", "+H65535", "+I" + scene});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, scene + ": not enough memory for a 65535 x 65535 image and its scene\n");
    EXPECT_FALSE(fileExists(tempDir() + "/huge.ppm"));
}

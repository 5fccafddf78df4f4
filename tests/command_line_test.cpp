// The command line as scripts use it, through the built program: -q and +O-
// in a pipe, names refused before any work, and --threads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

using testing_support::entriesOf;
using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::runShell;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const char* const kScene =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <5, 8, 6> color rgb <1, 1, 1> }\n"
    "sphere { <0, 0, 0>, 3 pigment { color rgb <1, 0.5, 0> } finish { ambient 0.2 diffuse 0.6 } "
    "}\n";

// The pixels of a binary PPM with a header of three lines.
std::string ppmPixels(const std::string& ppm) {
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line) {
        at = ppm.find('\n', at) + 1;
    }
    return ppm.substr(at);
}

}  // namespace

TEST(CommandLine, QuietWritesTheImageAloneToAPipe) {
    const std::string dir = tempDir() + "/quiet";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    writeFile("quiet/scene.pov", kScene);
    auto r = runRaytracer({"+W40", "+H30", "+Iscene.pov"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string ppm = readFile(dir + "/scene.ppm");

    // Decoded by ImageMagick from the pipe: the PPM and nothing else.
    r = runShell("{ cd '" + dir +
                 "' && '" RT_BINARY
                 "' -q +W40 +H30 +Iscene.pov +O- | convert ppm:- -depth 8 rgb:-; }");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, ppmPixels(ppm));
    // +O- alone is quiet too: the bytes are the file's.
    r = runRaytracer({"+W40", "+H30", "+Iscene.pov", "+O-"}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, ppm);

    // -q and --quiet: nothing on standard output; the image as before; the
    // scene's warnings still on standard error.
    writeFile("quiet/typo.pov", std::string(kScene) + "shpere { <0, 0, 0>, 1 }\n");
    for (const char* quiet : {"-q", "--quiet"}) {
        r = runRaytracer({quiet, "+W40", "+H30", "+Itypo.pov"}, dir);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err,
                  "typo.pov:4:1: warning: skipped 5 words starting \"shpere 0 0 ...\", words that "
                  "no statement reads; did you mean 'sphere'?\n");
        EXPECT_EQ(readFile(dir + "/typo.ppm"), ppm);
    }
    // What is asked for is printed: the help, which names the new options.
    r = runRaytracer({"-q", "--help"}, dir);
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"-q, --quiet", "--strict", "--threads N", "+O-", "1 to 65535"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
    // And the errors.
    r = runRaytracer({"+W40", "-q", "+Imissing.pov"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "missing.pov: cannot open scene file: No such file or directory\n");
}

TEST(CommandLine, RefusedNamesFailBeforeAnyWorkAndLeaveNoFile) {
    const std::string dir = tempDir() + "/refused";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/folder.ppm'").c_str()), 0);
    writeFile("refused/scene.pov", kScene);
    // A render of minutes: 4000 x 4000 pixels of 256 rays each. The timeout
    // only keeps a regression from hanging the suite.
    const std::vector<std::string> slow = {"+W4000", "+H4000", "+A16", "+Iscene.pov"};
    const struct {
        std::string name;
        std::string err;
    } rows[] = {
        {"out.jpg",
         "raytracer: \"+Oout.jpg\": cannot write .jpg images; the formats written are PNG (a "
         "name ending in .png) and PPM (any other name, or +O- for standard output)\n"},
        {"OUT.JPEG",
         "raytracer: \"+OOUT.JPEG\": cannot write .jpeg images; the formats "
         "written are PNG (a name ending in .png) and PPM (any other name, or +O- "
         "for standard output)\n"},
        {"x.Tiff",
         "raytracer: \"+Ox.Tiff\": cannot write .tiff images; the formats written "
         "are PNG (a name ending in .png) and PPM (any other name, or +O- for "
         "standard output)\n"},
        {"missing/x.png", "draw_image(): missing/x.png: No such file or directory\n"},
        {"folder.ppm", "draw_image(): folder.ppm: Is a directory\n"},
        {"scene.pov/x.ppm", "draw_image(): scene.pov/x.ppm: Not a directory\n"},
    };
    for (const char* ending : {".gif", ".tif", ".bmp", ".tga", ".exr", ".webp"}) {
        auto run = runRaytracer({"+W1", "+H1", "+Iscene.pov", std::string("+Oout") + ending}, dir);
        EXPECT_EQ(run.status, 255) << ending;
    }
    for (const auto& row : rows) {
        std::vector<std::string> args = slow;
        args.push_back("+O" + row.name);
        std::string command = "cd '" + dir + "' && timeout 60 '" RT_BINARY "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        const auto run = runShell(command);
        EXPECT_EQ(run.status, 255) << row.name;
        EXPECT_EQ(run.err, row.err) << row.name;
        // Nothing read, nothing traced.
        EXPECT_EQ(run.out.find("Initializing"), std::string::npos) << row.name;
    }
    EXPECT_EQ(entriesOf(dir), (std::vector<std::string>{"folder.ppm", "scene.pov"}));
    EXPECT_TRUE(entriesOf(dir + "/folder.ppm").empty());
}

TEST(CommandLine, ThreadsChangeNothingButTheThreads) {
    const std::string dir = tempDir() + "/threads";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    writeFile("threads/scene.pov", kScene);
    auto one = runRaytracer({"+W40", "+H30", "+Iscene.pov", "+Oone.ppm", "--threads", "1"}, dir);
    auto three = runRaytracer({"+W40", "+H30", "+Iscene.pov", "+Othree.ppm", "--threads=3"}, dir);
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_EQ(readFile(dir + "/one.ppm"), readFile(dir + "/three.ppm"));
}

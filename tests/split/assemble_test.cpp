// Putting parts together refuses every set of parts that is not one whole
// image: each refusal names the part and its problem, and writes nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "test_support.h"

using testing_support::fileExists;
using testing_support::readFile;
using testing_support::runShell;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const char* const kScene =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <5, 5, 10> color rgb <1, 1, 1> }\n"
    "sphere { <0, 0, 0>, 3 pigment { color rgb <1, 0.4, 0.2> }\n"
    "  finish { ambient 0.1 diffuse 0.9 specular 0.3 } }\n";

class Assemble : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = tempDir() + "/assemble";
        ASSERT_EQ(mkdir(s_dir.c_str(), 0700), 0);
        writeFile("assemble/scene.pov", kScene);
        writeFile("assemble/other.pov", std::string(kScene) + "// changed\n");
        // Three bands of a 16 x 12 image, and parts that do not belong.
        render("+SR1 +ER4", "top.pfm");
        render("+SR5 +ER8", "middle.pfm");
        render("+SR9 +ER12", "bottom.pfm");
        render("+SR3 +ER6", "across.pfm");
        render("+SR5 +ER8 +Iother.pov", "other_scene.pfm");
        render("+SR5 +ER8 +A2", "other_options.pfm");
        render("+SR5 +ER8 +W17", "other_size.pfm");
    }

    static void render(const std::string& options, const std::string& name) {
        const auto r = run("+W16 +H12 +Iscene.pov " + options + " +O" + name);
        ASSERT_EQ(r.status, 0) << r.out << r.err;
    }

    static testing_support::RunResult run(const std::string& args) {
        return runShell("cd '" + s_dir + "' && '" RT_BINARY "' " + args);
    }

    // Copies a part's three files under another name.
    static void copyPart(const std::string& from, const std::string& to) {
        for (const char* end : {"", ".json", ".f64"}) {
            writeFile("assemble/" + to + end, readFile(s_dir + "/" + from + end));
        }
    }

    // Assembles the parts into out.png and checks the refusal.
    static void expectRefused(const std::string& parts, const std::string& message) {
        SCOPED_TRACE(parts);
        const auto r = run("--assemble +Oout.png " + parts);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "assemble: " + message + "\n");
        EXPECT_FALSE(fileExists(s_dir + "/out.png"));
    }

    static std::string s_dir;
};

std::string Assemble::s_dir;

}  // namespace

TEST_F(Assemble, TheRightPartsInAnyOrderGiveTheWholeRender) {
    ASSERT_EQ(run("+W16 +H12 +Iscene.pov +Owhole.png").status, 0);
    const auto r = run("--assemble +Oany_order.png bottom.pfm top.pfm middle.pfm");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Output filename: any_order.png\n");
    EXPECT_EQ(readFile(s_dir + "/any_order.png"), readFile(s_dir + "/whole.png"));
}

TEST_F(Assemble, GapsAndOverlapsAreNamed) {
    expectRefused("top.pfm bottom.pfm", "no part covers row 5, column 1 of the 16x12 image");
    expectRefused("middle.pfm bottom.pfm", "no part covers row 1, column 1 of the 16x12 image");
    expectRefused("top.pfm middle.pfm bottom.pfm across.pfm",
                  "across.pfm: overlaps top.pfm from row 3, column 1");
    expectRefused("top.pfm middle.pfm bottom.pfm middle.pfm",
                  "middle.pfm: overlaps middle.pfm from row 5, column 1");
}

TEST_F(Assemble, PartsOfAnotherSceneOptionsOrSizeAreNamed) {
    const auto other = [](const std::string& name, const std::string& how) {
        return "assemble: " + name + ": another scene or options than top.pfm (" + how;
    };
    auto r = run("--assemble +Oout.png top.pfm other_scene.pfm bottom.pfm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(other("other_scene.pfm", "other.pov +W16 +H12 +A1, fnv1a64:"), 0), 0u)
        << r.err;
    r = run("--assemble +Oout.png top.pfm other_options.pfm bottom.pfm");
    EXPECT_EQ(r.err.rfind(other("other_options.pfm", "scene.pov +W16 +H12 +A2, fnv1a64:"), 0), 0u)
        << r.err;
    expectRefused("top.pfm other_size.pfm bottom.pfm",
                  "other_size.pfm: a part of a 17x12 image, but top.pfm is of a 16x12 image");
    EXPECT_FALSE(fileExists(s_dir + "/out.png"));
}

TEST_F(Assemble, MissingTruncatedAndGarbledFilesAreNamed) {
    expectRefused("top.pfm gone.pfm bottom.pfm",
                  "gone.pfm: its record gone.pfm.json: No such file or directory");

    copyPart("middle.pfm", "short_map.pfm");
    ASSERT_EQ(truncate((s_dir + "/short_map.pfm").c_str(), 100), 0);
    expectRefused("top.pfm short_map.pfm bottom.pfm",
                  "short_map.pfm: 100 bytes where its record needs 781 (truncated, or not the "
                  "part its record describes)");

    copyPart("middle.pfm", "short_exact.pfm");
    ASSERT_EQ(truncate((s_dir + "/short_exact.pfm.f64").c_str(), 1535), 0);
    expectRefused("top.pfm short_exact.pfm bottom.pfm",
                  "short_exact.pfm.f64: 1535 bytes where its record needs 1536 (truncated, or "
                  "not the part its record describes)");

    copyPart("middle.pfm", "no_exact.pfm");
    ASSERT_EQ(unlink((s_dir + "/no_exact.pfm.f64").c_str()), 0);
    expectRefused("top.pfm no_exact.pfm bottom.pfm",
                  "no_exact.pfm.f64: No such file or directory");

    copyPart("middle.pfm", "cut_record.pfm");
    const std::string record = readFile(s_dir + "/middle.pfm.json");
    writeFile("assemble/cut_record.pfm.json", record.substr(0, record.size() / 2));
    expectRefused("top.pfm cut_record.pfm bottom.pfm",
                  "cut_record.pfm.json: not a record: a string is not closed");

    copyPart("middle.pfm", "wild_record.pfm");
    std::string wild = record;
    wild.replace(wild.find("\"last_row\": 8"), 13, "\"last_row\": 99");
    writeFile("assemble/wild_record.pfm.json", wild);
    expectRefused("top.pfm wild_record.pfm bottom.pfm",
                  "wild_record.pfm.json: \"last_row\" is out of range");

    copyPart("middle.pfm", "alien.pfm");
    writeFile("assemble/alien.pfm.json", "{\"format\": \"something else\"}");
    expectRefused("top.pfm alien.pfm bottom.pfm",
                  "alien.pfm.json: not a part record of this program's form (raytracer-part/1)");
}

TEST_F(Assemble, UsageAndAnOutputThatWouldReplaceAPart) {
    for (const char* args : {"--assemble", "--assemble top.pfm", "--assemble +Oout.png"}) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 255) << args;
        EXPECT_EQ(r.out,
                  "Usage: raytracer --assemble +O<image.png|image.ppm|image.pfm> <part.pfm>...\n");
    }
    const std::string before = readFile(s_dir + "/top.pfm");
    const auto r = run("--assemble +Otop.pfm top.pfm middle.pfm bottom.pfm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "assemble: top.pfm: the output would replace one of the parts\n");
    EXPECT_EQ(readFile(s_dir + "/top.pfm"), before);
}

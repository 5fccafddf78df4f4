#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "Tyra.h"
#include "feedback.h"
#include "image_files.h"
#include "test_support.h"

using testing_support::linesOf;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

// Runs the preview's drawing twice in dir; the log of both frames goes to *log.
std::vector<feedback::Polygon> drawTwiceIn(const std::string& dir, std::string* log) {
    char previous[4096];
    EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
    EXPECT_EQ(chdir(dir.c_str()), 0);
    const Tyra tyra;
    testing::internal::CaptureStderr();
    const auto first = feedback::drawnPolygons([&] { tyra.glDraw(); });
    const auto second = feedback::drawnPolygons([&] { tyra.glDraw(); });
    *log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(chdir(previous), 0);
    EXPECT_EQ(first.size(), second.size());
    return first;
}

}  // namespace

// Runs first: the mesh, once loaded, stays loaded for the process.
TEST(TyraGl, MissingMeshIsReportedOnceAndThePreviewGoesOn) {
    const std::string dir = tempDir() + "/nomesh";
    mkdir(dir.c_str(), 0755);
    std::string log;
    EXPECT_TRUE(drawTwiceIn(dir, &log).empty());
    EXPECT_EQ(log, "file \"Data/Tyra.obj\" not found\n");
}

TEST(TyraGl, MeshIsCentredEnlargedAndTurnedUpright) {
    const std::string dir = tempDir() + "/preview";
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/Data").c_str(), 0755);
    const std::string obj = "v -1 0 0\nv 1 2 4\nv 1 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n";
    writeFile("preview/Data/Tyra.obj", obj);
    image_files::writeBmp("preview/Data/TyraNormals.bmp", 4, 4);
    std::string log;
    const auto drawn = drawTwiceIn(dir, &log);

    // Bounds (-1, 0, 0) to (1, 2, 4): p goes to R(8 (p - (0, 1, 2))), R(x, y, z) = (x, z, -y).
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(feedback::hasCorner(drawn[0], {-8, -16, 8}));
    EXPECT_TRUE(feedback::hasCorner(drawn[0], {8, 16, -8}));
    EXPECT_TRUE(feedback::hasCorner(drawn[0], {8, -16, 8}));
    const std::vector<std::string> lines = linesOf(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Parsing file \"Data/Tyra.obj\" (file size = " +
                            std::to_string(obj.size()) + " bytes)...");
    EXPECT_EQ(lines.size(), 7u) << log;  // one reading, nothing from the second frame
}

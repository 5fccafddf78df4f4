// Whole renders of scenes with the new statements, compared with scenes
// that say the same without them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

using namespace testing_support;

namespace {

const char* const kHead =
    "camera { location <0, 2, 9> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0.5, 0> }\n"
    "light_source { <-6, 10, 8> color rgb <1, 1, 1> }\n"
    "plane { <0, 1, 0>, -1 pigment { color rgb <0.8, 0.8, 0.7> }"
    " finish { ambient 0.2 diffuse 0.7 } }\n";

const char* const kSurface =
    " pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 specular 0.5 }";

// The image bytes of the scene at 64 x 48 with the given threads.
std::string render(const std::string& body, int threads = 1) {
    const std::string dir = tempDir();
    static int count = 0;
    const std::string name = "scene" + std::to_string(++count);
    writeFile(name + ".pov", std::string(kHead) + body);
    const RunResult run =
        runShell("cd " + dir + " && OMP_NUM_THREADS=" + std::to_string(threads) + " " +
                 RT_BINARY + " +I" + name + ".pov +W64 +H48 +O" + name + ".ppm");
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string image = readFile(dir + "/" + name + ".ppm");
    EXPECT_FALSE(image.empty()) << body;
    return image;
}

}  // namespace

TEST(ShapeScenes, TransformsMatchTheMovedGeometry) {
    // Translation adds exactly here: the same image.
    EXPECT_EQ(render(std::string("sphere { <0, 0, 0>, 1") + kSurface + " translate <1, 0.5, -1> }"),
              render(std::string("sphere { <1, 0.5, -1>, 1") + kSurface + " }"));
    // A quarter turn swaps the box's extents.
    EXPECT_EQ(farApart(render(std::string("box { <-2, -0.5, -0.5>, <2, 0.5, 0.5>") + kSurface +
                              " rotate <0, 90, 0> }"),
                       render(std::string("box { <-0.5, -0.5, -2>, <0.5, 0.5, 2>") + kSurface +
                              " }")),
              0);
    // Uniform scale 2 is radius 2.
    EXPECT_EQ(farApart(render(std::string("sphere { <0, 0, 0>, 1") + kSurface + " scale 2 }"),
                       render(std::string("sphere { <0, 0, 0>, 2") + kSurface + " }")),
              0);
    // Transforms stand anywhere among the modifiers; those after them count.
    EXPECT_EQ(render(std::string("sphere { <0, 0, 0>, 1 translate <1, 0.5, -1>") + kSurface + " }"),
              render(std::string("sphere { <1, 0.5, -1>, 1") + kSurface + " }"));
}

TEST(ShapeScenes, MeshRendersAsItsTrianglesOneByOne) {
    const std::string a = "<-2, -1, 0>, <2, -1, 0>, <0, 2, -1>";
    const std::string b = "<2, -1, 0>, <3, 2, -2>, <0, 2, -1>";
    const std::string own = " pigment { color rgb <0.2, 0.3, 0.9> } finish { ambient 0.2 diffuse 0.6 }";
    EXPECT_EQ(render("mesh { triangle { " + a + own + " } triangle { " + b + " }" + kSurface +
                     " }"),
              render("triangle { " + a + own + " } triangle { " + b + kSurface + " }"));
    // Moved as one.
    EXPECT_EQ(render("mesh { triangle { " + a + " } triangle { " + b + " }" + kSurface +
                     " translate <0, 1, 0> }"),
              render("mesh { triangle { <-2, 0, 0>, <2, 0, 0>, <0, 3, -1> } triangle { "
                     "<2, 0, 0>, <3, 3, -2>, <0, 3, -1> }" +
                     std::string(kSurface) + " }"));
}

TEST(ShapeScenes, NewShapesRenderTheSameAtAnyThreadCount) {
    const std::string scene =
        std::string("cylinder { <-2, -1, 0>, <-2, 1, 0>, 0.5") + kSurface +
        " rotate <0, 0, 20> }\n"
        "cone { <0, -1, 0>, 0.8, <0, 1, 0>, 0 open" + kSurface + " }\n"
        "disc { <2, 0, 0>, <0, 0, 1>, 0.8, 0.3" + kSurface + " }\n"
        "smooth_triangle { <-1, 1, -1>, <0, 0, 1>, <1, 1, -1>, <1, 0, 1>, <0, 2, -1>, <0, 1, 1>" +
        kSurface + " }\n";
    const std::string one = render(scene, 1);
    EXPECT_EQ(render(scene, 2), one);
    EXPECT_EQ(render(scene, 3), one);
}

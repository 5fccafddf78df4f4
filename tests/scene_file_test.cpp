#include "scene_file.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "main.h"
#include "parser.h"
#include "test_support.h"

using testing_support::resetGlobals;
using testing_support::writeFile;

namespace {

class SceneFile : public testing::Test {
protected:
    void SetUp() override { resetGlobals(); }
    void TearDown() override { resetGlobals(); }

    // Reads the text as the scene file and returns what the reader printed.
    std::string read(const std::string& text) {
        gInputFileName = writeFile("scene.pov", text);
        testing::internal::CaptureStdout();
        try {
            parse_file(gInputFileName, {gPixelWidth, gPixelHeight}, gObjects, lights, &camera);
        } catch (...) {
            testing::internal::GetCapturedStdout();
            throw;
        }
        return testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST_F(SceneFile, StatementsFillTheListsInFileOrder) {
    const std::string printed = read(
        "camera { location <0, 0, 10> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }\n"
        "light_source { <0, 5, 0> color rgb <1, 0.5, 0> }\n"
        "sphere { <0, 1, 2>, 0.5 }\n"
        "plane { <0, 1, 0>, -1 }\n"
        "light_source { <1, 1, 1> color rgb <1, 1, 1> }\n"
        "triangle { <0, 0, 0>, <1, 0, 0>, <0, 1, 0> }\n"
        "box { <0, 0, 0>, <1, 1, 1> }\n");
    ASSERT_EQ(gObjects.size(), 4u);
    EXPECT_NE(dynamic_cast<Sphere*>(gObjects[0]), nullptr);
    EXPECT_NE(dynamic_cast<Plane*>(gObjects[1]), nullptr);
    EXPECT_NE(dynamic_cast<Triangle*>(gObjects[2]), nullptr);
    EXPECT_NE(dynamic_cast<Box*>(gObjects[3]), nullptr);
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_EQ(lights[0]->location, Vector3(0, 5, 0));
    EXPECT_EQ(lights[0]->color.g, 0.5);
    EXPECT_EQ(camera.eye, Vector3(0, 0, 10));
    EXPECT_EQ(camera.xRes, 128);
    EXPECT_EQ(printed,
              "parsing camera\n"
              "set camera \"location\" (eye) to <0, 0, 10>\n"
              "set camera \"up\" to <0, 1, 0>\n"
              "set camera \"right\" to <1.33, 0, 0>\n"
              "set camera \"look_at\" to <0, 0, 0>\n"
              "parsing light source\nparsed color: <1, 0.5, 0>\n"
              "parsing sphere\nfilter = 0\nparsed sphere with center <0, 1, 2> and radius 0.5\n"
              "parsing plane\nparsed plane with normal <0, 1, 0> and d -1\nfilter = 0\n"
              "parsing light source\nparsed color: <1, 1, 1>\n"
              "parsing triangle\n"
              "parsed triangle with vertices <0, 0, 0>, <1, 0, 0>, <0, 1, 0>\nfilter = 0\n"
              "parsing box\nfilter = 0\n");
}

TEST_F(SceneFile, UnknownTokensArePrintedAndDroppedOneByOne) {
    EXPECT_EQ(read("global_settings { ambient_light rgb <1, 1, 1> }\nSphere\n"),
              "global_settings\nambient_light\nrgb\n1\n1\n1\nSphere\n");
    EXPECT_TRUE(gObjects.empty());
    // A word no modifier knows ends an object's modifiers and is skipped.
    EXPECT_EQ(read("sphere { <0, 0, 0>, 1 hollow 2 }"),
              "parsing sphere\nfilter = 0\nparsed sphere with center <0, 0, 0> and radius 1\n"
              "hollow\n2\n");
    // A transform is one of them: the modifiers after it are read again.
    EXPECT_EQ(read("sphere { <0, 0, 0>, 1 scale 2 }"),
              "parsing sphere\nfilter = 0\nparsed sphere with center <0, 0, 0> and radius 1\n"
              "filter = 0\n");
    // An rgbf light keeps three numbers; the fourth is an unknown token.
    EXPECT_EQ(read("light_source { <0, 0, 0> color rgbf <1, 1, 1, 0.5> }"),
              "parsing light source\nparsed color: <1, 1, 1>\n0.5\n");
    // A statement keyword inside an unsupported block starts that statement.
    read("union { sphere { <0, 0, 0>, 1 } }");
    EXPECT_EQ(gObjects.size(), 3u);
}

TEST_F(SceneFile, EmptyAndCommentOnlyFilesLeaveTheSceneAlone) {
    camera.eye = Vector3(1, 2, 3);
    EXPECT_EQ(read(""), "");
    EXPECT_EQ(read("// nothing\n   \n// at all"), "");
    EXPECT_TRUE(gObjects.empty());
    EXPECT_TRUE(lights.empty());
    EXPECT_EQ(camera.eye, Vector3(1, 2, 3));
}

TEST_F(SceneFile, AFileThatEndsMidStatementIsFatal) {
    for (const char* text :
         {"sphere { <0, 0, 0>", "light_source { <0, 0, 0> color", "box { <0, 0, 0>, <1, 1",
          "sphere { <0, 0, 0>, x }", "camera { location <0, 0, 10> }"}) {
        EXPECT_THROW(read(text), SceneError) << text;
    }
}

// The camera is made for the size the reader is given, not the globals'.
TEST_F(SceneFile, TheCameraIsMadeForTheGivenSize) {
    std::deque<std::string> tokens = testing_support::tokensOf(
        "camera { location <0, 0, 10> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }");
    testing::internal::CaptureStdout();
    parse_statements(tokens, {320, 200}, gObjects, lights, &camera);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(camera.xRes, 320);
    EXPECT_EQ(camera.yRes, 200);
    EXPECT_EQ(gPixelWidth, 128);
}

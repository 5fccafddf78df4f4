// What the window keeps of the user's session, with the built program under
// a display: the view after a resize, the view copied as scene text and saved
// as a picture, the quit keys, and the scene file read again when it is saved.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "window_driver.h"

using testing_support::linesOf;
using testing_support::runRaytracer;
using testing_support::tempDir;
using testing_support::writeFile;
using namespace window_driver;

namespace {

const std::string CAMERA =
    "camera { location <0, 4, 14> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n";
const std::string LIGHT = "light_source { <6, 8, 6> color rgb <1, 1, 1> }\n";
const std::string OBJECTS =
    "plane { <0, 1, 0>, -1 pigment { color rgb <0.8, 0.8, 0.8> } finish { ambient 0.2 diffuse "
    "0.7 } }\n"
    "triangle { <-6, -1, -3>, <-2, -1, -5>, <-4, 3, -4> pigment { color rgb <1, 0.8, 0.1> } "
    "finish { ambient 0.2 diffuse 0.7 } }\n"
    "box { <2, -1, -3>, <4, 1, -1> pigment { color rgb <0.3, 0.5, 1> } finish { ambient 0.2 "
    "diffuse 0.7 } }\n";

std::string sphere(const std::string& rgb) {
    return "sphere { <-1, 0.5, 1>, 1.5 pigment { color rgb <" + rgb +
           "> } finish { ambient 0.2 diffuse 0.7 specular 0.5 } }\n";
}

const std::string SCENE = CAMERA + LIGHT + sphere("1, 0, 0") + OBJECTS;

// The batch image of the scene text at the size.
Picture batchImage(const std::string& name, const std::string& text, int width, int height) {
    const std::string scene = writeFile(name + ".pov", text);
    const auto run = runRaytracer(
        {"+W" + std::to_string(width), "+H" + std::to_string(height), "+I" + scene});
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    return readPpm(tempDir() + "/" + name + ".ppm");
}

// The share of the picture's pixels that are not black.
double coverage(const Picture& picture) {
    std::size_t lit = 0;
    for (std::size_t i = 0; i + 2 < picture.bytes.size(); i += 3) {
        lit += picture.bytes[i] != 0 || picture.bytes[i + 1] != 0 || picture.bytes[i + 2] != 0;
    }
    return picture.bytes.empty() ? 0 : 3.0 * lit / picture.bytes.size();
}

TEST(WindowSession, ResizedRayTracedWindowIsTheBatchImageOfItsSize) {
    const std::string scene = writeFile("resized.pov", SCENE);
    Window window({"+interactive", "+W160", "+H120", "+I" + scene});
    showsPicture(window, batchImage("start", SCENE, 160, 120), "start");
    // Larger (more of the scene must not show) and smaller (nor less of it).
    window.resize(213, 171);
    showsPicture(window, batchImage("larger", SCENE, 213, 171), "larger");
    window.resize(101, 77);
    showsPicture(window, batchImage("smaller", SCENE, 101, 77), "smaller");
}

// The camera and light statements that `c` printed last.
std::string copiedView(const Window& window) {
    std::string pasted;
    for (const std::string& line : linesOf(window.output())) {
        if (line.rfind("camera {", 0) == 0) pasted.clear();
        if (line.rfind("camera {", 0) == 0 || line.rfind("light_source {", 0) == 0) {
            pasted += line + "\n";
        }
    }
    return pasted;
}

// The pixels of a PNG, decoded by ImageMagick rather than by our own code.
Picture decodedPng(const std::string& png) {
    const std::string ppm = png + ".ppm";
    testing_support::runShell("convert '" + png + "' -depth 8 'ppm:" + ppm + "'");
    return readPpm(ppm);
}

}  // namespace

TEST(WindowSession, CopiedViewRendersAsTheWindowShowsIt) {
    const std::string scene = writeFile("copied.pov", SCENE);
    Window window({"+interactive", "+W160", "+H120", "+I" + scene});
    ASSERT_TRUE(window.waitFor("... done rendering."));
    window.key("w w w a l l i");
    window.key("c");
    ASSERT_TRUE(window.waitFor("light_source {"));
    const std::string pasted = copiedView(window);
    ASSERT_EQ(occurrences(pasted, "\n"), 2) << pasted;
    EXPECT_NE(pasted, CAMERA + LIGHT) << "the keys did not move the view";
    showsPicture(window, batchImage("pasted", pasted + sphere("1, 0, 0") + OBJECTS, 160, 120),
                 "copied");
}

// `p` in either window mode saves what a batch render of the copied view
// gives at the window's size, under a fresh name each time.
TEST(WindowSession, SavedViewIsTheBatchImageOfTheCopiedView) {
    for (const std::string mode : {"+interactive", "+opengl"}) {
        const std::string name = "saved" + mode.substr(1);
        const std::string scene = writeFile(name + ".pov", SCENE);
        Window window({mode, "+W160", "+H120", "+I" + scene});
        ASSERT_TRUE(window.waitFor(mode == "+opengl" ? "using texturing alone, no lights"
                                                     : "... done rendering."));
        window.resize(150, 110);
        window.key("w w a l l");
        if (mode == "+opengl") {
            // Hierarchy boxes added: the preview never draws them, and the
            // saved picture leaves them out too.
            window.key("1 1 1");
            ASSERT_TRUE(window.waitFor("Adding bvh node 2"));
        }
        window.key("c p p");
        const std::string second = tempDir() + "/" + name + "-view2.png";
        ASSERT_TRUE(window.waitFor("Saved view: " + second + "\n")) << window.output();
        EXPECT_TRUE(window.waitFor("Saved view: " + tempDir() + "/" + name + "-view1.png\n"));
        const std::string pasted = copiedView(window);
        const Picture expected =
            batchImage(name + "_pasted", pasted + sphere("1, 0, 0") + OBJECTS, 150, 110);
        const Picture saved = decodedPng(second);
        EXPECT_TRUE(saved.width == 150 && saved.bytes == expected.bytes)
            << mode << ": the saved view differs from the batch image of\n"
            << pasted << keep(saved, name);
    }
}

TEST(WindowSession, QAndEscapeEndTheProgramWithStatusZero) {
    const std::string scene = writeFile("quit.pov", SCENE);
    const struct {
        const char* mode;
        const char* key;
        const char* frame;  // a line that each frame prints
    } runs[] = {{"+interactive", "q", "... done rendering."},
                {"+opengl", "Escape", "using texturing alone, no lights"}};
    for (const auto& run : runs) {
        Window window({run.mode, "+W160", "+H120", "+I" + scene});
        ASSERT_TRUE(window.waitFor(run.frame)) << run.mode;
        // The window is gone before xdotool can send the key's release, so
        // its status is not looked at.
        testing_support::runShell("timeout 10 xdotool key --window " + window.id() + " " +
                                  run.key);
        EXPECT_TRUE(waitUntil([&] { return window.exited(); })) << run.mode << " " << run.key;
        const int status = window.status();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << run.mode << " " << run.key << ": wait status " << status << "\n"
            << window.output();
    }
}

TEST(WindowSession, SavedSceneReplacesTheViewAndABadSaveKeepsTheLastOne) {
    const std::string scene = writeFile("live.pov", SCENE);
    Window window({"+interactive", "+W160", "+H120", "+I" + scene});
    showsPicture(window, batchImage("red", SCENE, 160, 120), "red");

    const std::string blue = CAMERA + LIGHT + sphere("0, 0.3, 1") + OBJECTS;
    writeFile("live.pov", blue);
    const Picture blueImage = batchImage("blue", blue, 160, 120);
    showsPicture(window, blueImage, "blue");

    writeFile("live.pov", CAMERA + LIGHT + "sphere { <0, 0, 0>, one }\n" + OBJECTS);
    ASSERT_TRUE(window.waitFor(scene + ":3:21: expected a number after \"0, 0, 0>,\", found "
                                       "\"one\" (condition 'ss')\n"));
    EXPECT_FALSE(window.exited());
    showsPicture(window, blueImage, "after_error");

    // The next good save is picked up.
    writeFile("live.pov", SCENE);
    showsPicture(window, batchImage("red_again", SCENE, 160, 120), "red_again");
    EXPECT_EQ(occurrences(window.output(), "(condition 'ss')"), 1) << window.output();
}

// The back wall of a room faces the camera: the preview must show it as a
// wall, and a save that drops it must take it away.
TEST(WindowSession, PreviewStandsAWallOnItsNormalAndFollowsSaves) {
    const std::string room =
        "camera { location <0, 0, 10> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n" +
        LIGHT;
    const std::string wall = "plane { <0, 0, 1>, -5 pigment { color rgb <1, 1, 1> } }\n";
    const std::string scene = writeFile("wall.pov", room + wall);
    Window window({"+opengl", "+W160", "+H120", "+I" + scene});
    Picture shown;
    EXPECT_TRUE(waitUntil([&] {
        shown = window.picture();
        return coverage(shown) > 0.95;
    })) << "the wall covers " << coverage(shown) << " of the preview: " << keep(shown, "wall");

    writeFile("wall.pov", room);
    EXPECT_TRUE(waitUntil([&] {
        shown = window.picture();
        return coverage(shown) < 0.5;
    })) << "without the wall " << coverage(shown) << " is covered: " << keep(shown, "no_wall");
}

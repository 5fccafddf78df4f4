// The built program in its window modes: the ray-traced view against the
// batch image, the preview against where the camera puts each object, and
// the failures of the start-up.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_support.h"
#include "vector3.h"
#include "window_driver.h"

using testing_support::runShell;
using testing_support::tempDir;
using namespace window_driver;

namespace {

// Objects kept clear of the origin, except the box, which the preview always
// draws there (as it draws the mesh).
const char* const SCENE = R"(
camera { location <0, 6, 18> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }
light_source { <8, 5, 4> color rgb <1, 1, 1> }
sphere { <-8, 1, 2>, 1.5 pigment { color rgb <1, 0, 0> } finish { ambient 0.3 diffuse 0.7 } }
plane { <0, 1, 0>, -1 pigment { color rgb <0.8, 0.8, 0.8> } finish { ambient 0.3 diffuse 0.7 } }
box { <-12, -1, -1>, <12, 1, 1> pigment { color rgb <0.3, 0.5, 1> } finish { ambient 0.3 diffuse 0.7 } }
triangle { <3, -1, 8>, <7, -1, 8>, <5, 3, 8> pigment { color rgb <1, 1, 0> } finish { ambient 0.3 } }
)";

// Where gluPerspective(60, aspect, ...) after gluLookAt(eye, origin, y up)
// puts a point, in window pixels from the top left.
Vector3 project(const Vector3& point, int width, int height) {
    const Vector3 eye(0, 6, 18);
    const Vector3 forward = (Vector3(0, 0, 0) - eye).normalize();
    const Vector3 side = forward.cross(Vector3(0, 1, 0)).normalize();
    const Vector3 up = side.cross(forward);
    const Vector3 d = point - eye;
    const double focal = 1 / std::tan(30 * M_PI / 180);
    const double depth = d * forward;
    const double ndcX = focal / (static_cast<double>(width) / height) * (d * side) / depth;
    const double ndcY = focal * (d * up) / depth;
    return Vector3(std::floor((ndcX + 1) / 2 * width), std::floor((1 - ndcY) / 2 * height), 0);
}

std::string sceneFile() { return testing_support::writeFile("window_scene.pov", SCENE); }

}  // namespace

TEST(Window, RayTracedViewIsTheBatchImageAndFollowsInput) {
    const std::string scene = sceneFile();
    // An odd width: rows of 471 bytes, which OpenGL must not read as padded.
    const auto batch = testing_support::runRaytracer({"+W157", "+H118", "+I" + scene});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const Picture expected = readPpm(tempDir() + "/window_scene.ppm");
    ASSERT_EQ(expected.width, 157);

    Window window({"+interactive", "+W157", "+H118", "+I" + scene});
    ASSERT_TRUE(window.waitFor("... done rendering."));
    Picture shown;
    const bool same = waitUntil([&] {
        shown = window.picture();
        return shown.bytes == expected.bytes;
    });
    EXPECT_TRUE(same) << "the window differs from the batch image: " << keep(shown, "traced");

    window.key("1");
    window.waitFor("Adding bvh node 0");
    window.key("1");
    window.waitFor("Adding bvh node 1");
    window.moveTo(20, 30);
    window.xdotool("click 1");
    window.waitFor("Posting redisplay");
    window.waitFor("Mouse: (20,30)", 2);
    // A right drag 30 pixels down moves the eye 0.3 along z for the next frame.
    window.moveTo(40, 30);
    window.xdotool("mousedown 3");
    window.moveTo(40, 60);
    window.xdotool("mouseup 3");
    window.waitFor("Mouse: (40,60)");
    window.waitFor("Eye: <0, 6, 18.3>");
}

TEST(Window, PreviewDrawsTheSceneWhereTheCameraPutsIt) {
    const int width = 320;
    const int height = 240;
    Window window({"+opengl", "+W320", "+H240", "+I" + sceneFile()});
    ASSERT_TRUE(window.waitFor("using texturing alone, no lights"));
    const Vector3 sphere = project(Vector3(-8, 1, 2), width, height);
    const Vector3 floor = project(Vector3(0, -1, 8), width, height);
    const Vector3 box = project(Vector3(-11, 0, 1), width, height);
    const Vector3 triangle = project(Vector3(5, 1 / 3.0, 8), width, height);
    const Vector3 marker = project(Vector3(8, 5, 4), width, height);
    const Vector3 sky(width / 2, 2, 0);
    for (const Vector3& p : {sphere, floor, box, triangle, marker}) {
        ASSERT_TRUE(p.x >= 0 && p.x < width && p.y >= 0 && p.y < height) << p;
    }

    // The normal-map shader: colours shaded, so only their kind is checked.
    // The first frames may still be on their way: wait for a picture that
    // fits, keeping the last one for the failure message.
    const auto shaded = [&](const Picture& p) {
        const Rgb red = p.at(sphere);
        const Rgb yellow = p.at(triangle);
        const Rgb grey = p.at(marker);
        const Rgb ground = p.at(floor);
        const Rgb background = p.at(sky);
        return red.r > 50 && red.r > 2 * red.g && red.r > 2 * red.b && yellow.r > 50 &&
               yellow.g > 50 && yellow.r > 2 * yellow.b && grey.r > 40 &&
               std::abs(grey.r - grey.g) < 40 && std::abs(grey.g - grey.b) < 60 &&
               ground.r + ground.g + ground.b > 30 &&
               background.r + background.g + background.b == 0;
    };
    Picture shown;
    EXPECT_TRUE(waitUntil([&] {
        shown = window.picture();
        return shown.width == width && shaded(shown);
    })) << "the shaded preview is not as expected: "
        << keep(shown, "shaded");

    // The fixed-function pipeline shows the colours and textures as they are.
    window.key("n");
    window.waitFor("Switching to shader 0");
    window.waitFor("using texturing alone, no lights", 2);
    const bool plain = waitUntil([&] {
        const Rgb c = window.picture().at(sphere);
        return c.r == 255 && c.g == 0 && c.b == 0;
    });
    EXPECT_TRUE(plain) << "the sphere never showed its own red: "
                       << keep(window.picture(), "plain");
    shown = window.picture();
    const Rgb white = shown.at(marker);
    EXPECT_TRUE(white.r == 255 && white.g == 255 && white.b == 255);
    const Rgb pure = shown.at(triangle);
    EXPECT_TRUE(pure.r == 255 && pure.g == 255 && pure.b == 0);
    const Rgb bricks = shown.at(floor);  // the brick normal map, mostly +z: blue
    EXPECT_TRUE(bricks.b > 150 && bricks.b > bricks.r && bricks.b > bricks.g);
    const Rgb face = shown.at(box);  // the +z cell of the cube texture
    EXPECT_TRUE(face.b > face.r + 40 && face.b > face.g + 40);

    // Five steps of the light to the left move the marker with it.
    window.key("h h h h h");
    const Vector3 moved = project(Vector3(8 - 5 * 0.4, 5, 4), width, height);
    const bool followed = waitUntil([&] {
        const Picture now = window.picture();
        const Rgb there = now.at(moved);
        const Rgb gone = now.at(marker);
        return there.r == 255 && there.b == 255 && gone.b != 255;
    });
    EXPECT_TRUE(followed) << "the marker did not follow the light: "
                          << keep(window.picture(), "light");

    const std::string out = window.output();
    EXPECT_EQ(out.find("glError"), std::string::npos);
    EXPECT_EQ(out.find("No such uniform"), std::string::npos);
}

// Started in a folder without the runtime files, the preview uses the
// source tree's, and a scene named relative to the starting folder is found.
TEST(Window, PreviewStartsFromAnyFolder) {
    const std::string elsewhere = tempDir() + "/elsewhere";
    ASSERT_EQ(runShell("mkdir -p '" + elsewhere + "'").status, 0);
    std::ofstream(elsewhere + "/scene.pov") << SCENE;
    Window window({"+opengl", "+W160", "+H120", "+Iscene.pov"}, elsewhere);
    ASSERT_TRUE(window.waitFor("using texturing alone, no lights"));
    const bool drawn = waitUntil([&] {
        const Picture shown = window.picture();
        return shown.width == 160 && shown.bytes.find_first_not_of('\0') != std::string::npos;
    });
    EXPECT_TRUE(drawn) << keep(window.picture(), "elsewhere");
    const std::string out = window.output();
    EXPECT_NE(out.find("parsing sphere"), std::string::npos) << out;
    EXPECT_NE(out.find("trying to load Data/TyraNormals.bmp\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("File Not Found"), std::string::npos) << out;
}

TEST(Window, StartUpFailuresEndWithStatusOne) {
    const std::string scene = sceneFile();
    const std::string binary = RT_BINARY;
    // A runtime folder (it holds a shader) without the textures.
    const std::string bare = tempDir() + "/bare";
    auto run = runShell("mkdir -p '" + bare + "' && cd '" + bare + "' && cp '" + PREVIEW +
                        "/FPhong.glsl' . && timeout 20 '" + binary + "' +opengl '+I" + scene +
                        "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(
        run.out.find("trying to load texture/PLANE_1.bmp\nFile Not Found : texture/PLANE_1.bmp\n"),
        std::string::npos)
        << run.out;

    // An installed program (bin/ beside share/raytracer/preview) started
    // outside any runtime folder takes its data folder before the source
    // tree's: here one whose cube texture is missing.
    const std::string prefix = tempDir() + "/prefix";
    const std::string data = prefix + "/share/raytracer/preview";
    run = runShell("mkdir -p '" + prefix + "/bin' '" + data + "/texture' && cp '" + binary + "' '" +
                   prefix + "/bin/' && cp -r '" + PREVIEW + "/Data' '" + PREVIEW + "'/*.glsl '" +
                   data + "' && cp '" + PREVIEW + "/texture/PLANE_1.bmp' '" + data +
                   "/texture' && cd / && timeout 20 '" + prefix + "/bin/raytracer' +opengl '+I" +
                   scene + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("File Not Found : texture/BOX_1.bmp\n"), std::string::npos) << run.out;

    // The textures, but an empty Phong vertex shader.
    const std::string partial = tempDir() + "/partial";
    run = runShell("mkdir -p '" + partial + "' && cd '" + partial + "' && ln -sf '" + PREVIEW +
                   "/texture' '" + PREVIEW + "/Data' . && cp '" + PREVIEW + "'/*NormalMap.glsl '" +
                   PREVIEW + "/FPhong.glsl' . && : > VPhong.glsl && timeout 20 '" + binary +
                   "' +interactive '+I" + scene + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("sucessfully installed shader\nError installing shader!\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("VPhong.glsl: shader file missing or empty\n"), std::string::npos)
        << run.err;

    // An OpenGL older than 2.0.
    run = runShell("cd '" + PREVIEW + "' && MESA_GL_VERSION_OVERRIDE=1.4 timeout 20 '" + binary +
                   "' +opengl '+I" + scene + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(
        run.out.find("This shader example will not work due to opengl version, which is 1 4 ("),
        std::string::npos)
        << run.out;

    // A camera the first traced frame refuses: the scene error leaves the
    // window's loop and ends the program as in batch mode.
    const std::string basis = testing_support::writeFile(
        "basis.pov",
        "camera { location <1e308, 0, 0> up <0, 1, 0> right <1, 0, 0> look_at <-1e308, 0, 0> }");
    run = runShell("cd '" + PREVIEW + "' && timeout 20 '" + binary + "' +interactive '+I" + basis +
                   "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(testing_support::withoutWarnings(run.err),
              basis +
                  ": the camera's location, look_at and up give no usable view "
                  "directions (condition 'fabs(u * v) < 0.00000001')\n");
    // The window modes warn as batch renders do, and --strict ends them
    // before a window opens.
    EXPECT_NE(run.err.find(basis + ": warning: the scene has no object;"), std::string::npos)
        << run.err;
    for (const std::string mode : {"+interactive", "+opengl"}) {
        run = runShell("cd '" + PREVIEW + "' && timeout 20 '" + binary + "' " + mode +
                       " --strict '+I" + basis + "'");
        EXPECT_EQ(run.status, 1) << mode;
        EXPECT_EQ(testing_support::withoutWarnings(run.err),
                  basis + ": error: 3 warnings and --strict: no image\n")
            << mode;
        EXPECT_EQ(run.out.find("Interaction directions"), std::string::npos) << mode;
    }
}

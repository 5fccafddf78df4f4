#include "viewer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "GLSL_helper.h"
#include "gl_window.h"
#include "main.h"
#include "state.h"
#include "test_support.h"
#include "window/view_statement.h"

namespace {

std::string capturedStdout(void (*action)()) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

int installPreviewShader(int* handle, const char* vertexFile, const char* fragmentFile) {
    const std::string dir = RT_SOURCE_DIR "/preview/";
    char* vertex = textFileRead((dir + vertexFile).c_str());
    char* fragment = textFileRead((dir + fragmentFile).c_str());
    const int installed = InstallShader(handle, vertex, fragment);
    std::free(vertex);
    std::free(fragment);
    return installed;
}

const char* const PASS_VERTEX = "void main() { gl_Position = ftransform(); }\n";
const char* const WHITE_FRAGMENT = "void main() { gl_FragColor = vec4(1.0); }\n";

}  // namespace

TEST(InstallShader, FailsOnBrokenOrMissingTextsAndOnLinkErrors) {
    openTestWindow();
    int handle = 77;
    testing::internal::CaptureStdout();
    EXPECT_EQ(
        InstallShader(&handle, "void main() { gl_Position = ftransform() }\n", WHITE_FRAGMENT), 0);
    const std::string broken = testing::internal::GetCapturedStdout();
    EXPECT_EQ(broken.rfind("Shader InfoLog:\n", 0), 0u) << broken;  // the vertex log
    const std::string tail = "Error compiling the shader vertex: 0 frag: 1";
    EXPECT_EQ(broken.substr(broken.size() - tail.size()), tail);

    testing::internal::CaptureStdout();
    EXPECT_EQ(InstallShader(&handle, nullptr, WHITE_FRAGMENT), 0);
    EXPECT_EQ(InstallShader(&handle, PASS_VERTEX, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(handle, 77);

    // Both compile, but there is no vertex main to link.
    testing::internal::CaptureStdout();
    EXPECT_EQ(InstallShader(&handle, "vec4 unused() { return vec4(0.0); }\n", WHITE_FRAGMENT), 0);
    const std::string unlinked = testing::internal::GetCapturedStdout();
    EXPECT_NE(unlinked.find("Program InfoLog:"), std::string::npos) << unlinked;
    EXPECT_NE(unlinked.find("Error linking the shader program\n"), std::string::npos);
    EXPECT_EQ(unlinked.find("sucessfully"), std::string::npos);
    EXPECT_EQ(printOglError("viewer_test", 0), 0);
}

// The preview's shaders declare the whole contract, so a frame sets every
// uniform without a "No such uniform" line, with or without a light.
TEST(Display, PreviewShadersTakeEveryUniformOfTheFrame) {
    openTestWindow();
    testing_support::resetGlobals();
    testing::internal::CaptureStdout();
    ASSERT_EQ(installPreviewShader(&NormalMapShader, "VNormalMap.glsl", "FNormalMap.glsl"), 1);
    ASSERT_EQ(installPreviewShader(&DiffuseShader, "VPhong.glsl", "FPhong.glsl"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "sucessfully installed shader\nsucessfully installed shader\n");
    EXPECT_GE(glGetAttribLocation(static_cast<GLuint>(NormalMapShader), "Tangent"), 0);

    Sphere sphere(Vector3(0, 0, 0), 1);
    Plane plane(Vector3(0, 1, 0), -1.0);
    Box box(Point(-1, -1, -1), Point(1, 1, 1));
    Triangle triangle(Point(0, 0, 0), Point(1, 0, 0), Point(0, 1, 0));
    gObjects = {&sphere, &plane, &box, &triangle};
    Light light(Point(2, 3, 4), Color(1, 1, 1));
    camera =
        Camera(Vector3(0, 2, 8), Vector3(0, 1, 0), Vector3(1.33, 0, 0), Vector3(0, 0, 0), 4, 3);
    gDrawMode = OPENGL;
    reshapeCallback(64, 48);
    // The frame draws the preview mesh too, from the preview folder.
    char* const workingDir = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(RT_SOURCE_DIR "/preview"), 0);
    for (int program : {NormalMapShader, DiffuseShader}) {
        ShadeProg = program;
        for (bool lit : {true, false}) {
            lights.clear();
            if (lit) lights.push_back(&light);
            testing::internal::CaptureStderr();
            EXPECT_EQ(capturedStdout(display), "using texturing alone, no lights\n");
            const std::string errors = testing::internal::GetCapturedStderr();
            EXPECT_EQ(errors.find("glError"), std::string::npos) << program << " " << lit << errors;
        }
    }
    EXPECT_EQ(chdir(workingDir), 0);
    std::free(workingDir);
    testing_support::resetGlobals();
    ShadeProg = 0;
}

TEST(Display, PixelBufferIsBottomRowFirstWithTruncatedBytes) {
    Color column0[2] = {Color(1, 0, 0), Color(0, 0, 0)};
    Color column1[2] = {Color(0, 0, 0), Color(0.999, 0.5, 0)};
    Color* image[2] = {column0, column1};
    ByteColor buffer[4];
    fillPixelBuffer(image, buffer, 2, 2);
    const unsigned char expected[12] = {0, 0, 0, 254, 127, 0, 255, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(buffer, expected, sizeof expected), 0);
}

// After a resize the buffers follow the window, so a ray-traced frame of the
// new size stays inside them (the sanitizer build checks every access).
TEST(Display, ResizedWindowGetsBuffersOfItsSize) {
    openTestWindow();
    testing_support::resetGlobals();
    allocateImage(gPixelWidth, gPixelHeight);
    Sphere sphere(Vector3(0, 0, 0), 1);
    sphere.color = Color(1, 1, 1);
    sphere.finish.ambient = 1;
    gObjects = {&sphere};
    camera =
        Camera(Vector3(0, 0, 5), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 400, 300);
    gDrawMode = RAYTRACER;
    reshapeCallback(400, 300);
    EXPECT_EQ(gPixelWidth, 400);
    EXPECT_EQ(gPixelHeight, 300);
    // The pixel step of a batch render at +W400 +H300 (see also window_session_test).
    camera.xRes = camera.yRes = 0;
    reshapeCallback(400, 300);
    EXPECT_EQ(camera.xRes, 400);
    EXPECT_EQ(camera.yRes, 300);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 400.0 / 300.0, 1e-6);  // the aspect, in float

    const std::string printed = capturedStdout(display);
    EXPECT_NE(printed.find("... done rendering."), std::string::npos);
    // A white sphere in the middle of a black frame, the last buffer entry
    // being the window's top right corner.
    EXPECT_EQ(pixelBuffer[150 * 400 + 200].g, 255);
    EXPECT_EQ(pixelBuffer[400 * 300 - 1].g, 0);
    EXPECT_EQ(printOglError("viewer_test", 0), 0);
    testing_support::resetGlobals();
}

TEST(Input, KeysStepBoxesShadersCameraAndTheFirstLight) {
    openTestWindow();
    testing_support::resetGlobals();
    Box a(Point(0, 0, 0), Point(1, 1, 1));
    Box b(Point(0, 0, 0), Point(2, 2, 2));
    gNodeList = {&a, &b};
    const auto press = [](unsigned char key) {
        testing::internal::CaptureStdout();
        keyCallback(key, 0, 0);
        return testing::internal::GetCapturedStdout();
    };
    EXPECT_EQ(press('1'), "Adding bvh node 0\n");
    EXPECT_EQ(press('1'), "Adding bvh node 1\n");
    EXPECT_EQ(press('1'), "Adding bvh node 2\n");
    EXPECT_EQ(gBvhStep, 0);

    NormalMapShader = 3;
    DiffuseShader = 6;
    EXPECT_EQ(press('b'), "Switching to shader 6\n");
    EXPECT_EQ(press('n'), "Switching to shader 0\n");
    EXPECT_EQ(press('m'), "Switching to shader 3\n");
    EXPECT_EQ(ShadeProg, 3);

    camera = Camera(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 4, 3);
    press('w');
    EXPECT_EQ(camera.eye.z, 9.9);
    press('a');
    press('a');
    press('d');
    EXPECT_EQ(gRotate, 1);

    // Without lights the light keys have nothing to move.
    for (unsigned char key : {'l', 'h', 'i', 'u', 'j', 'k', 'x'}) EXPECT_EQ(press(key), "");
    Light light(Point(1, 2, 3), Color(1, 1, 1));
    lights = {&light};
    const double step = 0.4000000059604645;  // the single-precision 0.4
    const struct {
        unsigned char key;
        double Vector3::*axis;
        double sign;
    } moves[] = {{'l', &Vector3::x, 1},  {'h', &Vector3::x, -1}, {'i', &Vector3::y, 1},
                 {'u', &Vector3::y, -1}, {'j', &Vector3::z, 1},  {'k', &Vector3::z, -1}};
    for (const auto& move : moves) {
        const Point before = light.location;
        press(move.key);
        Point expected = before;
        expected.*move.axis += move.sign * step;
        EXPECT_EQ(light.location, expected) << move.key;
    }
    testing_support::resetGlobals();
    ShadeProg = NormalMapShader = DiffuseShader = 0;
}

// c prints the view, and only that: the camera as the window shows it and
// the first light, each number in its exact form.
TEST(Input, CopyKeyPrintsTheShownCameraAndTheFirstLight) {
    openTestWindow();
    testing_support::resetGlobals();
    const auto press = [](unsigned char key) {
        testing::internal::CaptureStdout();
        keyCallback(key, 0, 0);
        return testing::internal::GetCapturedStdout();
    };
    camera = Camera(Vector3(0, 3, 12), Vector3(0, 1, 0), Vector3(1.33333, 0, 0),
                    Vector3(0, 1, 0), 4, 3);
    camera.zoom(0.1);
    Light first(Point(-8, 12, 10), Color(1, 0.9, 0.8));
    Light second(Point(1, 2, 3), Color(1, 1, 1));
    lights = {&first, &second};
    first.location.x += LIGHT_MOVE;
    gRotate = 20;  // no effect on the ray-traced view
    EXPECT_EQ(press('c'),
              "camera { location <0, 2.983560101269464, 11.901360607616786> up <0, 1, 0> "
              "right <1.33333, 0, 0> look_at <0, 0.9835601012694642, -0.09863939238321438> }\n"
              "light_source { <-7.5999999940395355, 12, 10> color rgb <1, 0.9, 0.8> }\n");
    lights.clear();
    EXPECT_EQ(press('c'), cameraStatement(camera) + "\n");

    // The preview turns the scene; the printed camera is turned back instead,
    // which is the same view: OpenGL's own matrices say so.
    gDrawMode = OPENGL;
    const Camera turned = shownCamera();
    EXPECT_EQ(press('c'), cameraStatement(turned) + "\n");
    EXPECT_EQ(turned.right, camera.right);
    GLdouble preview[16];
    GLdouble copied[16];
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.lookAt.x, camera.lookAt.y,
              camera.lookAt.z, camera.up.x, camera.up.y, camera.up.z);
    glRotated(gRotate, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, preview);
    glLoadIdentity();
    gluLookAt(turned.eye.x, turned.eye.y, turned.eye.z, turned.lookAt.x, turned.lookAt.y,
              turned.lookAt.z, turned.up.x, turned.up.y, turned.up.z);
    glGetDoublev(GL_MODELVIEW_MATRIX, copied);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(copied[i], preview[i], 1e-5) << i;
    EXPECT_FALSE(turned.eye == camera.eye);
    gRotate = 0;
    EXPECT_EQ(press('c'), cameraStatement(camera) + "\n");
    glLoadIdentity();
    testing_support::resetGlobals();
}

TEST(Input, DragsMoveTheEyeAndEveryButtonEventIsReported) {
    openTestWindow();
    testing_support::resetGlobals();
    camera = Camera(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 4, 3);
    const auto mouse = [](int button, int state, int x, int y) {
        testing::internal::CaptureStdout();
        mouseCallback(button, state, x, y);
        return testing::internal::GetCapturedStdout();
    };
    EXPECT_EQ(mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 120, 45), "Posting redisplay\nMouse: (120,45)\n");
    EXPECT_EQ(mouse(GLUT_LEFT_BUTTON, GLUT_UP, 120, 45), "Mouse: (120,45)\n");
    EXPECT_EQ(mouse(3, GLUT_DOWN, 1, 2), "Mouse: (1,2)\n");

    // Right drag: vertical motion moves the eye along z.
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 100);
    mouseMotion(10, 130);
    EXPECT_EQ(camera.eye.z, 10 + 30 * 0.01);
    mouseMotion(50, 130);  // no vertical change: nothing moves
    EXPECT_EQ(camera.eye.z, 10 + 30 * 0.01);
    mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 50, 130);
    EXPECT_FALSE(zoomState);

    // Middle drag: right and up; the release adds nothing.
    camera.eye = Vector3(0, 0, 10);
    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 50, 50);
    mouseMotion(60, 40);
    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 60, 40);
    EXPECT_EQ(camera.eye.x, 10 * 0.01);
    EXPECT_EQ(camera.eye.y, -10 * -0.01);
    EXPECT_EQ(camera.eye.z, 10);
    EXPECT_EQ(camera.lookAt, Vector3(0, 0, 0));
    EXPECT_FALSE(shiftState);
    mouseMotion(0, 0);  // no button held: nothing moves
    EXPECT_EQ(camera.eye, Vector3(10 * 0.01, -10 * -0.01, 10));
}

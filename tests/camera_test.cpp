#include "camera.h"

#include <gtest/gtest.h>

#include "parser.h"
#include "test_support.h"

using testing_support::tokensOf;

namespace {

Camera parseCamera(const std::string& text, std::string* printed,
                   std::deque<std::string>* rest = nullptr, int xRes = 4, int yRes = 3) {
    std::deque<std::string> tokens = tokensOf(text);
    testing::internal::CaptureStdout();
    Camera c;
    try {
        c = Camera::parse(tokens, xRes, yRes);
    } catch (...) {
        *printed = testing::internal::GetCapturedStdout();
        throw;
    }
    *printed = testing::internal::GetCapturedStdout();
    if (rest != nullptr) *rest = tokens;
    return c;
}

}  // namespace

TEST(Camera, PixelCentresUseAStepOfSizeOverCountMinusOne) {
    Camera c(Vector3(0, 0, 10), Vector3(0, 2, 0), Vector3(3, 0, 0), Vector3(0, 0, 0), 4, 3);
    EXPECT_EQ(c.pixelToScreenX(0), -1);
    EXPECT_EQ(c.pixelToScreenX(1), 0);
    EXPECT_EQ(c.pixelToScreenX(3), 2);
    EXPECT_EQ(c.pixelToScreenY(0), 0.5);
    EXPECT_EQ(c.pixelToScreenY(2), -1.5);
    EXPECT_EQ(c.pixelToScreen(1, 0), Vector3(0, 0.5, -1));

    Camera wide(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1.33, 0, 0), Vector3(0, 0, 0), 4, 3);
    const Vector3 p = wide.pixelToScreen(0, 0);
    EXPECT_DOUBLE_EQ(p.x, -0.665 + 0.5 * 1.33 / 3);
    EXPECT_EQ(p.y, 0.25);
    testing::internal::CaptureStdout();
    const Vector3 world = wide.vectorTransform() * p;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(world, Vector3(p.x, 0.25, -1));
}

TEST(Camera, OnePixelImagesDoNotDivideByZero) {
    Camera c(Vector3(0, 0, 10), Vector3(0, 2, 0), Vector3(3, 0, 0), Vector3(0, 0, 0), 1, 1);
    EXPECT_EQ(c.pixelToScreenX(0), 0);
    EXPECT_EQ(c.pixelToScreenY(0), 0);
}

TEST(Camera, BasisIsRightHandedAndPrinted) {
    Camera c(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 4, 3);
    testing::internal::CaptureStdout();
    const Matrix4x4 m = c.vectorTransform();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "u: <1, 0, 0>\nv: <0, 1, 0>\nw: <0, 0, 1>\n");
    EXPECT_EQ(m.str(), "{{1 0 0 0}{0 1 0 0}{0 0 1 0}{0 0 0 1}}");
    testing::internal::CaptureStdout();
    EXPECT_EQ(c.transform().str(), "{{1 0 0 0}{0 1 0 0}{0 0 1 10}{0 0 0 1}}");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "u: <1, 0, 0>\nv: <0, 1, 0>\nw: <0, 0, 1>\n");

    // An up that leans towards the view still gives an orthonormal basis.
    Camera leaning(Vector3(0, 0, 10), Vector3(0, 1, 1), Vector3(1, 0, 0), Vector3(0, 0, 0), 4, 3);
    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(leaning.vectorTransform());
    testing::internal::GetCapturedStdout();
}

TEST(Camera, NonOrthogonalBasisIsFatal) {
    // A view direction that overflows makes the basis NaN: it must not render.
    Camera c(Vector3(1e308, 0, 10), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(-1e308, 1, 0), 4, 3);
    testing::internal::CaptureStdout();
    std::string message;
    try {
        c.vectorTransform();
    } catch (const SceneError& e) {
        message = e.what();
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(message,
              "the camera's location, look_at and up give no usable view directions (condition "
              "'fabs(u * v) < 0.00000001')");
}

TEST(Camera, ZoomMovesEyeAndTarget) {
    Camera c(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 4, 3);
    c.zoom(0.1);
    EXPECT_EQ(c.eye, Vector3(0, 0, 9.9));
    EXPECT_EQ(c.lookAt, Vector3(0, 0, -0.1));
    c.zoom(-0.1);
    EXPECT_EQ(c.eye.z, 10);
}

TEST(Camera, StatementReadsKeysInAnyOrder) {
    std::string printed;
    std::deque<std::string> rest;
    const Camera c = parseCamera(
        "camera { look_at <0, 1, 0> right <1.33, 0, 0> location <0, 2, -5> up <0, 1, 0> "
        "up <0, 2, 0> } sphere",
        &printed, &rest);
    EXPECT_EQ(printed,
              "set camera \"look_at\" to <0, 1, 0>\nset camera \"right\" to <1.33, 0, 0>\n"
              "set camera \"location\" (eye) to <0, 2, -5>\nset camera \"up\" to <0, 1, 0>\n"
              "set camera \"up\" to <0, 2, 0>\n");
    EXPECT_EQ(c.up, Vector3(0, 2, 0));  // the last value wins
    EXPECT_EQ(c.eye, Vector3(0, 2, -5));
    EXPECT_EQ(c.xRes, 4);
    EXPECT_EQ(c.yRes, 3);
    EXPECT_EQ(rest, std::deque<std::string>{"sphere"});
}

TEST(Camera, MissingKeysAreZeroAndShortStatementsFatal) {
    std::string printed;
    const Camera c = parseCamera(
        "camera { location <0, 0, 5> look_at <0, 0, 0> } sphere {<0,0,0>, 1} a b c", &printed);
    EXPECT_EQ(c.up, Vector3(0, 0, 0));
    EXPECT_EQ(c.right, Vector3(0, 0, 0));
    try {
        parseCamera("camera { location <0, 0, 5> look_at <0, 0, 0> }", &printed);
        FAIL();
    } catch (const SceneError& e) {
        EXPECT_STREQ(e.what(),
                     "expected at least 17 tokens from \"camera\" to the end of the file, found 9 "
                     "(condition 'tokens.size() >= tokensLeft')");
    }
    EXPECT_THROW(parseCamera("camera { location <0, 0, x> up <0,1,0> right <1,0,0> "
                             "look_at <0,0,0> }",
                             &printed),
                 SceneError);
}

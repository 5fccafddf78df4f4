#include "view_statement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "parser.h"
#include "test_support.h"

using testing_support::tokensOf;

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(ViewStatement, NumbersAreShortAndReadBackToTheSameDouble) {
    EXPECT_EQ(exactNumber(12), "12");
    EXPECT_EQ(exactNumber(0.1), "0.1");
    EXPECT_EQ(exactNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(exactNumber(-0.0), "-0");
    EXPECT_EQ(exactNumber(1e-20), "1e-20");
    for (const double value :
         {0.1 + 0.2, 1 / 3.0, -2 / 3.0, 9.9 - 0.1, 8 - 0.4000000059604645, 1e300, -4.9e-324,
          std::numeric_limits<double>::max(), std::numeric_limits<double>::min(), -0.0}) {
        const double back = Parser::parse_double(exactNumber(value));
        EXPECT_TRUE(sameBits(back, value)) << exactNumber(value) << " read back as " << back;
    }
}

TEST(ViewStatement, StatementsReadBackAsTheSameCameraAndLight) {
    const Camera camera(Vector3(0.1 + 0.2, -1 / 3.0, 11.9), Vector3(1e-17, 1, 0),
                        Vector3(1.33333, 0, 0), Vector3(0, 0.9834, -0.0994), 4, 3);
    const Light light(Point(-7.5999999940395355, 12, 10), Color(1, 0.9, 1 / 7.0));
    EXPECT_EQ(lightStatement(light),
              "light_source { <-7.5999999940395355, 12, 10> color rgb <1, 0.9, "
              "0.14285714285714285> }");

    std::deque<std::string> tokens = tokensOf(cameraStatement(camera) + "\n" +
                                              lightStatement(light) + "\n");
    testing::internal::CaptureStdout();
    const Camera read = Camera::parse(tokens, 4, 3);
    ASSERT_FALSE(tokens.empty());
    const Light readLight(tokens);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(tokens.empty());
    EXPECT_EQ(read.eye, camera.eye);
    EXPECT_EQ(read.up, camera.up);
    EXPECT_EQ(read.right, camera.right);
    EXPECT_EQ(read.lookAt, camera.lookAt);
    EXPECT_EQ(readLight.location, light.location);
    EXPECT_TRUE(sameBits(readLight.color.b, light.color.b));
}

TEST(ViewStatement, TurningTheSceneTurnsTheCameraBack) {
    const Camera camera(Vector3(1, 2, 3), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 4,
                        3);
    const Camera same = turnedCamera(camera, 0);
    EXPECT_EQ(same.eye, camera.eye);
    EXPECT_EQ(same.up, camera.up);
    EXPECT_EQ(same.lookAt, camera.lookAt);
    // A quarter turn of the scene is a quarter turn of the eye the other way.
    const Camera quarter = turnedCamera(camera, 90);
    EXPECT_NEAR((quarter.eye - Vector3(-3, 2, 1)).magnitude(), 0, 1e-12);
    EXPECT_NEAR((quarter.up - Vector3(0, 1, 0)).magnitude(), 0, 1e-12);
}

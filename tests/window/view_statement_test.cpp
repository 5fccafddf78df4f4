#include "window/view_statement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <limits>

#include "light.h"
#include "parser.h"
#include "test_support.h"

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

// The statements' exact text and the paste back into a scene are checked
// through the c key (viewer_test, window_session_test).
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

TEST(ViewStatement, LightModifiersAndLensReadBackAsWritten) {
    std::deque<std::string> tokens = testing_support::tokensOf(
        "light_source { <1, 2, 3> color rgb <1, 0.5, 0.25> spotlight radius 12.5 falloff 20 "
        "tightness 3 point_at <0, -1, 0.1> fade_distance 4 fade_power 1.5 shadowless "
        "area_light <0.3, 0, 0>, <0, 0, 0.7>, 3, 4 jitter }");
    const Light light(tokens);
    std::deque<std::string> again = testing_support::tokensOf(lightStatement(light));
    const Light read(again);
    EXPECT_EQ(lightStatement(read), lightStatement(light));
    EXPECT_TRUE(read.modifiers.spotlight && read.modifiers.shadowless && read.modifiers.jitter);
    EXPECT_EQ(read.modifiers.samples2, 4);
    EXPECT_EQ(read.modifiers.pointAt, Vector3(0, -1, 0.1));
    EXPECT_EQ(lightStatement(Light(Vector3(1, 2, 3), Color(1, 1, 1))),
              "light_source { <1, 2, 3> color rgb <1, 1, 1> }");

    std::deque<std::string> camera = testing_support::tokensOf(
        "camera { location <0, 1, 5> up <0, 1, 0> right <1.5, 0, 0> look_at <0, 0, 0> "
        "aperture 0.25 focal_point <0, 0, -1> blur_samples 8 }");
    const Camera lens = Camera::parse(camera, 4, 3);
    std::deque<std::string> written = testing_support::tokensOf(cameraStatement(lens));
    EXPECT_TRUE(Camera::parse(written, 4, 3).lens == lens.lens);
}

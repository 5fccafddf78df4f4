// Background, fog and the camera's field of view and lens, as pictures show
// them.
#include "lighting/atmosphere.h"

#include <gtest/gtest.h>

#include <cmath>

#include "parser.h"
#include "text_scene.h"

namespace {

const char* const kLight = "light_source { <0, 10, 10> color rgb <1, 1, 1> }\n";

}  // namespace

TEST(Background, MissesAndMirrorsShowIt) {
    const TextScene scene(std::string(kLight) +
                              "background { color rgb <0.2, 0.4, 0.6> }\n"
                              "sphere { <0, 0, -5>, 1 pigment { color rgb <1, 1, 1> } finish { "
                              "ambient 0 diffuse 0 reflection 1 } }",
                          8, 8);
    const Color sky(0.2, 0.4, 0.6);
    EXPECT_TRUE(sameBits(scene.cast(Vector3(0, 0, 0), Vector3(0, 1, 0)), sky));
    // Straight into the mirror: reflected back past the eye into the sky.
    EXPECT_TRUE(sameBits(scene.cast(Vector3(0, 0, 0), Vector3(0, 0, -1)), sky));
    // Without the statement a miss stays black.
    const TextScene plain(kLight, 8, 8);
    EXPECT_TRUE(sameBits(plain.cast(Vector3(0, 0, 0), Vector3(0, 1, 0)), Color(0, 0, 0)));
}

TEST(Fog, BlendsByDistanceAndFillsMisses) {
    const std::string wall =
        std::string(kLight) +
        "plane { <0, 0, 1>, -10 pigment { color rgb <1, 0.5, 0> } finish { ambient 1 } }\n";
    const TextScene clear(wall, 8, 8);
    const TextScene foggy(wall + "fog { distance 5 color rgb <0.5, 0.5, 0.5> }", 8, 8);
    // The wall lies 10 away; a direction of length 2 must not change that.
    const Color seen = clear.cast(Vector3(0, 0, 0), Vector3(0, 0, -2));
    const Color fogged = foggy.cast(Vector3(0, 0, 0), Vector3(0, 0, -2));
    const double kept = std::exp(-2.0);
    EXPECT_NEAR(fogged.r, seen.r * kept + 0.5 * (1 - kept), 1e-12);
    EXPECT_NEAR(fogged.g, seen.g * kept + 0.5 * (1 - kept), 1e-12);
    EXPECT_NEAR(fogged.b, 0.5 * (1 - kept), 1e-12);
    EXPECT_TRUE(sameBits(foggy.cast(Vector3(0, 0, 0), Vector3(0, 0, 1)), Color(0.5, 0.5, 0.5)));
}

TEST(Fog, ReaderNeedsAPositiveDistance) {
    for (const char* text : {"fog { color rgb <1, 1, 1> }", "fog { distance 0 }",
                             "fog { distance -3 color rgb <1, 1, 1> }", "fog { distance"}) {
        std::deque<std::string> tokens = testing_support::tokensOf(text);
        Atmosphere atmosphere;
        EXPECT_THROW(readFog(tokens, atmosphere), SceneError) << text;
    }
}

TEST(CameraAngle, NinetyDegreesRendersAsARightOfLengthTwo) {
    const std::string objects =
        std::string(kLight) +
        "sphere { <1, 0, -3>, 1.2 pigment { color rgb <0.9, 0.4, 0.2> } finish { ambient 0.1 "
        "diffuse 0.8 specular 0.5 } }\n"
        "plane { <0, 1, 0>, -1 pigment { color rgb <0.8, 0.8, 0.8> } finish { diffuse 0.8 } }\n";
    const TextScene right(
        "camera { location <0, 1, 4> up <0, 1, 0> right <2, 0, 0> look_at <0, 0, 0> }\n" +
            objects,
        48, 36);
    // The angle wins over a right given after it.
    const TextScene angle(
        "camera { location <0, 1, 4> up <0, 1, 0> angle 90 right <1, 0, 0> look_at <0, 0, 0> }\n" +
            objects,
        48, 36);
    EXPECT_EQ(firstDifference(right.render(), angle.render(), 48, 36), "");
    EXPECT_NEAR(windowWidth(60), 2 * std::tan(3.14159265358979323846 / 6), 1e-15);
}

TEST(FocalBlur, SphereAtTheFocalPointStaysSharpOneBehindBlurs) {
    // Two spheres side by side as the camera sees them: the left one on the
    // focal plane, the right one far behind it and as large on screen.
    const std::string objects =
        std::string(kLight) +
        "sphere { <-1, 0, 0>, 0.6 pigment { color rgb <1, 1, 1> } finish { ambient 1 } }\n"
        "sphere { <4, 0, -25>, 3 pigment { color rgb <1, 1, 1> } finish { ambient 1 } }\n";
    const std::string cameraStart =
        "camera { location <0, 0, 5> up <0, 1, 0> right <1.333, 0, 0> look_at <0, 0, 0> ";
    const TextScene pinhole(cameraStart + "}\n" + objects, 64, 48);
    const TextScene lens(cameraStart + "aperture 0.4 focal_point <-1, 0, 0> blur_samples 16 }\n" + objects,
                         64, 48);
    const ImageBuffer sharp = pinhole.render();
    const ImageBuffer blurred = lens.render(1);
    double nearChange = 0;
    double farChange = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double change = std::fabs(sharp.at(x, y).r - blurred.at(x, y).r);
            (x < 32 ? nearChange : farChange) += change;
        }
    }
    EXPECT_GT(farChange, 10 * nearChange) << nearChange << " " << farChange;
    EXPECT_GT(farChange, 20);
    // Deterministic: the same bits at another thread count.
    EXPECT_EQ(firstDifference(blurred, lens.render(2), 64, 48), "");
}

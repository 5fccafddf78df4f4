// The light modifiers as pictures show them: a spotlight's cone, a parallel
// light's even light and parallel shadows, an area light's penumbra and its
// determinism, distance fade and shadowless lights; and the words the
// reader refuses.
#include "lighting/light_modifiers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lighting/light_sample.h"
#include "parser.h"
#include "text_scene.h"

namespace {

const char* const kFloor =
    "plane { <0, 1, 0>, 0 pigment { color rgb <1, 1, 1> } finish { ambient 0 diffuse 1 } }\n";

// The floor's colour at (x, 0, z), seen from straight above.
Color floorAt(const TextScene& scene, double x, double z) {
    return scene.cast(Vector3(x, 1, z), Vector3(0, -1, 0));
}

const double kDegrees = 180.0 / 3.14159265358979323846;

}  // namespace

TEST(Spotlight, LitInsideTheConeDarkOutsideWithTheEdgeAtTheAngles) {
    // From 5 above the floor: the floor point x away lies atan(x / 5) off the axis.
    const TextScene spot(std::string(kFloor) +
                             "light_source { <0, 5, 0> color rgb <1, 1, 1> spotlight radius 20 "
                             "falloff 30 tightness 0 point_at <0, 0, 0> }",
                         8, 8);
    const TextScene point(std::string(kFloor) + "light_source { <0, 5, 0> color rgb <1, 1, 1> }",
                          8, 8);
    int between = 0;
    for (double angle = 0.5; angle < 45; angle += 0.5) {
        const double x = 5 * std::tan(angle / kDegrees);
        const Color lit = floorAt(spot, x, 0);
        const Color full = floorAt(point, x, 0);
        if (angle < 19.99) {
            EXPECT_TRUE(sameBits(lit, full)) << angle << " degrees";
        } else if (angle > 30.01) {
            EXPECT_EQ(lit.r, 0) << angle << " degrees";
        } else if (angle > 20.01 && angle < 29.99) {
            EXPECT_GT(lit.r, 0) << angle;
            EXPECT_LT(lit.r, full.r) << angle;
            ++between;
        }
    }
    EXPECT_GT(between, 10);
    // Rotationally even about the axis.
    const double x = 5 * std::tan(25 / kDegrees);
    EXPECT_NEAR(floorAt(spot, x, 0).r, floorAt(spot, 0, x).r, 1e-12);
}

TEST(Spotlight, FallIsSmoothAndTightnessSharpensIt) {
    EXPECT_EQ(spotFactor(10, 20, 30, 0), 1);
    EXPECT_EQ(spotFactor(30, 20, 30, 0), 0);
    EXPECT_NEAR(spotFactor(25, 20, 30, 0), 0.5, 1e-12);
    double previous = 1;
    for (double angle = 20; angle <= 30; angle += 0.25) {
        const double factor = spotFactor(angle, 20, 30, 0);
        EXPECT_LE(factor, previous) << angle;
        previous = factor;
    }
    EXPECT_LT(spotFactor(25, 20, 30, 20), spotFactor(25, 20, 30, 0));
    // A falloff inside the radius is a hard edge at the radius.
    EXPECT_EQ(spotFactor(20.5, 20, 20, 0), 0);
}

TEST(ParallelLight, LightsAPlaneEvenlyWithParallelShadows) {
    const TextScene scene(std::string(kFloor) +
                              "light_source { <3, 4, 0> color rgb <1, 1, 1> parallel "
                              "point_at <0, 0, 0> }\n"
                              "sphere { <0, 2, 0>, 0.5 pigment { color rgb <1, 0, 0> } }",
                          8, 8);
    const Color first = floorAt(scene, 20, 7);
    EXPECT_NEAR(first.r, 0.8, 1e-12);  // cos of the light's slant: 4 / 5
    for (const double x : {-30.0, -5.0, 6.0, 100.0}) {
        for (const double z : {-50.0, 3.0, 40.0}) {
            EXPECT_TRUE(sameBits(floorAt(scene, x, z), first)) << x << ", " << z;
        }
    }
    // The sphere's shadow is the sphere moved along the light: the same
    // size however far the floor lies.
    EXPECT_EQ(floorAt(scene, -1.5, 0).r, 0);
    EXPECT_EQ(floorAt(scene, -1.5, 0.45).r, 0);
    EXPECT_GT(floorAt(scene, -1.5, 0.7).r, 0);
}

TEST(AreaLight, ShadowHasAPenumbra) {
    const TextScene scene(std::string(kFloor) +
                              "light_source { <0, 6, 0> color rgb <1, 1, 1> area_light <3, 0, 0>, "
                              "<0, 0, 3>, 5, 5 }\n"
                              "sphere { <0, 2, 0>, 1 pigment { color rgb <1, 0, 0> } }",
                          8, 8);
    int umbra = 0;
    int penumbra = 0;
    int lit = 0;
    for (double x = 0; x < 4; x += 0.05) {
        const double value = floorAt(scene, x, 0).r;
        const double open = floorAt(scene, x, 20).r;  // far from the shadow: in the light
        if (value == 0) {
            ++umbra;
        } else if (value < open * 0.999) {
            ++penumbra;
        } else {
            ++lit;
        }
    }
    EXPECT_GT(umbra, 3);
    EXPECT_GT(penumbra, 5);
    EXPECT_GT(lit, 3);
}

TEST(AreaLight, OneByOneIsThePointLightByteForByte) {
    const std::string objects =
        std::string(kFloor) +
        "camera { location <0, 4, 8> up <0, 1, 0> right <1.333, 0, 0> look_at <0, 0, 0> }\n"
        "sphere { <0, 1, 0>, 1 pigment { color rgb <0.9, 0.4, 0.2> } finish { ambient 0.1 "
        "diffuse 0.7 specular 0.6 reflection 0.2 } }\n";
    const TextScene point(objects + "light_source { <-3, 6, 4> color rgb <1, 0.9, 0.8> }", 40, 30);
    const TextScene area(objects +
                             "light_source { <-3, 6, 4> color rgb <1, 0.9, 0.8> area_light "
                             "<4, 0, 0>, <0, 0, 4>, 1, 1 jitter }",
                         40, 30);
    EXPECT_EQ(firstDifference(point.render(), area.render(), 40, 30), "");
}

TEST(AreaLight, JitteredImageIsTheSameAtAnyThreadCountAndRun) {
    const TextScene scene(
        std::string(kFloor) +
            "camera { location <0, 4, 8> up <0, 1, 0> right <1.333, 0, 0> look_at <0, 0, 0> }\n"
            "light_source { <-3, 6, 4> color rgb <1, 1, 1> area_light <3, 0, 0>, <0, 0, 3>, "
            "4, 4 jitter }\n"
            "sphere { <0, 1, 0>, 1 pigment { color rgb <0.9, 0.4, 0.2> } finish { diffuse 0.7 "
            "reflection 0.3 } }",
        40, 30);
    const ImageBuffer one = scene.render(1);
    EXPECT_EQ(firstDifference(one, scene.render(2), 40, 30), "");
    EXPECT_EQ(firstDifference(one, scene.render(1), 40, 30), "");
}

TEST(LightFactors, FadeAndAreaShareScaleDiffuseAndSpecularAlike) {
    EXPECT_EQ(fadeFactor(3, 3, 2), 1);
    EXPECT_NEAR(fadeFactor(6, 3, 2), 0.4, 1e-15);
    // A shiny floor lit from straight above: an n x n grid over no area
    // adds its light n * n times, each share 1 / (n n).
    const std::string shiny =
        "plane { <0, 1, 0>, 0 pigment { color rgb <1, 1, 1> } finish { diffuse 0.5 specular 0.5 "
        "roughness 0.1 } }\n";
    const TextScene point(shiny + "light_source { <0, 4, 0> color rgb <1, 1, 1> }", 8, 8);
    const TextScene grid(shiny +
                             "light_source { <0, 4, 0> color rgb <1, 1, 1> area_light <0, 0, 0>, "
                             "<0, 0, 0>, 5, 5 }",
                         8, 8);
    const TextScene faded(shiny +
                              "light_source { <0, 4, 0> color rgb <1, 1, 1> fade_distance 2 "
                              "fade_power 1 }",
                          8, 8);
    const Color one = floorAt(point, 0, 0);
    EXPECT_NEAR(one.r, 1.0, 1e-12);  // diffuse 0.5 + specular 0.5
    EXPECT_NEAR(floorAt(grid, 0, 0).r, one.r, 1e-12);
    EXPECT_NEAR(floorAt(faded, 0, 0).r, one.r * 2 / (1 + 4.0 / 2), 1e-12);
}

TEST(LightFactors, ShadowlessLightShinesThroughObjects) {
    const std::string blocker = "sphere { <0, 2, 0>, 1 pigment { color rgb <1, 0, 0> } }\n";
    const TextScene shadowed(std::string(kFloor) + blocker +
                                 "light_source { <0, 5, 0> color rgb <1, 1, 1> }",
                             8, 8);
    const TextScene shadowless(std::string(kFloor) + blocker +
                                   "light_source { <0, 5, 0> color rgb <1, 1, 1> shadowless }",
                               8, 8);
    EXPECT_EQ(floorAt(shadowed, 0, 0).r, 0);
    EXPECT_NEAR(floorAt(shadowless, 0, 0).r, 1, 1e-12);
}

TEST(LightModifiers, ReaderRefusesWhatCannotBeLit) {
    for (const char* text : {
             "light_source { <0, 5, 0> color rgb <1, 1, 1> area_light <1, 0, 0>, <0, 0, 1>, 0, 2 }",
             "light_source { <0, 5, 0> color rgb <1, 1, 1> area_light <1, 0, 0>, <0, 0, 1>, 2, 65 }",
             "light_source { <0, 5, 0> color rgb <1, 1, 1> spotlight radius -1 }",
             "light_source { <0, 5, 0> color rgb <1, 1, 1> spotlight point_at <0, 5, 0> }",
             "light_source { <0, 5, 0> color rgb <1, 1, 1> fade_distance -2 }",
             "light_source { <0, 5, 0> color rgb <1, 1, 1> area_light <1, 0, 0>, <0, 0, 1>, 2",
         }) {
        std::deque<std::string> tokens = testing_support::tokensOf(text);
        EXPECT_THROW(Light light(tokens), SceneError) << text;
    }
    std::deque<std::string> tokens = testing_support::tokensOf(
        "light_source { <0, 5, 0> color rgb <1, 1, 1> spotlight radius 10 falloff 15 tightness 3 "
        "point_at <0, 0, 0> fade_distance 4 fade_power 1 shadowless } sphere");
    const Light light(tokens);
    EXPECT_TRUE(light.modifiers.spotlight && light.modifiers.shadowless);
    EXPECT_EQ(light.modifiers.radius, 10);
    EXPECT_EQ(light.modifiers.falloff, 15);
    EXPECT_EQ(light.modifiers.tightness, 3);
    EXPECT_EQ(light.modifiers.fadeDistance, 4);
    EXPECT_EQ(light.modifiers.fadePower, 1);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_FALSE(Light(Vector3(0, 0, 0), Color(1, 1, 1)).modifiers.any());
}

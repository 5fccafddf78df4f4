// Shading and image output, checked against values worked out by hand from
// the shading rules.
#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>
#include <limits>
#include <vector>

#include "image/image_output.h"
#include "main.h"
#include "render.h"
#include "state.h"
#include "test_support.h"
#include "trace/ray_caster.h"
#include "viewer.h"

using testing_support::makeRay;
using testing_support::readFile;
using testing_support::resetGlobals;

namespace {

Finish makeFinish(double ambient, double diffuse, double specular) {
    Finish f;
    f.ambient = ambient;
    f.diffuse = diffuse;
    f.specular = specular;
    return f;
}

class Shading : public testing::Test {
protected:
    void SetUp() override { resetGlobals(); }
    void TearDown() override { resetGlobals(); }

    // Renders a 2 x 2 image whose pixel (0, 0) looks from (0, 0, 10) straight
    // down -z, and returns that pixel's three bytes as written to the PPM.
    std::string renderCentrePixel() {
        camera = Camera(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, 0), 2, 2);
        gPixelWidth = 2;
        gPixelHeight = 2;
        gInputFileName = testing_support::tempDir() + "/shading.pov";
        allocateImage(2, 2);
        testing::internal::CaptureStdout();
        render();
        draw_image({gImage, gPixelWidth, gPixelHeight});
        testing::internal::GetCapturedStdout();
        const std::string ppm = readFile(testing_support::tempDir() + "/shading.ppm");
        return ppm.substr(ppm.size() - 12, 3);
    }
};

std::string bytes(int r, int g, int b) {
    return std::string{static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
}

Color castAt(const std::vector<GeomObject*>& objects, const std::vector<Light*>& lightList,
             int depth = 3) {
    return raycast(makeRay(Vector3(0, 0, 10), Vector3(0, 0, -1)), objects, lightList, depth, true);
}

}  // namespace

TEST_F(Shading, SphereLitHeadOnGivesTheHandComputedBytes) {
    // ambient (0.1, 0.04, 0.02) + diffuse (0.5, 0.2, 0.1) + specular 0.3 in
    // every channel (N . h = 1): (0.9, 0.54, 0.42), unscaled, then floor(255 c).
    Sphere sphere(Vector3(0, 0, 0), 1);
    sphere.color = Color(1, 0.4, 0.2);
    sphere.finish = makeFinish(0.1, 0.5, 0.3);
    Light light(Vector3(0, 0, 10), Color(1, 1, 1));
    gObjects = {&sphere};
    lights = {&light};
    EXPECT_EQ(renderCentrePixel(), bytes(229, 137, 107));
    EXPECT_NEAR(gImage[0][0].r, 0.9, 1e-15);
    EXPECT_EQ(gImage[1][1].r, 0);  // that ray misses: black background
}

TEST_F(Shading, LightColourOnlyEntersTheHighlight) {
    Sphere sphere(Vector3(0, 0, 0), 1);
    sphere.color = Color(1, 1, 1);
    sphere.finish = makeFinish(0, 0.5, 0.3);
    Light red(Vector3(0, 0, 10), Color(1, 0, 0));
    const Color c = castAt({&sphere}, {&red});
    EXPECT_DOUBLE_EQ(c.r, 0.8);
    EXPECT_DOUBLE_EQ(c.g, 0.5);
    EXPECT_DOUBLE_EQ(c.b, 0.5);
}

TEST_F(Shading, HighlightFollowsTheHalfVector) {
    // Light at 90 degrees to the view: L = (1, 0, 0), V = (0, 0, 1), so
    // N . h = cos 45 at the front point and the diffuse term is 0.
    Sphere sphere(Vector3(0, 0, 0), 1);
    sphere.color = Color(1, 1, 1);
    sphere.finish = makeFinish(0, 1, 1);
    sphere.finish.roughness = 0.5;  // exponent 2
    Light side(Vector3(1e9, 0, 1), Color(1, 1, 1));
    const Color c = castAt({&sphere}, {&side});
    EXPECT_NEAR(c.r, 0.5, 1e-8);  // cos^2 45
}

TEST_F(Shading, ShadowsBlockEveryLightTermUnlessSwitchedOff) {
    Sphere lit(Vector3(0, 0, 0), 1);
    lit.color = Color(1, 1, 1);
    lit.finish = makeFinish(0.25, 0.5, 0);
    Sphere blocker(Vector3(0, 0, 5), 0.5);  // between the front point and the light
    blocker.finish.filter = 1;              // even a clear blocker casts a full shadow
    Light light(Vector3(0, 0, 10), Color(1, 1, 1));
    // Seen from the side so the primary ray passes the blocker.
    const Ray ray = makeRay(Vector3(3, 0, 10), Vector3(-3, 0, -9));
    EXPECT_DOUBLE_EQ(raycast(ray, {&lit, &blocker}, {&light}, 3, true).r, 0.25);
    EXPECT_NEAR(raycast(ray, {&lit, &blocker}, {&light}, 3, false).r, 0.75, 1e-9);
}

TEST_F(Shading, TiesGoToTheEarlierObjectAndTheThresholdIsStrict) {
    Sphere first(Vector3(0, 0, 0), 1);
    Sphere second(Vector3(0, 0, 0), 1);
    first.color = Color(1, 0, 0);
    second.color = Color(0, 0, 1);
    first.finish.ambient = second.finish.ambient = 1;
    Color c = castAt({&first, &second}, {});
    EXPECT_EQ(c.r, 1);
    EXPECT_EQ(c.b, 0);
    c = castAt({&second, &first}, {});
    EXPECT_EQ(c.b, 1);

    // A plane exactly 0.00001 ahead is not hit.
    Plane close(Vector3(0, 0, 1), 0.0);
    close.color = Color(1, 1, 1);
    close.finish.ambient = 1;
    c = raycast(makeRay(Vector3(0, 0, 0.00001), Vector3(0, 0, -1)), {&close}, {}, 3, true);
    EXPECT_EQ(c.r, 0);
    c = raycast(makeRay(Vector3(0, 0, 0.00002), Vector3(0, 0, -1)), {&close}, {}, 3, true);
    EXPECT_EQ(c.r, 1);
}

TEST_F(Shading, NoLightsShowOnlyTheWeightedAmbientTerm) {
    Sphere glass(Vector3(0, 0, 0), 1);
    glass.color = Color(0.8, 0.8, 0.8);
    glass.finish.ambient = 1;
    glass.finish.refraction = 1;
    glass.finish.filter = 0.25;
    glass.finish.reflection = 0.5;
    EXPECT_DOUBLE_EQ(castAt({&glass}, {}).r, 0.8 * 0.25);
    glass.finish.refraction = 0.5;  // not exactly 1: an ordinary surface
    EXPECT_DOUBLE_EQ(castAt({&glass}, {}).r, 0.8 * 0.5);
}

TEST_F(Shading, MirrorShowsOnlyTheReflectedColour) {
    Plane mirror(Vector3(0, 0, 1), 0.0);
    mirror.color = Color(1, 1, 1);
    mirror.finish = makeFinish(1, 1, 0);
    mirror.finish.reflection = 1;
    Sphere behindViewer(Vector3(0, 0, 20), 1);
    behindViewer.color = Color(0, 1, 0);
    behindViewer.finish.ambient = 0.5;
    Light light(Vector3(0, 5, 30), Color(1, 1, 1));
    const Color c = castAt({&mirror, &behindViewer}, {&light});
    EXPECT_EQ(c.r, 0);
    EXPECT_DOUBLE_EQ(c.g, 0.5);
    // At depth 0 no secondary ray is cast: the weighted local light is all.
    EXPECT_EQ(castAt({&mirror, &behindViewer}, {&light}, 0).g, 0);
}

TEST_F(Shading, RefractedColourNeedsDepthLeft) {
    Sphere glass(Vector3(0, 0, 0), 1);
    glass.finish.refraction = 1;
    glass.finish.ior = 1.5;
    glass.finish.filter = 1;
    Plane floor(Vector3(0, 0, 1), -5.0);
    floor.color = Color(0, 0, 1);
    floor.finish.ambient = 1;
    Light light(Vector3(0, 10, 10), Color(1, 1, 1));
    // Straight through the centre the ray is not bent and reaches the floor.
    EXPECT_DOUBLE_EQ(castAt({&glass, &floor}, {&light}, 3).b, 1);
    EXPECT_EQ(castAt({&glass, &floor}, {&light}, 0).b, 0);
}

TEST(Reflect, MirrorsAboutEitherSideOfTheNormal) {
    EXPECT_EQ(reflect(Vector3(1, -1, 0), Vector3(0, 1, 0)), Vector3(1, 1, 0));
    EXPECT_EQ(reflect(Vector3(1, -1, 0), Vector3(0, -1, 0)), Vector3(1, 1, 0));
    EXPECT_EQ(reflect(Vector3(0, 0, -2), Vector3(0, 0, 1)), Vector3(0, 0, 2));  // keeps length
}

TEST(Refract, BendsByTheIndexRatioAndReportsTotalInternalReflection) {
    bool tir = false;
    EXPECT_EQ(refract(Vector3(0, 0, -1), Vector3(0, 0, 1), 1.0, 1.5, &tir), Vector3(0, 0, -1));
    EXPECT_FALSE(tir);
    // Entering at 45 degrees: sin t = sin 45 / 1.5.
    const double s = std::sqrt(0.5);
    Vector3 d = refract(Vector3(s, 0, -s), Vector3(0, 0, 1), 1.0, 1.5, &tir);
    EXPECT_NEAR(d.x, s / 1.5, 1e-12);
    EXPECT_NEAR(d * d, 1, 1e-12);
    EXPECT_FALSE(tir);
    // Leaving glass at 45 degrees (d . n > 0 flips the normal and the ratio):
    // beyond the critical angle, the mirror direction and tir set.
    d = refract(Vector3(s, 0, s), Vector3(0, 0, 1), 1.0, 1.5, &tir);
    EXPECT_TRUE(tir);
    EXPECT_NEAR(d.x, s, 1e-12);
    EXPECT_NEAR(d.z, -s, 1e-12);
    // tir is never cleared by a later call.
    refract(Vector3(0, 0, -1), Vector3(0, 0, 1), 1.0, 1.5, &tir);
    EXPECT_TRUE(tir);
}

TEST_F(Shading, ScaleValuesUsesOneFactorAboveOne) {
    gPixelWidth = 2;
    gPixelHeight = 1;
    allocateImage(2, 1);
    gImage[0][0] = Color(2.0, 1.0, 0.5);
    gImage[1][0] = Color(std::nan(""), 0.3, 0);
    scaleValues({gImage, gPixelWidth, gPixelHeight});
    EXPECT_EQ(gImage[0][0].r, 1.0);
    EXPECT_EQ(gImage[0][0].g, 0.5);
    EXPECT_EQ(gImage[0][0].b, 0.25);
    EXPECT_EQ(gImage[1][0].g, 0.15);
    gImage[0][0] = Color(1.0, 0.3, 0);
    scaleValues({gImage, gPixelWidth, gPixelHeight});
    EXPECT_EQ(gImage[0][0].g, 0.3);  // not brightened, not rescaled
}

// Scaling and the screen's bytes split the columns among threads: the
// result must not depend on how many there are, wherever the largest value
// and the NaNs lie.
TEST_F(Shading, ScalingAndScreenBytesAreTheSameAtAnyThreadCount) {
    const int width = 37;
    const int height = 5;
    const auto fill = [&]() {
        allocateImage(width, height);
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) {
                const double v = 0.1 * ((x * 7 + y * 3) % 11);
                gImage[x][y] =
                    Color(v, x == 29 && y == 3 ? 4.5 : v / 2, (x % 5 == 0) ? std::nan("") : -v);
            }
        }
    };
    gPixelWidth = width;
    gPixelHeight = height;
    const int defaultThreads = omp_get_max_threads();
    std::vector<std::vector<unsigned char>> bytes;
    for (const int threads : {1, 3}) {
        omp_set_num_threads(threads);
        fill();
        scaleValues({gImage, gPixelWidth, gPixelHeight});
        std::vector<ByteColor> buffer(static_cast<std::size_t>(width) * height);
        fillPixelBuffer(gImage, buffer.data(), width, height);
        const auto* first = reinterpret_cast<const unsigned char*>(buffer.data());
        bytes.emplace_back(first, first + buffer.size() * sizeof(ByteColor));
    }
    omp_set_num_threads(defaultThreads);
    EXPECT_EQ(bytes[0], bytes[1]);
    EXPECT_DOUBLE_EQ(gImage[29][3].g, 1.0);  // the largest value, wherever it lies
}

TEST(ImageOutput, ChannelBytesTruncate) {
    EXPECT_EQ(channelByte(1.0), 255);
    EXPECT_EQ(channelByte(0.999), 254);
    EXPECT_EQ(channelByte(0.5), 127);
    EXPECT_EQ(channelByte(0.25), 63);
    EXPECT_EQ(channelByte(0), 0);
    EXPECT_EQ(channelByte(1.2), 50);  // 306 wraps through the low byte
    EXPECT_EQ(channelByte(255.75 / 255), 255);
    EXPECT_EQ(channelByte(256.0 / 255), 0);  // 256 wraps to 0
    EXPECT_EQ(channelByte(-0.0), 0);
    EXPECT_EQ(channelByte(std::nan("")), 0);
    EXPECT_EQ(channelByte(std::numeric_limits<double>::infinity()), 255);  // 32767
    EXPECT_EQ(channelByte(1e300), 255);
    EXPECT_EQ(channelByte(-0.5), 129);  // -127 through the low byte
    EXPECT_EQ(channelByte(-std::numeric_limits<double>::infinity()), 0);  // -32768
}

TEST(ImageOutput, OutputNameReplacesTheFirstPov) {
    EXPECT_EQ(outputFileName("scene.pov"), "scene.ppm");
    EXPECT_EQ(outputFileName("a/b.pov"), "a/b.ppm");
    EXPECT_EQ(outputFileName("scene"), "scene.ppm");
    EXPECT_EQ(outputFileName("scene.txt"), "scene.txt.ppm");
    EXPECT_EQ(outputFileName("x.pov.pov"), "x.ppm.pov");
    EXPECT_EQ(outputFileName("my.povray"), "my.ppmray");
}

TEST_F(Shading, PpmHasTheHeaderAndRowsFromTheTop) {
    gPixelWidth = 128;
    gPixelHeight = 96;
    allocateImage(128, 96);
    gImage[1][0] = Color(1, 0.5, 0.25);
    gInputFileName = testing_support::tempDir() + "/header.pov";
    testing::internal::CaptureStdout();
    draw_image({gImage, gPixelWidth, gPixelHeight});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Output filename: " + testing_support::tempDir() + "/header.ppm\n");
    const std::string ppm = readFile(testing_support::tempDir() + "/header.ppm");
    ASSERT_EQ(ppm.size(), 15u + 36864u);
    EXPECT_EQ(ppm.substr(0, 15), "P6\n128 96 \n255\n");
    EXPECT_EQ(ppm.substr(15, 6), bytes(0, 0, 0) + bytes(255, 127, 63));
}

// The file's rows run from the top and its pixels from the left, whatever
// the order the image is read in: an image whose height is no multiple of
// the bands read at a time, every pixel different, scaled by its largest value.
// The size is the image's own, whatever the size globals say.
TEST_F(Shading, ScaledImageBytesArePixelsInRowOrder) {
    const int width = 13;
    const int height = 19;
    gPixelWidth = 3;
    gPixelHeight = 2;
    allocateImage(width, height);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            gImage[x][y] = Color(x / 10.0, y / 20.0, (x * height + y) / 250.0);
        }
    }
    gImage[4][11] = Color(std::nan(""), 2.5, -0.0);  // the largest value, beside a NaN
    std::string expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color c = gImage[x][y] * (1.0 / 2.5);
            expected += bytes(channelByte(c.r), channelByte(c.g), channelByte(c.b));
        }
    }
    scaleValues({gImage, width, height});
    EXPECT_EQ(gImage[4][11].g, 1.0);
    const std::string name = testing_support::tempDir() + "/rows.ppm";
    writeImageFile(name, {gImage, width, height});
    const std::string ppm = readFile(name);
    const std::string header = "P6\n13 19 \n255\n";
    ASSERT_EQ(ppm.substr(0, header.size()), header);
    EXPECT_EQ(ppm.substr(header.size()), expected);
}

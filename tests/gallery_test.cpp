// Image regression: every gallery scene rendered at 160 x 120 must match its
// reference byte for byte. A mismatch leaves NAME.actual.ppm and
// NAME.diff.ppm (white where the images differ) in the working directory.
// References are refreshed only by tools/refresh_gallery_references.sh.
#include <gtest/gtest.h>

#include <fstream>

#include "test_support.h"

using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::tempDir;

namespace {

struct GalleryCase {
    const char* name;
    const char* scene;
    const char* option;
};

void PrintTo(const GalleryCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kHeader = "P6\n160 120 \n255\n";

const GalleryCase kCases[] = {
    {"demo", "scenes/demo.pov", nullptr},
    {"shadows", "scenes/gallery/shadows.pov", nullptr},
    {"shadows_off", "scenes/gallery/shadows.pov", "-shadows"},
    {"reflection", "scenes/gallery/reflection.pov", nullptr},
    {"refraction", "scenes/gallery/refraction.pov", nullptr},
    {"boxes", "scenes/gallery/boxes.pov", nullptr},
    {"triangles", "scenes/gallery/triangles.pov", nullptr},
    {"no_lights", "scenes/gallery/no_lights.pov", nullptr},
    {"cylinders_cones", "scenes/gallery/cylinders_cones.pov", nullptr},
    {"discs", "scenes/gallery/discs.pov", nullptr},
    {"smooth_triangles", "scenes/gallery/smooth_triangles.pov", nullptr},
    {"transforms", "scenes/gallery/transforms.pov", nullptr},
    {"mesh", "scenes/gallery/mesh.pov", nullptr},
    {"obj_model", "scenes/gallery/obj_model.pov", nullptr},
    {"spotlight", "scenes/gallery/spotlight.pov", nullptr},
    {"area_light", "scenes/gallery/area_light.pov", nullptr},
    {"fog", "scenes/gallery/fog.pov", nullptr},
    {"mirror_sky", "scenes/gallery/mirror_sky.pov", nullptr},
};

void writeDifference(const std::string& name, const std::string& actual,
                     const std::string& expected) {
    std::ofstream(name + ".actual.ppm", std::ios::binary) << actual;
    if (actual.size() != expected.size()) return;
    std::string diff = actual;
    const std::size_t header = kHeader.size();
    for (std::size_t i = header; i < diff.size(); ++i) {
        diff[i] = actual[i] == expected[i] ? '\0' : '\xff';
    }
    std::ofstream(name + ".diff.ppm", std::ios::binary) << diff;
}

class Gallery : public testing::TestWithParam<GalleryCase> {};

}  // namespace

TEST_P(Gallery, MatchesTheReferenceImage) {
    const GalleryCase& c = GetParam();
    // Read where it lies, so that the models it names are found beside it.
    const std::string scene = std::string(RT_SOURCE_DIR) + "/" + c.scene;
    std::vector<std::string> args = {"+W160", "+H120", "+I" + scene,
                                     "+O" + tempDir() + "/" + c.name + ".ppm"};
    if (c.option != nullptr) args.push_back(c.option);
    const auto r = runRaytracer(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string actual = readFile(tempDir() + "/" + c.name + ".ppm");
    const std::string expected =
        readFile(std::string(RT_TEST_DATA) + "/gallery/" + c.name + ".ppm");
    ASSERT_EQ(expected.size(), kHeader.size() + 160 * 120 * 3) << "no reference for " << c.name;
    if (actual != expected) {
        writeDifference(c.name, actual, expected);
        FAIL() << c.name << " differs from its reference; see " << c.name << ".diff.ppm";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, Gallery, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<GalleryCase>& param) {
                             return std::string(param.param.name);
                         });

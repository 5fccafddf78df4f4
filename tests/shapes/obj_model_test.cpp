// obj_mesh end to end: models written by the test, rendered by the program
// and compared with the scenes that say the same in the scene language.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Obj/Material.h"
#include "shapes/obj_model.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char* const kHead =
    "camera { location <2, 3, 7> up <0, 1, 0> right <1.33333, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <-6, 10, 8> color rgb <1, 1, 1> }\n";

const char* const kSurface =
    " pigment { color rgb <0.9, 0.3, 0.2> } finish { ambient 0.1 diffuse 0.8 }";

const char* const kCube =
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n";

struct Render {
    RunResult run;
    std::string image;  // empty when none was written
};

Render render(const std::string& body) {
    static int count = 0;
    const std::string name = "obj" + std::to_string(++count);
    const std::string scene = writeFile(name + ".pov", std::string(kHead) + body);
    const std::string dir = scene.substr(0, scene.rfind('/'));
    Render r;
    r.run = runRaytracer({"+I" + name + ".pov", "+W64", "+H48", "+O" + name + ".ppm"}, dir);
    const std::string out = dir + "/" + name + ".ppm";
    if (fileExists(out)) r.image = readFile(out);
    return r;
}

bool hasPixel(const std::string& ppm, int r, int g, int b) {
    // The pixels follow the header's third line feed.
    std::size_t start = 0;
    for (int line = 0; line < 3; ++line) start = ppm.find('\n', start) + 1;
    for (std::size_t i = start; i + 2 < ppm.size(); i += 3) {
        if (std::abs(static_cast<unsigned char>(ppm[i]) - r) <= 2 &&
            std::abs(static_cast<unsigned char>(ppm[i + 1]) - g) <= 2 &&
            std::abs(static_cast<unsigned char>(ppm[i + 2]) - b) <= 2) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(ObjMesh, CubeRendersAsTheEqualBox) {
    writeFile("cube.obj", std::string(kCube) +
                              "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 4 8 7 3\nf 1 5 8 4\nf 2 3 7 6\n");
    const Render model = render(std::string("obj_mesh { \"cube.obj\"") + kSurface + " }");
    const Render box = render(std::string("box { <-1, -1, -1>, <1, 1, 1>") + kSurface + " }");
    ASSERT_EQ(model.run.status, 0) << model.run.err;
    EXPECT_EQ(farApart(model.image, box.image), 0);
}

TEST(ObjMesh, QuadRendersAsItsTwoTriangles) {
    writeFile("quad.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 -0.5\nv -1 1 0\nf 1 2 3 4\n");
    const Render model = render(std::string("obj_mesh { \"quad.obj\"") + kSurface + " }");
    const Render triangles = render(
        std::string("triangle { <-1, -1, 0>, <1, -1, 0>, <1, 1, -0.5>") + kSurface +
        " } triangle { <-1, -1, 0>, <1, 1, -0.5>, <-1, 1, 0>" + kSurface + " }");
    ASSERT_EQ(model.run.status, 0) << model.run.err;
    EXPECT_EQ(model.image, triangles.image);
}

TEST(ObjMesh, TwoMaterialsShowBothColours) {
    writeFile("two.mtl",
              "newmtl red\nKd 1 0 0\nKe 0 0 0\nillum 0\nnewmtl blue\nKd 0 0 1\nillum 0\n");
    writeFile("two.obj",
              "mtllib two.mtl\nv -2 -1 0\nv 0 -1 0\nv 0 1 0\nv 2 -1 0\nv 2 1 0\n"
              "usemtl red\nf 1 2 3\nusemtl blue\nf 2 4 5\n");
    const Render model = render("obj_mesh { \"two.obj\" }");
    ASSERT_EQ(model.run.status, 0) << model.run.err;
    // illum 0 is the colour alone: the bytes are the Kd values.
    EXPECT_TRUE(hasPixel(model.image, 255, 0, 0));
    EXPECT_TRUE(hasPixel(model.image, 0, 0, 255));
    // The unknown Ke is a warning with its place, not a failure.
    EXPECT_NE(model.run.err.find("two.mtl:3: warning: skipped the statement \"Ke\""),
              std::string::npos)
        << model.run.err;
    // A pigment on the statement replaces the file's materials.
    const Render painted = render(
        "obj_mesh { \"two.obj\" pigment { color rgb <0, 1, 0> } finish { ambient 1 } }");
    EXPECT_TRUE(hasPixel(painted.image, 0, 255, 0));
    EXPECT_FALSE(hasPixel(painted.image, 255, 0, 0));
}

TEST(ObjMesh, HostileModelsAreSceneErrorsWithoutImage) {
    // Missing file: the statement's place and the library's message.
    Render r = render("\nobj_mesh { \"no such.obj\" }");
    EXPECT_EQ(r.run.status, 1);
    EXPECT_TRUE(r.image.empty());
    EXPECT_NE(r.run.err.find(":4:12: expected a readable OBJ model after \"obj_mesh {\", found \"no such.obj\""), std::string::npos)
        << r.run.err;
    EXPECT_NE(r.run.err.find("no such.obj"), std::string::npos) << r.run.err;
    // A face index beyond the vertices.
    writeFile("far.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
    r = render("obj_mesh { \"far.obj\" }");
    EXPECT_EQ(r.run.status, 1);
    EXPECT_TRUE(r.image.empty());
    EXPECT_NE(r.run.err.find("face 1 has fewer than three corners or an index out of range"),
              std::string::npos)
        << r.run.err;
    // Numbers the reader cannot take ("nan", beyond float) read as 0: the
    // model renders, whatever it looks like.
    writeFile("nan.obj", "v nan 0 0\nv 1e999 0 0\nv 0 1 -nan\nf 1 2 3\n");
    r = render("obj_mesh { \"nan.obj\" smooth }");
    EXPECT_EQ(r.run.status, 0) << r.run.err;
    EXPECT_FALSE(r.image.empty());
    // An unclosed path runs to the end of the file.
    r = render("obj_mesh { \"open path.obj }");
    EXPECT_EQ(r.run.status, 1);
}

TEST(ObjMesh, MaterialMapping) {
    SMaterial m;
    m.Kd[0] = 0.5f;
    m.Ka[0] = m.Ka[1] = m.Ka[2] = 1;
    m.Ks[0] = m.Ks[1] = m.Ks[2] = 0.5f;
    m.Ns = 20;
    m.illum = 3;
    m.d = 0.25f;
    m.Ni = 1.5f;
    Color color;
    Finish finish;
    mapObjMaterial(m, color, finish);
    EXPECT_FLOAT_EQ(static_cast<float>(color.r), 0.5f);
    EXPECT_DOUBLE_EQ(finish.ambient, 0.2);
    EXPECT_DOUBLE_EQ(finish.diffuse, 1);
    EXPECT_DOUBLE_EQ(finish.specular, 0.5);
    EXPECT_DOUBLE_EQ(finish.roughness, 1 / 20.0);
    EXPECT_DOUBLE_EQ(finish.reflection, 0.5);
    EXPECT_DOUBLE_EQ(finish.refraction, 1);
    EXPECT_DOUBLE_EQ(finish.filter, 0.75);
    EXPECT_FLOAT_EQ(static_cast<float>(finish.ior), 1.5f);
    m.illum = 1;
    m.d = 1;
    mapObjMaterial(m, color, finish);
    EXPECT_EQ(finish.specular, 0);
    EXPECT_EQ(finish.reflection, 0);
    EXPECT_EQ(finish.refraction, 0);
}

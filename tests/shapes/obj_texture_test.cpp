// map_Kd on obj_mesh models: the picture laid on by the faces' vt.
#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"
#include "shapes/mesh.h"
#include "shapes/obj_model.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// The unit square on the x-y plane as one quad, its texture coordinates
// equal to x and y (or none), in a material with the given map_Kd.
std::unique_ptr<Mesh> readSquare(const std::string& name, const std::string& mapKd, bool withCoords) {
    writeFile(name + ".mtl", "newmtl pictured\nKd 0.2 0.4 0.6\n" +
                                 (mapKd.empty() ? std::string() : "map_Kd " + mapKd + "\n"));
    std::string obj = "mtllib " + name + ".mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
    obj += withCoords ? "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl pictured\nf 1/1 2/2 3/3 4/4\n"
                      : "usemtl pictured\nf 1 2 3 4\n";
    const std::string path = writeFile(name + ".obj", obj);
    boost::shared_ptr<CMesh> model(new CMesh());
    std::vector<std::string> warnings;
    CObjMeshParser::parse(model, path, warnings);
    auto mesh = std::make_unique<Mesh>();
    EXPECT_EQ(convertObjModel(*model, false, *mesh), "");
    mesh->build();
    return mesh;
}

Color seen(Mesh& mesh, double x, double y) {
    Ray ray;
    ray.origin = Point(x, y, 5);
    ray.direction = Vector3(0, 0, -1);
    HitRec hit;
    EXPECT_GT(mesh.intersect(ray, hit), 0);
    return hit.color;
}

bool near(const Color& a, const Color& b) {
    // Kd is read as floats.
    return std::abs(a.r - b.r) < 1e-6 && std::abs(a.g - b.g) < 1e-6 && std::abs(a.b - b.b) < 1e-6;
}

}  // namespace

TEST(ObjTexture, PictureLiesByTheTextureCoordinates) {
    writeQuadPng("square_picture.png");
    const auto mesh = readSquare("textured_square", "square_picture.png", true);
    // Pixel centres, v up: the top row at v = 0.75.
    EXPECT_TRUE(near(seen(*mesh, 0.25, 0.75), Color(1, 0, 0)));
    EXPECT_TRUE(near(seen(*mesh, 0.75, 0.75), Color(0, 1, 0)));
    EXPECT_TRUE(near(seen(*mesh, 0.25, 0.25), Color(0, 0, 1)));
    EXPECT_TRUE(near(seen(*mesh, 0.75, 0.25), Color(1, 1, 1)));
}

// Without texture coordinates, or with a picture that cannot be read, the
// material keeps its Kd colour.
TEST(ObjTexture, WithoutCoordinatesOrPictureTheColourIsKd) {
    writeQuadPng("square_picture.png");
    const Color kd(0.2, 0.4, 0.6);
    const auto plain = readSquare("uncoordinated_square", "square_picture.png", false);
    EXPECT_TRUE(near(seen(*plain, 0.25, 0.75), kd));
    const auto missing = readSquare("unpictured_square", "no_such_picture.png", true);
    EXPECT_TRUE(near(seen(*missing, 0.25, 0.75), kd));
}

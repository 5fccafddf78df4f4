#include "Obj/Mesh.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "Obj/Material.h"

namespace {

SPolygonFace face(const std::vector<int>& v, int vt = 0, int vn = 0) {
    SPolygonFace f;
    for (int index : v) f.addVertTexNorm(index, vt, vn);
    return f;
}

// The corners of a right triangle in the xy plane, then (2, 0, 0).
CMesh fourVertices() {
    CMesh mesh;
    for (const SVertex& v :
         {SVertex(0, 0, 0), SVertex(1, 0, 0), SVertex(0, 1, 0), SVertex(2, 0, 0)})
        mesh.addVertex(v);
    return mesh;
}

std::vector<float> xyz(const SVertex& v) { return {v.x, v.y, v.z}; }

}  // namespace

TEST(Mesh, CountsAndBoundsFollowTheElements) {
    CMesh mesh;
    EXPECT_EQ(mesh.getNumVertices() + mesh.getNumTextureCoords() + mesh.getNumNormals(), 0);
    EXPECT_FALSE(mesh.hasNormals() || mesh.hasTextureCoords() || mesh.hasTexture());
    testing::internal::CaptureStderr();
    mesh.dumpBounds();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Mesh bounds: (3.40282e+38, 3.40282e+38, 3.40282e+38) , "
              "(-3.40282e+38, -3.40282e+38, -3.40282e+38).\n");

    mesh.addVertex(SVertex(1, 2, 3));
    EXPECT_EQ(xyz(mesh.m_minVert), xyz(SVertex(1, 2, 3)));
    EXPECT_EQ(xyz(mesh.m_maxVert), xyz(SVertex(1, 2, 3)));
    mesh.addVertex(SVertex(-1, 5, 0));
    EXPECT_EQ(xyz(mesh.m_minVert), xyz(SVertex(-1, 2, 0)));
    EXPECT_EQ(xyz(mesh.m_maxVert), xyz(SVertex(1, 5, 3)));
    mesh.addNormal(SVertex(0, 0, 1));
    EXPECT_TRUE(mesh.hasNormals());
    EXPECT_EQ(mesh.getNumNormals(), 1);
    EXPECT_EQ(xyz(mesh.getNormal(0)), xyz(SVertex(0, 0, 0)));  // the placeholder

    // Clearing keeps the material; the bounds start over.
    SMaterial red;
    red.strName = "red";
    mesh.setMaterial(red);
    mesh.clear();
    EXPECT_EQ(mesh.getMaterial().strName, "red");
    EXPECT_EQ(mesh.getNumVertices() + mesh.getNumNormals(), 0);
    EXPECT_EQ(mesh.m_minVert.x, std::numeric_limits<float>::max());
}

TEST(Mesh, FlatNormalsFollowTheFirstThreeCorners) {
    CMesh mesh = fourVertices();
    mesh.addFace(face({1, 2, 3}));     // counter-clockwise seen from +z
    mesh.addFace(face({1, 3, 2, 4}));  // clockwise; the fourth corner is ignored
    mesh.addFace(face({1, 2, 4}));     // collinear
    mesh.generateFlatNormals();
    ASSERT_EQ(mesh.getNumNormals(), 3);
    EXPECT_EQ(xyz(mesh.getNormal(1)), xyz(SVertex(0, 0, 1)));
    EXPECT_EQ(xyz(mesh.getNormal(2)), xyz(SVertex(0, 0, -1)));
    EXPECT_EQ(xyz(mesh.getNormal(3)), xyz(SVertex(0, 0, 0)));
    EXPECT_EQ(mesh.getFace(1).vn, std::vector<int>({2, 2, 2, 2}));

    // A mesh with normals keeps them, even for faces that use none.
    mesh.addFace(face({3, 2, 1}));
    mesh.generateFlatNormals();
    EXPECT_EQ(mesh.getNumNormals(), 3);
    EXPECT_EQ(mesh.getFace(3).vn, std::vector<int>({0, 0, 0}));
}

TEST(Mesh, OnlyFacesWithUsableIndicesAreValid) {
    CMesh mesh = fourVertices();
    mesh.addTextureCoord(SVertex(0.5f, 0.5f, 0));
    EXPECT_TRUE(mesh.hasValidIndices(face({1, 2, 4})));
    EXPECT_TRUE(mesh.hasValidIndices(face({1, 2, 3}, 1, 0)));
    for (const SPolygonFace& bad :
         {face({1, 2}), face({0, 2, 3}), face({-1, 2, 3}), face({1, 2, 5}), face({1, 2, 3}, 2, 0),
          face({1, 2, 3}, -1, 0), face({1, 2, 3}, 0, 1)})
        EXPECT_FALSE(mesh.hasValidIndices(bad)) << bad.v[0] << " " << bad.vt[0] << " " << bad.vn[0];
    SPolygonFace uneven = face({1, 2, 3});
    uneven.vt.pop_back();
    EXPECT_FALSE(mesh.hasValidIndices(uneven));
}

// Regression: faces with bad indices or fewer than three corners made normal
// generation read outside the position array.
TEST(Mesh, FlatNormalsSkipFacesWithBadIndices) {
    CMesh mesh = fourVertices();
    for (const std::vector<int>& v :
         std::vector<std::vector<int>>{{1, 2}, {0, 1, 2}, {-1, 1, 2}, {1, 2, 99}, {}})
        mesh.addFace(face(v));
    mesh.addFace(face({1, 2, 3}));
    mesh.generateFlatNormals();
    ASSERT_EQ(mesh.getNumNormals(), 1);
    EXPECT_EQ(mesh.getFace(3).vn, std::vector<int>({0, 0, 0}));
    EXPECT_EQ(mesh.getFace(5).vn, std::vector<int>({1, 1, 1}));
}

TEST(Mesh, ShrinkToFitLeavesExactlyTheSizes) {
    CMesh mesh;
    for (int i = 1; i <= 5; ++i) {
        mesh.addVertex(SVertex(i, i, i));
        mesh.addFace(face({1, i, i}));
    }
    mesh.addTextureCoord(SVertex(0, 0, 0));
    mesh.addFace(face({1, 2, 3, 4}));
    const int before = mesh.getByteSize();
    // The arrays grew by doubling (to 8 positions, 2 texture coordinates,
    // 1 normal and 8 faces), a face added is a copy that holds its size, and
    // a face weighs three vectors of int: the figures the log has always had.
    EXPECT_EQ(before,
              static_cast<int>((8 + 2 + 1) * sizeof(SVertex) + 8 * 3 * sizeof(std::vector<int>) +
                               (5 * 3 + 4) * 3 * sizeof(int)));
    mesh.shrinkToFit();
    EXPECT_LE(mesh.getByteSize(), before);
    // 6 + 2 + 1 elements with the placeholders; 6 faces of 5 x 3 + 4 corners.
    EXPECT_EQ(mesh.getByteSize(),
              static_cast<int>((6 + 2 + 1) * sizeof(SVertex) + 6 * sizeof(SPolygonFace) +
                               (5 * 3 + 4) * 3 * sizeof(int)));
    EXPECT_EQ(xyz(mesh.getVertex(5)), xyz(SVertex(5, 5, 5)));
    EXPECT_EQ(mesh.getFace(5).v, std::vector<int>({1, 2, 3, 4}));
}

#include <gtest/gtest.h>

#include <limits>

#include "geom.h"
#include "test_support.h"

using testing_support::makeRay;
using testing_support::tokensOf;

namespace {

const double kMiss = std::numeric_limits<double>::max();

}  // namespace

TEST(Box, CornersAreOrderedAndDefaultsSet) {
    const Box a(Vector3(1, 1, 1), Vector3(0, 0, 0));
    const Box b(Vector3(0, 1, 0), Vector3(1, 0, 1));
    EXPECT_EQ(a.corner1, Vector3(0, 0, 0));
    EXPECT_EQ(a.corner2, Vector3(1, 1, 1));
    EXPECT_EQ(b.corner1, a.corner1);
    EXPECT_EQ(b.corner2, a.corner2);
    EXPECT_EQ(a.color.g, 1);
    EXPECT_EQ(a.color.r, 0);
    EXPECT_EQ(a.finish.diffuse, 0.5);
    EXPECT_EQ(a.finish.specular, 0.5);
    EXPECT_EQ(a.finish.refraction, 1.0);
    EXPECT_EQ(a.finish.ior, 1.0);
    EXPECT_EQ(a.finish.filter, 0.5);
    EXPECT_EQ(a.leftChild, nullptr);

    std::deque<std::string> tokens = tokensOf("box { <1, 1, 1>, <0, 0, 0> } next");
    testing::internal::CaptureStdout();
    Box* scene = Box::parse(tokens);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "filter = 0\n");
    EXPECT_EQ(scene->corner1, Vector3(0, 0, 0));
    EXPECT_EQ(scene->finish.filter, 0);  // opaque without an rgbf pigment
    EXPECT_EQ(scene->finish.refraction, 1.0);
    EXPECT_EQ(tokens, std::deque<std::string>{"next"});
    delete scene;
}

TEST(Box, FacesHitFromOutsideAndInside) {
    Box box(Vector3(0, 0, 0), Vector3(1, 1, 1));
    box.color = Color(0.5, 0.25, 0);
    HitRec rec;
    EXPECT_EQ(box.intersect(makeRay(Vector3(0.5, 0.5, 5), Vector3(0, 0, -1)), rec), 4);
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));
    EXPECT_EQ(rec.p, Vector3(0.5, 0.5, 1));
    EXPECT_EQ(rec.color.r, 0.5);
    EXPECT_EQ(box.intersect(makeRay(Vector3(0.5, 0.5, -5), Vector3(0, 0, 1)), rec), 5);
    EXPECT_EQ(rec.n, Vector3(0, 0, -1));
    // From inside, the face the ray leaves through.
    EXPECT_EQ(box.intersect(makeRay(Vector3(0.5, 0.5, 0.5), Vector3(1, 0, 0)), rec), 0.5);
    EXPECT_EQ(rec.n, Vector3(1, 0, 0));
    // Along an edge two faces meet at the same distance: the lower index wins
    // (face 1, z = 1, before face 3, x = 1).
    EXPECT_EQ(box.intersect(makeRay(Vector3(2, 0.5, 2), Vector3(-1, 0, -1)), rec), 1);
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));
}

TEST(Box, MissReturnsTheLargestDoubleWithTheBoxColour) {
    Box box(Vector3(0, 0, 0), Vector3(1, 1, 1));
    HitRec rec;
    EXPECT_EQ(box.intersect(makeRay(Vector3(5, 5, 5), Vector3(0, 0, 1)), rec), kMiss);
    EXPECT_EQ(rec.color.g, 1);
    EXPECT_EQ(rec.finish.filter, 0.5);
    // The border of a face counts as inside.
    EXPECT_EQ(box.intersect(makeRay(Vector3(1, 1, 5), Vector3(0, 0, -1)), rec), 4);
}

TEST(Box, SurfaceNormalPrefersEarlierTests) {
    Box box(Vector3(0, 0, 0), Vector3(1, 1, 1));
    EXPECT_EQ(box.surfaceNormal(Vector3(0, 0.5, 0.5)), Vector3(-1, 0, 0));
    EXPECT_EQ(box.surfaceNormal(Vector3(1.000001, 0.5, 0.5)), Vector3(1, 0, 0));
    EXPECT_EQ(box.surfaceNormal(Vector3(0.5, 1, 0.5)), Vector3(0, 1, 0));
    EXPECT_EQ(box.surfaceNormal(Vector3(0.5, 0.5, 0)), Vector3(0, 0, -1));
    EXPECT_EQ(box.surfaceNormal(Vector3(1, 1, 1)), Vector3(1, 0, 0));  // x tested first
}

TEST(Box, HierarchyNodesForwardToTheNearerChild) {
    Sphere near(Vector3(0, 0, 0), 1);
    Sphere far(Vector3(0, 0, -10), 1);
    near.color = Color(1, 0, 0);
    far.color = Color(0, 0, 1);
    Box leaf(near.getCorner1(), near.getCorner2());
    leaf.leftChild = &near;
    HitRec rec;
    EXPECT_EQ(leaf.intersect(makeRay(Vector3(0, 0, 5), Vector3(0, 0, -1)), rec), 4);
    EXPECT_EQ(rec.color.r, 1);

    Box farLeaf(far.getCorner1(), far.getCorner2());
    farLeaf.leftChild = &far;
    Box node(&farLeaf, &leaf);
    node.leftChild = &farLeaf;
    node.rightChild = &leaf;
    EXPECT_EQ(node.corner1, Vector3(-1, -1, -11));
    EXPECT_EQ(node.intersect(makeRay(Vector3(0, 0, 5), Vector3(0, 0, -1)), rec), 4);
    EXPECT_EQ(rec.color.r, 1);
    // A child that misses loses to one that hits.
    EXPECT_EQ(node.intersect(makeRay(Vector3(0, 0, -20), Vector3(0, 0, 1)), rec), 9);
    EXPECT_EQ(rec.color.b, 1);
    EXPECT_EQ(node.intersect(makeRay(Vector3(5, 5, 5), Vector3(0, 0, -1)), rec), -1.0);
}

TEST(Bvh, LevelsPairNeighboursAndCarryTheOddOne) {
    // Five leaves: PQ, RS, T; then PQRS, T; then the root. Nine display boxes.
    std::vector<Sphere> spheres;
    for (int i = 0; i < 5; ++i) spheres.emplace_back(Vector3(3.0 * i, 0, 0), 1);
    std::vector<GeomObject*> leaves;
    std::vector<GeomObject*> nodeList;
    for (Sphere& s : spheres) {
        Box* leaf = new Box(s.getCorner1(), s.getCorner2());
        leaf->leftChild = &s;
        leaves.push_back(leaf);
        nodeList.push_back(new Box(s.getCorner1(), s.getCorner2()));
    }
    GeomObject* root = buildBvhTree(leaves, nodeList);
    ASSERT_EQ(nodeList.size(), 9u);
    EXPECT_EQ(nodeList[5]->getCorner2().x, 4);   // PQ
    EXPECT_EQ(nodeList[6]->getCorner1().x, 5);   // RS
    EXPECT_EQ(nodeList[7]->getCorner2().x, 10);  // PQRS
    EXPECT_EQ(nodeList[8]->getCorner1(), Vector3(-1, -1, -1));
    EXPECT_EQ(nodeList[8]->getCorner2(), Vector3(13, 1, 1));
    EXPECT_EQ(root->getCorner2(), Vector3(13, 1, 1));
    EXPECT_EQ(root->rightChild, leaves[4]);  // T joins only at the top
    for (GeomObject* box : nodeList) {
        EXPECT_EQ(box->leftChild, nullptr);  // display copies have no children
    }
    // A single leaf is its own root and adds nothing.
    std::vector<GeomObject*> single{leaves[0]};
    EXPECT_EQ(buildBvhTree(single, nodeList), leaves[0]);
    EXPECT_EQ(nodeList.size(), 9u);
    EXPECT_TRUE(xSort(leaves[0], leaves[1]));
    EXPECT_FALSE(xSort(leaves[1], leaves[1]));
    destroyBvhTree(root);
    for (GeomObject* box : nodeList) delete static_cast<Box*>(box);
}

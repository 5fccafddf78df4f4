#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <memory>

#include "geom.h"
#include "geom_hit.h"
#include "parser.h"

namespace {

Point componentMin(const Point& a, const Point& b) {
    return Point(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
}

Point componentMax(const Point& a, const Point& b) {
    return Point(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
}

bool matches(double a, double b) {
    return std::fabs(a - b) < HIT_EPSILON;
}

}  // namespace

Box::Box(const Point& c1, const Point& c2) {
    setDefaults();
    corner1 = componentMin(c1, c2);
    corner2 = componentMax(c1, c2);
}

Box::Box(const GeomObject* b1, const GeomObject* b2) {
    setDefaults();
    corner1 = componentMin(b1->getCorner1(), b2->getCorner1());
    corner2 = componentMax(b1->getCorner2(), b2->getCorner2());
}

void Box::setDefaults() {
    leftChild = nullptr;
    rightChild = nullptr;
    color = Color(0, 1, 0);
    finish = Finish();
    finish.diffuse = 0.5;
    finish.specular = 0.5;
    finish.ior = 1.0;
    finish.refraction = 1.0;
    finish.filter = 0.5;
}

namespace {

template <typename Tokens>
Box* readBox(Tokens& tokens) {
    assert(!tokens.empty() && tokens.front() == "box");
    tokens.pop_front();
    const Point first = Parser::parse_vector(tokens);
    const Point second = Parser::parse_vector(tokens);
    // Owned here until its modifiers have been read: a scene error in them
    // must not leak the box.
    std::unique_ptr<Box> box(new Box(first, second));
    box->parseOptions(tokens);
    return box.release();
}

}  // namespace

Box* Box::parse(std::deque<std::string>& tokens) { return readBox(tokens); }

Box* Box::parse(TokenViews& tokens) { return readBox(tokens); }

double Box::intersect(const Ray& ray, HitRec& hitrec) {
    if (leftChild != nullptr) {
        // A hierarchy node: its own faces decide nothing.
        HitRec lrec;
        const double t1 = leftChild->intersect(ray, lrec);
        if (rightChild == nullptr) {
            hitrec.copy(lrec);
            return t1;
        }
        HitRec rrec;
        const double t2 = rightChild->intersect(ray, rrec);
        // A hit beats a miss; between two hits or two misses the smaller
        // distance wins.
        const bool leftMiss = t1 < HIT_EPSILON;
        const bool rightMiss = t2 < HIT_EPSILON;
        const bool chooseLeft = leftMiss == rightMiss ? t1 < t2 : rightMiss;
        hitrec.copy(chooseLeft ? lrec : rrec);
        return chooseLeft ? t1 : t2;
    }

    int face;
    const double t = boxHitDistance(corner1, corner2, ray, face);
    if (face >= 0) {
        hitrec.t = t;
        hitrec.n = boxFaceNormal(face).normalize();
        hitrec.p = ray.origin + t * ray.direction;
    }
    hitrec.color = color;
    hitrec.finish = finish;
    return t;
}

Vector3 Box::surfaceNormal(const Point& p) {
    if (matches(p.x, corner1.x)) return Vector3(-1, 0, 0);
    if (matches(p.x, corner2.x)) return Vector3(1, 0, 0);
    if (matches(p.y, corner1.y)) return Vector3(0, -1, 0);
    if (matches(p.y, corner2.y)) return Vector3(0, 1, 0);
    if (matches(p.z, corner1.z)) return Vector3(0, 0, -1);
    if (matches(p.z, corner2.z)) return Vector3(0, 0, 1);
    // Not on the box: no face to speak for; callers never ask this.
    return Vector3(0, 0, 0);
}

Point Box::getCorner1() const {
    return corner1;
}

Point Box::getCorner2() const {
    return corner2;
}

bool xSort(GeomObject* a, GeomObject* b) {
    return a->getCorner2().x < b->getCorner2().x;
}

GeomObject* buildBvhTree(std::vector<GeomObject*> bvh, std::vector<GeomObject*>& nodeList) {
    assert(bvh.size() > 0);
    // Level by level: each pass pairs neighbours; an odd last node is carried up.
    while (bvh.size() > 1) {
        std::vector<GeomObject*> bvhTree;
        bvhTree.reserve((bvh.size() + 1) / 2);
        for (std::size_t i = 0; i < bvh.size(); i += 2) {
            if (i + 1 < bvh.size()) {
                Box* parentBox = new Box(bvh[i], bvh[i + 1]);
                parentBox->leftChild = bvh[i];
                parentBox->rightChild = bvh[i + 1];
                bvhTree.push_back(parentBox);
                nodeList.push_back(new Box(bvh[i], bvh[i + 1]));
            } else {
                bvhTree.push_back(bvh[i]);
            }
        }
        bvh.swap(bvhTree);
    }
    return bvh.front();
}

void destroyBvhTree(GeomObject* root) {
    Box* node = static_cast<Box*>(root);
    if (node->rightChild != nullptr) {
        destroyBvhTree(node->leftChild);
        destroyBvhTree(node->rightChild);
    }
    delete node;
}

// The tracing hierarchy's answers, one query at a time, against the linear
// scan: ties between objects at one distance, rays that graze an object so
// that rounding puts the hit on or past its bounds, objects kept out of the
// tree, the light distance of a shadow feeler, rays the tree leaves to the
// scan, blocker caches and the rays of generated scenes.
#include "accel/trace_accel.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>

#include "accel/scene_query.h"
#include "generated_scene.h"
#include "geom.h"
#include "test_support.h"

using testing_support::makeRay;

namespace {

// A shadow question with nothing cached.
bool blocked(const SceneQuery& query, const Ray& feeler, double lightDistance) {
    BlockerCache cache;
    return query.blocked(feeler, lightDistance, cache);
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every field of two hit records, bit for bit: distance, point, normal,
// colour and finish. The record holds doubles only, so it has no padding.
bool sameRecord(const HitRec& a, const HitRec& b) {
    static_assert(sizeof(HitRec) % sizeof(double) == 0, "doubles only");
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Objects owned in one place; list is the render list.
struct Objects {
    std::deque<Sphere> spheres;
    std::deque<Triangle> triangles;
    std::deque<Box> boxes;
    std::deque<Plane> planes;
    std::vector<GeomObject*> list;

    template <class T, class... Args>
    T& add(std::deque<T>& store, Args&&... args) {
        store.emplace_back(std::forward<Args>(args)...);
        store.back().color = Color(static_cast<double>(list.size()), 0, 0);  // names the object
        store.back().finish.ambient = 0.5 * static_cast<double>(list.size());
        list.push_back(&store.back());
        return store.back();
    }
    // Small spheres away from the origin, so that the tree has depth.
    void clutter(int count) {
        for (int i = 0; i < count; ++i) {
            add(spheres, Vector3(20 + (i % 10), (i / 10) % 10 - 5.0, i / 100 - 2.0), 0.3);
        }
    }
};

// Expects both structures to give the same nearest hit (the object's whole
// record, bit for bit) and the same shadow answers around that distance.
// Returns whether the ray hit something.
bool expectSameAnswers(const SceneQuery& tree, const SceneQuery& scan, const Ray& ray) {
    HitRec a;
    HitRec b;
    const bool hitA = tree.nearestHit(ray, a);
    const bool hitB = scan.nearestHit(ray, b);
    EXPECT_EQ(hitA, hitB);
    if (hitA && hitB) {
        EXPECT_TRUE(sameBits(a.t, b.t)) << a.t << " " << b.t;
        EXPECT_EQ(a.color.r, b.color.r) << "a different object at " << a.t;
        EXPECT_TRUE(sameBits(a.n.x, b.n.x) && sameBits(a.n.y, b.n.y) && sameBits(a.n.z, b.n.z));
        EXPECT_TRUE(sameRecord(a, b)) << "the records differ at " << a.t;
    }
    const double t = hitB ? b.t : 1.0;
    for (const double light : {t, std::nextafter(t, 0.0), std::nextafter(t, 1e300), 1e9}) {
        EXPECT_EQ(blocked(tree, ray, light), blocked(scan, ray, light)) << "light at " << light;
    }
    return hitB;
}

// Whether the hit lies more than 1e-6 outside the object's bounds, which is
// past what rounding the bounds outward to floats would absorb.
bool farOutside(const HitRec& hit, const GeomObject& object) {
    const Point c1 = object.getCorner1();
    const Point c2 = object.getCorner2();
    const auto out = [](double v, double a, double b) {
        return v < std::min(a, b) - 1e-6 || v > std::max(a, b) + 1e-6;
    };
    return out(hit.p.x, c1.x, c2.x) || out(hit.p.y, c1.y, c2.y) || out(hit.p.z, c1.z, c2.z);
}

}  // namespace

TEST(TraceAccel, TiesGoToTheEarlierObjectWhereverTheTreePutsIt) {
    for (const bool reversed : {false, true}) {
        Objects o;
        o.clutter(150);
        // Coincident spheres spread through the list, and a box face, a
        // triangle and a plane all at distance 4 from (0.25, 0.25, 5).
        std::vector<const Sphere*> coincident;
        for (int i = 0; i < 6; ++i) {
            coincident.push_back(&o.add(o.spheres, Vector3(0, 0, -10), 1));
            o.clutter(7);
        }
        o.add(o.boxes, Point(0, 0, 0), Point(1, 1, 1));
        o.add(o.triangles, Point(0, 0, 1), Point(1, 0, 1), Point(0, 1, 1));
        o.add(o.planes, Vector3(0, 0, 1), 1.0);
        if (reversed) std::reverse(o.list.begin(), o.list.end());
        const TraceAccel tree(o.list);
        const LinearScene scan(o.list);
        ASSERT_GT(tree.nodeCount(), 20u);

        HitRec hit;
        ASSERT_TRUE(tree.nearestHit(makeRay(Vector3(0.25, 0.25, 5), Vector3(0, 0, -1)), hit));
        EXPECT_EQ(hit.t, 4);
        const double firstAtFour = reversed ? o.planes[0].color.r : o.boxes[0].color.r;
        EXPECT_EQ(hit.color.r, firstAtFour);
        // Past the box, the first coincident sphere in list order.
        ASSERT_TRUE(tree.nearestHit(makeRay(Vector3(0, 0, -5), Vector3(0, 0, -1)), hit));
        EXPECT_EQ(hit.t, 4);
        EXPECT_EQ(hit.color.r, (reversed ? coincident.back() : coincident.front())->color.r);
        for (double x = -1; x <= 1.5; x += 0.25) {
            expectSameAnswers(tree, scan, makeRay(Vector3(x, 0.25, 5), Vector3(0, 0, -1)));
        }
    }
}

// Rounding can put an accepted hit just outside its object's bounds; the
// padded nodes must still lead to the object. Every probe sits on a bound.
TEST(TraceAccel, GrazingRaysFindWhatTheScanFinds) {
    Objects o;
    o.clutter(300);
    const double r = 0.9;
    Sphere& sphere = o.add(o.spheres, Vector3(0.3, 0.7, -0.2), r);
    Triangle& triangle =
        o.add(o.triangles, Point(2.1, 0.3, 0.7), Point(3.3, 1.9, 0.1), Point(2.5, 2.2, 1.9));
    Box& box = o.add(o.boxes, Point(-3.1, 0.2, 0.1), Point(-2.3, 1.7, 0.9));
    // Seen from afar, a tiny sphere's discriminant is mostly rounding: its
    // hits land up to about 1e-5 from it, far past any float rounding.
    const double tinyRadii[] = {1e-6, 1e-9, 0};
    std::vector<const Sphere*> tiny;
    for (int i = 0; i < 3; ++i) {
        tiny.push_back(&o.add(o.spheres, Vector3(5 + 4.1 * i, -8, 3), tinyRadii[i]));
    }
    o.clutter(100);
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    ASSERT_EQ(tree.linearObjectCount(), 0u);

    int hits = 0;
    int beyondBounds = 0;
    const auto probe = [&](const Ray& ray, const GeomObject& target) {
        if (expectSameAnswers(tree, scan, ray)) {
            ++hits;
            HitRec hit;
            scan.nearestHit(ray, hit);
            beyondBounds += farOutside(hit, target) ? 1 : 0;
        }
    };
    // Tangent to the sphere's top, where its box's face is, from many sides.
    for (int k = -40; k <= 40; ++k) {
        for (int j = -3; j <= 3; ++j) {
            const double height = sphere._center.y + r * (1 + k * 0x1p-50);
            probe(makeRay(Vector3(-7.3, height, sphere._center.z + 0.1 * j),
                          Vector3(1, 0, -0.013 * j)),
                  sphere);
            probe(makeRay(Vector3(sphere._center.x + 0.2 * j, height, 6.1),
                          Vector3(-0.017 * j, 0, -1)),
                  sphere);
        }
    }
    for (const Sphere* s : tiny) {
        for (int k = -300; k <= 300; ++k) {
            for (int j = 0; j < 3; ++j) {
                const Vector3 from(-1000 + j * 37.1, s->_center.y + k * 1e-8, 300 - j * 90.0);
                probe(makeRay(from, s->_center - from + Vector3(0, k * 2e-7, 0)), *s);
            }
        }
    }
    // Through the triangle's vertices and edge midpoints, and the box's
    // corners and edges, from scattered origins.
    const Point targets[] = {triangle.v1,
                             triangle.v2,
                             triangle.v3,
                             0.5 * (triangle.v1 + triangle.v2),
                             box.corner1,
                             box.corner2,
                             Point(box.corner1.x, box.corner2.y, 0.5),
                             Point(-2.7, box.corner1.y, box.corner2.z)};
    for (int t = 0; t < 8; ++t) {
        const GeomObject& target = t < 4 ? static_cast<const GeomObject&>(triangle) : box;
        for (int i = 0; i < 60; ++i) {
            const Vector3 from(std::sin(i * 1.7) * 9, std::cos(i * 2.3) * 9, 7 + std::sin(i * 0.9));
            probe(makeRay(from, targets[t] - from), target);
        }
    }
    EXPECT_GT(hits, 300);
    EXPECT_GT(beyondBounds, 100);  // the probes do reach past the bounds
}

TEST(TraceAccel, UnboundedAndUnreliableObjectsAreScannedBesideTheTree) {
    Objects o;
    o.clutter(50);
    const double inf = std::numeric_limits<double>::infinity();
    o.add(o.planes, Vector3(0, 1, 0), -1.0);
    o.add(o.spheres, Vector3(0, 0, -30), inf);
    o.add(o.spheres, Vector3(std::nan(""), 0, 0), 1);
    o.add(o.spheres, Vector3(1e300, 0, 0), 1);
    o.add(o.triangles, Point(-1, 0, 0), Point(0, 0.1, 0), Point(1, 0.2, 0));        // collinear
    o.add(o.triangles, Point(-1, 0, 0), Point(1, 0, 0), Point(0, 0.0001, 0.0001));  // sliver
    Box& node = o.add(o.boxes, Point(-2, -2, -2), Point(2, 2, 2));  // a hierarchy node
    node.leftChild = &o.spheres.front();
    o.add(o.triangles, Point(-1, 0, 0), Point(1, 0, 0), Point(0, 1, 0));  // an ordinary one
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    EXPECT_EQ(tree.linearObjectCount(), 7u);
    EXPECT_EQ(tree.treeObjectCount(), 51u);
    int hits = 0;
    for (int i = 0; i < 200; ++i) {
        const Vector3 from(std::sin(i * 1.3) * 5, 3 + std::cos(i * 0.7), 8);
        const Vector3 to(std::sin(i * 0.31) * 2, std::cos(i * 0.53) * 0.3, std::sin(i * 0.11));
        hits += expectSameAnswers(tree, scan, makeRay(from, to - from)) ? 1 : 0;
    }
    EXPECT_GT(hits, 150);
}

// A few objects make a tree of one leaf, tested in one run with the scan
// beside it; each kind's winner makes its record its own way (planes with a
// normal that is not of unit length, a hierarchy node by intersecting again).
TEST(TraceAccel, AFewObjectsAndTheScanBesideThemAreOneRun) {
    Objects o;
    o.add(o.spheres, Vector3(0, 0, 0), 1);
    o.add(o.planes, Vector3(0, 3, 0), -2.0);
    o.add(o.triangles, Point(-2, -1, -1), Point(-1, -1, -2), Point(-1.5, 1, -1.5));
    o.add(o.spheres, Vector3(1e300, 0, 0), 1);  // beyond the tree's range: scanned
    o.add(o.boxes, Point(1, -1, -1), Point(2, 0.5, 0));
    o.add(o.planes, Vector3(1, 2, -0.5), -9.0);
    o.add(o.triangles, Point(-1, 2, 0), Point(1, 2, 0), Point(0, 2.0001, 0.0001));  // a sliver
    // A hierarchy node over a sphere of its own, which only it can hit.
    Box& node = o.add(o.boxes, Point(-3, -3, -3), Point(3, 3, 3));
    Sphere inner(Vector3(0.5, -1.6, 2), 0.5);
    inner.color = node.color;
    inner.finish = node.finish;
    node.leftChild = &inner;
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    EXPECT_EQ(tree.nodeCount(), 0u);
    EXPECT_EQ(tree.treeObjectCount(), 3u);
    std::vector<int> wins(o.list.size(), 0);
    for (int i = 0; i < 400; ++i) {
        const Vector3 from(std::sin(i * 1.3) * 6, std::cos(i * 0.7) * 4, 6 + std::sin(i * 0.37));
        const Vector3 to(std::sin(i * 0.31) * 2.5, std::cos(i * 0.53) * 2, std::sin(i * 0.11));
        const Ray ray = makeRay(from, to - from);
        if (!expectSameAnswers(tree, scan, ray)) continue;
        HitRec hit;
        scan.nearestHit(ray, hit);
        ++wins[static_cast<std::size_t>(hit.color.r)];
        // And on from the hit, as the secondary rays go.
        expectSameAnswers(tree, scan, makeRay(hit.p, Vector3(-ray.direction.y, 0.3, 0.2)));
    }
    for (const std::size_t winner : {0, 1, 2, 4, 5, 7}) {
        EXPECT_GT(wins[winner], 0) << "object " << winner;
    }
}

TEST(TraceAccel, ShadowFeelersStopOnlyForBlockersBeforeTheLight) {
    Objects o;
    o.clutter(60);
    o.add(o.boxes, Point(0, 0, 0), Point(1, 1, 1));
    const TraceAccel tree(o.list);
    // The feeler meets the face z = 1 at distance 4.
    const Ray feeler = makeRay(Vector3(0.5, 0.5, 5), Vector3(0, 0, -1));
    EXPECT_TRUE(blocked(tree, feeler, std::nextafter(4.0, 5.0)));
    EXPECT_FALSE(blocked(tree, feeler, 4.0));  // a blocker at the light does not count
    EXPECT_FALSE(blocked(tree, feeler, 3.0));
    EXPECT_FALSE(blocked(tree, feeler, std::nan("")));
    // Leaving the box's surface: the face it starts on is below the threshold.
    EXPECT_FALSE(blocked(tree, makeRay(Vector3(0.5, 0.5, 1), Vector3(0, 0, 1)), 100));
    // Behind the origin.
    EXPECT_FALSE(blocked(tree, makeRay(Vector3(0.5, 0.5, 5), Vector3(0, 0, 1)), 100));
}

TEST(TraceAccel, RaysTheTreeCannotVouchForGetTheScansAnswer) {
    Objects o;
    o.clutter(40);
    o.add(o.spheres, Vector3(0, 0, 0), 1);
    o.add(o.planes, Vector3(0, 0, 1), -3.0);
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    const double inf = std::numeric_limits<double>::infinity();
    const Ray rays[] = {
        makeRay(Vector3(0, 0, 5), Vector3(0, 0, 0)),
        makeRay(Vector3(0, 0, 5), Vector3(std::nan(""), 0, -1)),
        makeRay(Vector3(0, 0, 5), Vector3(0, 0.5, std::nan(""))),
        makeRay(Vector3(0, std::nan(""), 5), Vector3(0, 0, -1)),
        makeRay(Vector3(-inf, 0, 5), Vector3(1, 0, 0)),
        makeRay(Vector3(0, 0, 5), Vector3(0, 0, -inf)),
        makeRay(Vector3(0, 0, inf), Vector3(0, 0, -1)),
        makeRay(Vector3(0, 0, 1e300), Vector3(0, 0, -1)),
        makeRay(Vector3(0, 0, 5), Vector3(0, 0, -1e-100)),
        makeRay(Vector3(0, 0, 5), Vector3(1e-300, 0, -1e250)),
        // Just outside the ranges the tree's float test is made for.
        makeRay(Vector3(0, 0, 0x1p61), Vector3(0, 0, -1)),
        makeRay(Vector3(0, 0, 5), Vector3(0, 0, -0x1p21)),
        makeRay(Vector3(0, 0, 5), Vector3(0, 1e-7, -0x1p-21)),
    };
    for (const Ray& ray : rays) {
        HitRec a;
        HitRec b;
        EXPECT_EQ(tree.nearestHit(ray, a), scan.nearestHit(ray, b));
        for (const double light : {1.0, 1e9, inf}) {
            EXPECT_EQ(blocked(tree, ray, light), blocked(scan, ray, light));
        }
    }
}

// Direction components too small for the float slab test are taken as zero;
// the padding covers the drift, also over the longest distances the tree
// allows, and objects or origins beyond its range are left to the scan.
TEST(TraceAccel, NegligibleComponentsAndTheEdgesOfTheRange) {
    Objects o;
    o.clutter(200);
    Sphere& near = o.add(o.spheres, Vector3(0, 0, 0), 1);
    Sphere& far = o.add(o.spheres, Vector3(0x1p59, 0x1p59, 0), 0x1p40);
    o.add(o.spheres, Vector3(0x1p61, 0, 0), 1);  // beyond the tree's range
    o.add(o.triangles, Point(-3, -1, -1), Point(-3, 1, -1), Point(-3, 0, 1));
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    EXPECT_EQ(tree.linearObjectCount(), 1u);
    int hits = 0;
    for (int k = -30; k <= 30; ++k) {
        // Along x, a hair's breadth from the sphere's top and side, drifting
        // by components of 2^-45 to 2^-35 of the direction.
        const double drift = std::ldexp(1.0, -45 + (k + 30) % 11) * (k < 0 ? -1 : 1);
        const double edge = near._radius * (1 + k * 0x1p-48);
        hits += expectSameAnswers(tree, scan, makeRay(Vector3(-50, edge, 0), Vector3(1, drift, 0)))
                    ? 1
                    : 0;
        hits += expectSameAnswers(tree, scan, makeRay(Vector3(-50, 0, edge), Vector3(1, 0, drift)))
                    ? 1
                    : 0;
        // From near the origin to the edge of a sphere 2^59 away.
        const Vector3 target = far._center + Vector3(0, far._radius * (1 + k * 0x1p-40), 0);
        hits += expectSameAnswers(tree, scan, makeRay(Vector3(k, 0, 0), target.normalize())) ? 1
                                                                                              : 0;
    }
    EXPECT_GT(hits, 60);
}

// Far from the origin floats are coarse: at 1e7 they are 1 apart, and the
// origin rounds by up to half of that in the slab test. Shallow rays that
// come down onto the tops of spheres there, from heights in every phase of
// that rounding, must still find them.
TEST(TraceAccel, CoarseFloatsFarFromTheOriginAreCovered) {
    Objects o;
    std::vector<const Sphere*> targets;
    for (int i = 0; i < 40; ++i) {
        targets.push_back(&o.add(o.spheres, Vector3(1e7 + 600 * i, 1e7, 1e7 + (i % 3)), 1));
    }
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    int hits = 0;
    for (const Sphere* s : targets) {
        for (int k = 0; k < 40; ++k) {
            // Falling 1 in 100 from `rise` above the top, onto it.
            const double rise = 0.06 + 0.075 * k;
            const Vector3 from(s->_center.x - 100 * rise - 0.2, s->_center.y + 1 + rise,
                               s->_center.z);
            hits += expectSameAnswers(tree, scan, makeRay(from, Vector3(1, -0.01, 0))) ? 1 : 0;
        }
    }
    EXPECT_GT(hits, 1500);
}

// Feelers from the points that camera rays hit, towards each light, with one
// cache per light carried from pixel to pixel as a caster carries them: the
// answers stay the scan's, whether the cached object blocks or not, and so
// they do for caches that another structure wrote or that hold nonsense.
TEST(TraceAccel, BlockerCachesNeverChangeAnAnswer) {
    int blockedFeelers = 0;
    int cachedKinds = 0;
    for (int seed = 1; seed <= 24; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), 32, 24, scene);
        const TraceAccel tree(scene.objects);
        const LinearScene scan(scene.objects);
        GeneratedScene other;
        makeMixedScene(static_cast<std::uint64_t>(seed) + 1000, 8, 6, other);
        const TraceAccel otherTree(other.objects);
        std::vector<BlockerCache> caches(scene.lights.size());
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 32; ++x) {
                HitRec hit;
                if (!scan.nearestHit(scene.pixelRay(x, y), hit)) continue;
                for (std::size_t l = 0; l < scene.lights.size(); ++l) {
                    const Vector3 toLight = scene.lights[l].location - hit.p;
                    const Ray feeler = makeRay(hit.p, toLight.normalize());
                    const double distance = toLight.magnitude();
                    const bool expected = blocked(scan, feeler, distance);
                    blockedFeelers += expected ? 1 : 0;
                    ASSERT_EQ(tree.blocked(feeler, distance, caches[l]), expected)
                        << "seed " << seed << ", pixel " << x << " " << y << ", light " << l;
                    cachedKinds += caches[l].kind != 0 ? 1 : 0;
                    // Another structure's cache, and nonsense.
                    BlockerCache foreign;
                    otherTree.blocked(feeler, distance, foreign);
                    BlockerCache nonsense[] = {{99, 0}, {1, 4000000000u}, {5, 7}, foreign};
                    for (BlockerCache& cache : nonsense) {
                        ASSERT_EQ(tree.blocked(feeler, distance, cache), expected);
                    }
                }
            }
        }
    }
    EXPECT_GT(blockedFeelers, 500);
    EXPECT_GT(cachedKinds, 500);
}

// Query by query over the generated scenes: camera rays, and rays from the
// points they hit in random directions, as reflections and refractions go.
TEST(TraceAccel, GeneratedScenesGiveTheScansAnswers) {
    int hits = 0;
    for (int seed = 1; seed <= 24; ++seed) {
        GeneratedScene scene;
        makeMixedScene(static_cast<std::uint64_t>(seed), 24, 18, scene);
        const TraceAccel tree(scene.objects);
        const LinearScene scan(scene.objects);
        Random random(static_cast<std::uint64_t>(seed));
        for (int y = 0; y < 18; ++y) {
            for (int x = 0; x < 24; ++x) {
                const Ray ray = scene.pixelRay(x, y);
                if (!expectSameAnswers(tree, scan, ray)) continue;
                ++hits;
                HitRec hit;
                scan.nearestHit(ray, hit);
                expectSameAnswers(tree, scan, makeRay(hit.p, random.point(1)));
            }
        }
    }
    EXPECT_GT(hits, 2000);
}

// The build rounds each object's bounds outward to floats and bins and
// splits on those floats: objects whose coordinates floats cannot tell
// apart (centres 2^-40 apart, all in one plane, subnormal or beyond floats'
// smallest), and objects at the edge of the tree's range, must still be
// found by rays that graze them, as the scan finds them.
TEST(TraceAccel, FloatBoundsOfObjectsThatFloatsCannotTellApart) {
    Objects o;
    o.clutter(30);
    // Forty unit spheres whose centres differ by less than a float's step:
    // one centroid for the build, which halves them at the median.
    for (int k = 0; k < 40; ++k) {
        o.add(o.spheres, Vector3(1 + k * 0x1p-40, -20, 0), 0.5);
    }
    // Triangles in the plane z = 7: no spread of centroids along z.
    for (int i = 0; i < 60; ++i) {
        const Point corner(-9 + (i % 10) * 0.7, 10 + (i / 10) * 0.7, 7);
        o.add(o.triangles, corner, corner + Vector3(0.5, 0, 0), corner + Vector3(0, 0.5, 0));
    }
    // Subnormal and smaller than any float; and at the edge of the range.
    o.add(o.spheres, Vector3(1e-40, 2e-40, -3e-41), 1e-41);
    o.add(o.spheres, Vector3(3e-46, 0, 0), 1e-46);
    o.add(o.boxes, Point(0x1p60 - 0x1p50, 0, 0), Point(0x1p60, 0x1p49, 0x1p49));
    o.add(o.spheres, Vector3(-0x1p60 + 0x1p40, 0, 0), 0x1p39);
    const TraceAccel tree(o.list);
    const LinearScene scan(o.list);
    EXPECT_EQ(tree.linearObjectCount(), 0u);
    // Hits on the close spheres, the triangles, and the objects at the edge.
    int hits[3] = {0, 0, 0};
    const auto probe = [&](int group, const Vector3& from, const Vector3& direction) {
        hits[group] += expectSameAnswers(tree, scan, makeRay(from, direction)) ? 1 : 0;
    };
    for (int j = -60; j <= 60; ++j) {
        // Past the spheres' right-hand side, in steps of their spread.
        const double x = 1.5 + j * 0x1p-40;
        probe(0, Vector3(x, -30, 0), Vector3(0, 1, 0));
        probe(0, Vector3(x, -20, 9), Vector3(0, 0, -1));
        // Down onto the plane of triangles, along an edge.
        const double along = -9 + j * 0x1p-45;
        probe(1, Vector3(along, 10.2, 9), Vector3(0, 0, -1));
        probe(1, Vector3(along, 10.2, 9), Vector3(j, 0, -1e3));
        // Towards the tiny spheres and the objects at the edge of the range.
        expectSameAnswers(tree, scan, makeRay(Vector3(0, 0, 1e-39 * j), Vector3(1e-40, 2e-40, -1)));
        expectSameAnswers(tree, scan, makeRay(Vector3(j * 1e-46, 1, 0), Vector3(3e-46, -1, 0)));
        probe(2, Vector3(0, j * 0x1p43, 0x1p50), Vector3(0x1p60 - 0x1p49, 0, -0x1p50));
        probe(2, Vector3(0, 0x1p39 * (1 + j * 0x1p-50), 0), Vector3(-1, 0, 0));
    }
    EXPECT_GT(hits[0], 150);
    EXPECT_GT(hits[1], 100);
    EXPECT_GT(hits[2], 150);
}

// Near the root, subtrees are built by several threads at once; the tree
// must come out the same whatever their number. Shadow feelers show it:
// each stops at the first blocker its walk of the tree meets and caches it,
// so trees laid out differently would cache other blockers.
TEST(TraceAccel, TheTreeIsTheSameAtAnyThreadCount) {
    GeneratedScene scene;
    makeBenchScene(12000, 32, 24, scene);
    // And thousands of coincident spheres, halved at the median.
    for (int i = 0; i < 5000; ++i) {
        scene.objects.push_back(&scene.spheres.emplace_back(Vector3(-3, 2, 1), 0.5));
    }
    const int defaultThreads = omp_get_max_threads();
    std::vector<std::unique_ptr<TraceAccel>> trees;
    for (const int threads : {1, 2, 3}) {
        omp_set_num_threads(threads);
        trees.push_back(std::make_unique<TraceAccel>(scene.objects));
    }
    omp_set_num_threads(defaultThreads);
    const TraceAccel& serial = *trees[0];
    const LinearScene scan(scene.objects);
    for (const auto& tree : trees) {
        EXPECT_EQ(tree->nodeCount(), serial.nodeCount());
        EXPECT_EQ(tree->memoryBytes(), serial.memoryBytes());
    }
    int blockers = 0;
    for (int y = 0; y < 24; y += 2) {
        for (int x = 0; x < 32; ++x) {
            const Ray ray = scene.pixelRay(x, y);
            HitRec hit;
            if (!expectSameAnswers(serial, scan, ray) || !scan.nearestHit(ray, hit)) continue;
            for (const Light& light : scene.lights) {
                const Vector3 toLight = light.location - hit.p;
                const Ray feeler = makeRay(hit.p, toLight.normalize());
                BlockerCache first;
                const bool blocks = serial.blocked(feeler, toLight.magnitude(), first);
                blockers += blocks ? 1 : 0;
                for (const auto& tree : trees) {
                    BlockerCache cache;
                    ASSERT_EQ(tree->blocked(feeler, toLight.magnitude(), cache), blocks);
                    EXPECT_TRUE(cache.kind == first.kind && cache.index == first.index)
                        << "pixel " << x << " " << y;
                }
            }
        }
    }
    EXPECT_GT(blockers, 20);
}

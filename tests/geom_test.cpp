#include "geom.h"

#include <gtest/gtest.h>

#include <cmath>

#include "parser.h"
#include "test_support.h"

using testing_support::makeRay;
using testing_support::tokensOf;

namespace {

// Parses one statement, returning the object and what it printed.
template <typename T>
T parseStatement(const std::string& text, std::string* printed,
                 std::deque<std::string>* rest = nullptr) {
    std::deque<std::string> tokens = tokensOf(text);
    testing::internal::CaptureStdout();
    T object(tokens);
    *printed = testing::internal::GetCapturedStdout();
    if (rest != nullptr) *rest = tokens;
    return object;
}

}  // namespace

TEST(Sphere, IntersectionFromOutsideAndInside) {
    Sphere sphere(Vector3(0, 0, 0), 2);
    HitRec rec;
    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 0, 10), Vector3(0, 0, -1)), rec), 8);
    EXPECT_EQ(rec.t, 8);
    EXPECT_EQ(rec.p, Vector3(0, 0, 2));
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));

    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 0, 0), Vector3(0, 0, -1)), rec), 2);
    EXPECT_EQ(rec.n, Vector3(0, 0, -1));  // the far side, facing outwards

    // An unnormalised direction measures t in its own length.
    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 0, 10), Vector3(0, 0, -2)), rec), 4);
    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 0, 10), Vector3(0, 0, 1)), rec), -1.0);
    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 5, 10), Vector3(0, 0, -1)), rec), -1.0);
    // Grazing: a zero discriminant is a hit.
    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 2, 10), Vector3(0, 0, -1)), rec), 10);
    // Starting on the surface and leaving: the near root is below the threshold.
    EXPECT_EQ(sphere.intersect(makeRay(Vector3(0, 0, 2), Vector3(0, 0, 1)), rec), -1.0);
}

TEST(Sphere, GridOfRaysAgreesWithTheDiscOracle) {
    // Rays along -z hit exactly when x^2 + y^2 <= r^2 (a disc of radius 1.5).
    Sphere sphere(Vector3(0, 0, 0), 1.5);
    HitRec rec;
    for (int i = -20; i <= 20; ++i) {
        for (int j = -20; j <= 20; ++j) {
            const double x = i * 0.1, y = j * 0.1;
            const bool expected = x * x + y * y < 1.5 * 1.5 - 1e-9;
            if (std::fabs(x * x + y * y - 2.25) < 1e-9) continue;  // rounding on the rim
            const double t = sphere.intersect(makeRay(Vector3(x, y, 5), Vector3(0, 0, -1)), rec);
            EXPECT_EQ(t > 0, expected) << x << "," << y;
            if (expected) {
                EXPECT_NEAR(rec.p * rec.p, 2.25, 1e-9);
                EXPECT_NEAR(rec.n * rec.n, 1, 1e-12);
            }
        }
    }
}

TEST(Sphere, CornersAndNegativeRadius) {
    const Sphere sphere(Vector3(1, 2, 3), 1);
    EXPECT_EQ(sphere.getCorner1(), Vector3(2, 3, 4));
    EXPECT_EQ(sphere.getCorner2(), Vector3(0, 1, 2));
    Sphere negative(Vector3(0, 0, 0), -2);
    HitRec rec;
    EXPECT_EQ(negative.intersect(makeRay(Vector3(0, 0, 10), Vector3(0, 0, -1)), rec), 8);
    EXPECT_EQ(negative.getCorner1(), Vector3(-2, -2, -2));
}

TEST(Plane, TwoSidedWithTheSameNormal) {
    Plane plane(Vector3(0, 1, 0), 0.0);
    HitRec rec;
    EXPECT_EQ(plane.intersect(makeRay(Vector3(0, 5, 0), Vector3(0, -1, 0)), rec), 5);
    EXPECT_EQ(rec.p, Vector3(0, 0, 0));
    EXPECT_EQ(rec.n, Vector3(0, 1, 0));
    EXPECT_EQ(plane.intersect(makeRay(Vector3(0, -5, 0), Vector3(0, 1, 0)), rec), 5);
    EXPECT_EQ(rec.n, Vector3(0, 1, 0));
    EXPECT_EQ(plane.intersect(makeRay(Vector3(0, 5, 0), Vector3(1, 0, 0)), rec), -1.0);
    EXPECT_EQ(plane.intersect(makeRay(Vector3(0, 5, 0), Vector3(0, 1, 0)), rec), -1.0);
    Plane degenerate(Vector3(0, 0, 0), 1.0);
    EXPECT_EQ(degenerate.intersect(makeRay(Vector3(0, 5, 0), Vector3(0, -1, 0)), rec), -1.0);
    EXPECT_FALSE(plane.isBounded());
    EXPECT_TRUE(Sphere(Vector3(0, 0, 0), 1).isBounded());
}

TEST(Plane, OffsetScalesWithTheUnnormalisedNormal) {
    std::string printed;
    Plane plane = parseStatement<Plane>("plane { <0, 2, 0>, 1 }", &printed);
    EXPECT_EQ(plane.p0, Vector3(0, 2, 0));  // y = 2, not 0.5
    EXPECT_EQ(plane.surfaceNormal(Vector3(7, 7, 7)), Vector3(0, 1, 0));
    plane = parseStatement<Plane>("plane { <0, 1, 0>, -1 }", &printed);
    EXPECT_EQ(printed, "parsed plane with normal <0, 1, 0> and d -1\nfilter = 0\n");
}

TEST(Triangle, IntersectionFromBothSidesAndEdges) {
    Triangle tri(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
    HitRec rec;
    EXPECT_EQ(tri.intersect(makeRay(Vector3(0.25, 0.25, 1), Vector3(0, 0, -1)), rec), 1);
    EXPECT_EQ(rec.p, Vector3(0.25, 0.25, 0));
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));
    EXPECT_EQ(rec.t, 1);
    EXPECT_EQ(tri.intersect(makeRay(Vector3(0.25, 0.25, -1), Vector3(0, 0, 1)), rec), 1);
    EXPECT_EQ(rec.n, Vector3(0, 0, 1));
    // Vertex and edge are inside; beyond the hypotenuse is not.
    EXPECT_EQ(tri.intersect(makeRay(Vector3(1, 0, 1), Vector3(0, 0, -1)), rec), 1);
    EXPECT_EQ(tri.intersect(makeRay(Vector3(0.5, 0.5, 1), Vector3(0, 0, -1)), rec), 1);
    EXPECT_EQ(tri.intersect(makeRay(Vector3(0.6, 0.6, 1), Vector3(0, 0, -1)), rec), -1.0);
    EXPECT_EQ(tri.intersect(makeRay(Vector3(-0.1, 0.5, 1), Vector3(0, 0, -1)), rec), -1.0);
    // In the plane, on the surface, collinear vertices.
    EXPECT_EQ(tri.intersect(makeRay(Vector3(-1, 0.25, 0), Vector3(1, 0, 0)), rec), -1.0);
    EXPECT_EQ(tri.intersect(makeRay(Vector3(0.25, 0.25, 0), Vector3(0, 0, 1)), rec), -1.0);
    Triangle line(Vector3(0, 0, 0), Vector3(1, 1, 0), Vector3(2, 2, 0));
    EXPECT_EQ(line.intersect(makeRay(Vector3(1, 1, 1), Vector3(0, 0, -1)), rec), -1.0);
}

TEST(Triangle, BoundsAndStatement) {
    const Triangle tri(Vector3(0, 5, 1), Vector3(2, -1, 3), Vector3(4, 0, -2));
    EXPECT_EQ(tri.getCorner1(), Vector3(0, -1, -2));
    EXPECT_EQ(tri.getCorner2(), Vector3(4, 5, 3));
    std::string printed;
    const Triangle parsed =
        parseStatement<Triangle>("triangle { <0, 0, 0>, <1, 0, 0>, <0, 1, 0> }", &printed);
    EXPECT_EQ(printed,
              "parsed triangle with vertices <0, 0, 0>, <1, 0, 0>, <0, 1, 0>\nfilter = 0\n");
    EXPECT_EQ(parsed.v3, Vector3(0, 1, 0));
}

TEST(GeomObject, SetHitRecUsesTheConcreteNormal) {
    Sphere sphere(Vector3(1, 0, 0), 1);
    sphere.color = Color(0.1, 0.2, 0.3);
    sphere.finish.diffuse = 0.7;
    HitRec rec;
    sphere.setHitRec(rec, 3, Vector3(2, 0, 0));
    EXPECT_EQ(rec.n, Vector3(1, 0, 0));
    EXPECT_EQ(rec.p, Vector3(2, 0, 0));
    EXPECT_EQ(rec.t, 3);
    EXPECT_EQ(rec.color.b, 0.3);
    EXPECT_EQ(rec.finish.diffuse, 0.7);
    HitRec copy;
    copy.copy(rec);
    EXPECT_EQ(copy.p, rec.p);
    EXPECT_EQ(copy.finish.diffuse, 0.7);
}

TEST(Modifiers, SphereStatementPrintsInOrder) {
    std::string printed;
    const Sphere sphere = parseStatement<Sphere>(
        "sphere { <0, 0, 0>, 1 pigment { color rgb <1, 0, 0> } finish { diffuse 0.5 } }", &printed);
    EXPECT_EQ(printed,
              "parsed color: <1, 0, 0>\nparsing finish\ndiffuse = 0.5\nfilter = 0\n"
              "parsed sphere with center <0, 0, 0> and radius 1\n");
    EXPECT_EQ(sphere.color.r, 1);
    EXPECT_EQ(sphere.finish.diffuse, 0.5);
    const Finish defaults;
    EXPECT_EQ(defaults.roughness, 0.05);
    EXPECT_EQ(defaults.ior, 1.0);
    EXPECT_EQ(sphere.finish.roughness, 0.05);
}

TEST(Modifiers, FilterComesFromTheLastRgbfPigmentInAnyOrder) {
    std::string printed;
    for (const char* text :
         {"sphere { <0,0,0>, 1 pigment { color rgbf <1, 0, 0, 0.5> } finish { ambient 0.2 } }",
          "sphere { <0,0,0>, 1 finish { ambient 0.2 } pigment { color rgbf <1, 0, 0, 0.5> } }"}) {
        const Sphere s = parseStatement<Sphere>(text, &printed);
        EXPECT_EQ(s.color.r, 1);
        EXPECT_EQ(s.finish.ambient, 0.2);
        EXPECT_EQ(s.finish.filter, 0.5);
    }
    // A later rgb pigment keeps the filter of the earlier rgbf one.
    const Sphere s = parseStatement<Sphere>(
        "sphere { <0,0,0>, 1 pigment { color rgbf <1,0,0,0.5> } pigment { color rgb <0,1,0> } }",
        &printed);
    EXPECT_EQ(s.finish.filter, 0.5);
    EXPECT_EQ(s.color.g, 1);
}

TEST(Modifiers, SecondFinishReplacesTheFirstAndUnknownsEndTheBlock) {
    std::string printed;
    std::deque<std::string> rest;
    Sphere s = parseStatement<Sphere>(
        "sphere { <0,0,0>, 1 finish { ambient 0.3 specular 0.2 } finish { diffuse 0.4 } }",
        &printed);
    EXPECT_EQ(s.finish.ambient, 0);
    EXPECT_EQ(s.finish.specular, 0);
    EXPECT_EQ(s.finish.diffuse, 0.4);

    s = parseStatement<Sphere>(
        "sphere { <0,0,0>, 1 finish { ambient 0.3 phong 1 diffuse 0.2 } scale 2 }", &printed,
        &rest);
    EXPECT_EQ(s.finish.ambient, 0.3);
    EXPECT_EQ(s.finish.diffuse, 0);
    EXPECT_EQ(rest, (std::deque<std::string>{"phong", "1", "diffuse", "0.2", "scale", "2"}));

    s = parseStatement<Sphere>("sphere { <0,0,0>, 1 pigment { color rgb <1, 0, 0, 0.7> } }",
                               &printed, &rest);
    EXPECT_EQ(rest, std::deque<std::string>{"0.7"});

    s = parseStatement<Sphere>(
        "sphere { <0,0,0>, 1 finish { ambient 1 diffuse 2 specular 3 roughness 4 ior 5 "
        "reflection 6 refraction 7 ambient 8 } }",
        &printed);
    EXPECT_EQ(printed,
              "parsing finish\nambient = 1\ndiffuse = 2\nspecular = 3\nroughness = 4\nior = 5\n"
              "reflection = 6\nrefraction = 7\nambient = 8\nfilter = 0\n"
              "parsed sphere with center <0, 0, 0> and radius 1\n");
    EXPECT_EQ(s.finish.ambient, 8);
    EXPECT_EQ(s.finish.refraction, 7);
}

TEST(Modifiers, NegativeShadingCoefficientsAreRejected) {
    // The shader scales colours by these; a negative one cannot be shaded.
    for (const char* keyword : {"ambient", "diffuse", "specular"}) {
        std::deque<std::string> tokens =
            tokensOf(std::string("sphere { <0,0,0>, 1 finish { ") + keyword + " -0.25 } }");
        testing::internal::CaptureStdout();
        try {
            Sphere s(tokens);
            testing::internal::GetCapturedStdout();
            FAIL() << keyword;
        } catch (const SceneError& e) {
            testing::internal::GetCapturedStdout();
            EXPECT_EQ(e.what(), std::string("expected a non-negative number, found \"-0.25\" "
                                            "(condition '") +
                                    keyword + " >= 0')");
        }
    }
    // Other items may be negative: nothing in the shading breaks on them.
    std::string printed;
    const Sphere s = parseStatement<Sphere>(
        "sphere { <0,0,0>, 1 finish { reflection -1 ior -2 roughness -0.5 } }", &printed);
    EXPECT_EQ(s.finish.reflection, -1);
}

TEST(Modifiers, StatementsCutShortAreSceneErrors) {
    for (const char* text : {"sphere { <0, 0, 0>", "sphere { <0,0,0>, 1 pigment",
                             "sphere { <0,0,0>, 1 pigment { color", "sphere { <0,0,0>, 1 pigment "
                             "{ color rgbf <1, 0, 0> }", "sphere { <0,0,0>, 1 finish { ambient",
                             "triangle { <0,0,0>, <1,0,0> }", "plane { <0, 1, 0> }"}) {
        std::deque<std::string> tokens = tokensOf(text);
        testing::internal::CaptureStdout();
        if (tokens.front() == "sphere") {
            EXPECT_THROW(Sphere s(tokens), SceneError) << text;
        } else if (tokens.front() == "plane") {
            EXPECT_THROW(Plane p(tokens), SceneError) << text;
        } else {
            EXPECT_THROW(Triangle t(tokens), SceneError) << text;
        }
        testing::internal::GetCapturedStdout();
    }
}

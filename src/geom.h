#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "color.h"
#include "vector3.h"

class Pigment;
class TokenViews;

// Smallest accepted hit distance. Secondary and shadow rays start exactly on
// the surface they leave; this threshold is what keeps them from hitting it.
// It also bounds shadow blockers and the normal-facing tests.
constexpr double HIT_EPSILON = 0.00001;

// A ray; the direction is not normalised by the type.
struct s_ray {
    Vector3 direction;
    Point origin;
};
typedef s_ray Ray;

// Optical properties of a surface.
struct finish_t {
    double ambient = 0;      // ambient term = colour * ambient
    double diffuse = 0;      // Lambert coefficient
    double specular = 0;     // highlight coefficient, never negative
    double roughness = 0.05; // the highlight exponent is 1 / roughness
    double ior = 1.0;        // index of refraction
    double reflection = 0;   // weight of the reflected colour, clamped to 0..1
    double refraction = 0;   // exactly 1.0 switches refraction on
    double filter = 0;       // weight of the refracted colour; from an rgbf pigment
    // A pattern that gives the colour at each hit point in place of the
    // object's one colour; null for a plain colour. Owned by the object.
    const Pigment* pattern = nullptr;
};
typedef finish_t Finish;

// What an intersection test hands the shader.
struct HitRec {
    Vector3 n;  // unit normal as the object reports it, not turned to the ray
    Point p;
    double t;   // in units of the ray direction's length
    Color color;
    Finish finish;

    void copy(const HitRec& other) { *this = other; }
};

// Base of every primitive. No virtual destructor by design: an object is
// deleted only as its own type (deleteObject, window/scene_reload.h, when a
// reload replaces the scene), never through this base.
class GeomObject {
public:
    Color color;  // a pattern's base colour when it has one
    Finish finish;
    std::shared_ptr<const Pigment> pattern;  // what finish.pattern points to
    GeomObject* leftChild = nullptr;   // bounding-volume node children (Box only)
    GeomObject* rightChild = nullptr;

    virtual void setHitRec(HitRec& hitrec, double t, Point p);
    // Distance of the nearest acceptable hit; see each type for its miss value.
    virtual double intersect(const Ray& ray, HitRec& hitrec) = 0;
    virtual Vector3 surfaceNormal(const Point& p) = 0;
    // Opposite corners of an enclosing axis-aligned box; asked only of bounded objects.
    virtual Point getCorner1() const = 0;
    virtual Point getCorner2() const = 0;
    virtual void glDraw() const = 0;
    virtual bool isBounded();
    // Reads the pigment and finish modifiers that end an object statement.
    virtual void parseOptions(std::deque<std::string>& tokens);
    // The same from the streaming reader's tokens.
    void parseOptions(TokenViews& tokens);

protected:
    GeomObject() = default;
    GeomObject(const GeomObject&) = default;
    GeomObject& operator=(const GeomObject&) = default;
    ~GeomObject() = default;
};

// Reads one finish block, starting at the "finish" token, from the defaults.
Finish parse_finish(std::deque<std::string>& tokens);
Finish parse_finish(TokenViews& tokens);

class Sphere final : public GeomObject {
public:
    Vector3 _center;
    double _radius;

    Sphere(const Vector3& center, double radius);
    explicit Sphere(std::deque<std::string>& tokens);
    explicit Sphere(TokenViews& tokens);

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override;  // the maximum corner
    Point getCorner2() const override;  // the minimum corner
    void glDraw() const override;
};

// The points x with (x - p0) . _normal = 0; hit from both sides.
class Plane final : public GeomObject {
public:
    Vector3 _normal;  // as written in the scene, not normalised
    Point p0;

    Plane() = default;
    Plane(const Vector3& normal, double d);
    Plane(const Vector3& normal, const Point& p);
    explicit Plane(std::deque<std::string>& tokens);
    explicit Plane(TokenViews& tokens);
    Plane(const Plane&) = default;
    Plane& operator=(const Plane&) = default;

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override;
    Point getCorner2() const override;
    void glDraw() const override;
    bool isBounded() override;
};

// Vertex order fixes the normal: (v2 - v1) x (v3 - v1).
class Triangle final : public GeomObject {
public:
    Point v1;
    Point v2;
    Point v3;

    Triangle(const Point& a, const Point& b, const Point& c);
    explicit Triangle(std::deque<std::string>& tokens);
    explicit Triangle(TokenViews& tokens);

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override;  // componentwise minimum
    Point getCorner2() const override;  // componentwise maximum
    void glDraw() const override;
};

// Axis-aligned box: the scene primitive, a hierarchy node (leftChild set) and
// the translucent display copy of a node. corner1 <= corner2 componentwise.
class Box final : public GeomObject {
public:
    Point corner1;
    Point corner2;

    Box(const Point& corner1, const Point& corner2);
    // Encloses both arguments; either may be any bounded object.
    Box(const GeomObject* b1, const GeomObject* b2);
    static Box* parse(std::deque<std::string>& tokens);
    static Box* parse(TokenViews& tokens);
    void setDefaults();

    // A miss returns the largest finite double.
    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override;
    Point getCorner2() const override;
    void glDraw() const override;
};

// Pairs the nodes level by level and returns the root; appends a childless
// display copy of every new inner node to nodeList. bvh must not be empty.
GeomObject* buildBvhTree(std::vector<GeomObject*> bvh, std::vector<GeomObject*>& nodeList);
// Deletes the inner and leaf nodes of a tree that buildBvhTree returned, but
// not the objects the leaves wrap.
void destroyBvhTree(GeomObject* root);
// Orders by the x of the maximum corner.
bool xSort(GeomObject* a, GeomObject* b);

#include "geom.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <memory>
#include <string_view>

#include "geom_hit.h"
#include "parser.h"
#include "pigment/pigment.h"
#include "pigment/pigment_transforms.h"
#include "scene/reader_output.h"
#include "shapes/modifiers.h"

using namespace std::string_view_literals;

void GeomObject::setHitRec(HitRec& hitrec, double t, Point p) {
    hitrec.color = color;
    hitrec.finish = finish;
    hitrec.t = t;
    hitrec.n = surfaceNormal(p);
    hitrec.p = p;
}

bool GeomObject::isBounded() {
    return true;
}

namespace {

// Shading scales colours by these three; a negative one would break the
// colour arithmetic, so the scene may not give one. The token is still at
// the front of the queue, where errors point.
void requireNonNegative(std::string_view keyword, double value, std::string_view token) {
    if (!(value >= 0)) {
        throw SceneError(std::string(keyword) + " >= 0", "a non-negative number",
                         SceneError::quoted(token));
    }
}

// The finish keywords in the order they are tried, with the fields they set.
struct FinishItem {
    std::string_view keyword;
    double Finish::*field;
    bool nonNegative;
};
constexpr FinishItem kFinishItems[] = {
    {"ambient"sv, &Finish::ambient, true},       {"diffuse"sv, &Finish::diffuse, true},
    {"specular"sv, &Finish::specular, true},     {"roughness"sv, &Finish::roughness, false},
    {"ior"sv, &Finish::ior, false},              {"reflection"sv, &Finish::reflection, false},
    {"refraction"sv, &Finish::refraction, false},
};

template <typename Tokens>
Finish readFinish(Tokens& tokens) {
    Finish finish;
    assert(!tokens.empty() && tokens.front() == "finish"sv);
    (OutputLine() << "parsing finish").print();
    tokens.pop_front();
    while (!tokens.empty()) {
        const std::string_view keyword = tokens.front();
        const auto item = std::find_if(std::begin(kFinishItems), std::end(kFinishItems),
                                       [&](const FinishItem& it) { return keyword == it.keyword; });
        if (item == std::end(kFinishItems)) {
            break;
        }
        tokens.pop_front();
        if (tokens.empty()) {
            throw SceneError::endOfFile("a number");
        }
        const double value = parse_number(tokens.front());
        if (item->nonNegative) {
            requireNonNegative(item->keyword, value, tokens.front());
        }
        tokens.pop_front();
        finish.*(item->field) = value;
        (OutputLine() << item->keyword << " = " << value).print();
    }
    return finish;
}

// The modifiers loop. With a transform to fill, translate, rotate and scale
// are read too, in any order among the others; without one the loop stops
// at them. filter is the filter of the modifiers read before this loop.
template <typename Tokens>
bool readOptions(GeomObject& object, Tokens& tokens, Transform* transform = nullptr,
                 double filter = 0, bool* surfaced = nullptr) {
    double tmpFilter = filter;
    bool transformed = false;
    // A pattern read before a transform stays unless a later pigment replaces it.
    std::shared_ptr<const Pigment> pattern = object.pattern;
    // The object's transform when the pattern was written, and whether the
    // object moved on after it: the pattern moves along. Only objects that
    // may take transforms keep one: the others are most of a big scene.
    std::unique_ptr<Transform> atPattern;
    if (transform != nullptr) {
        atPattern = std::make_unique<Transform>(*transform);
    }
    bool movedPattern = false;
    while (!tokens.empty()) {
        if (transform != nullptr && readTransformWord(tokens, *transform)) {
            transformed = true;
            movedPattern = pattern != nullptr;
            continue;
        }
        if (surfaced != nullptr && (tokens.front() == "pigment"sv || tokens.front() == "finish"sv)) {
            *surfaced = true;
        }
        if (tokens.front() == "pigment"sv) {
            const std::size_t pigmentAt = tokens.size();
            tokens.pop_front();
            pattern = startsPattern(tokens) ? readPigmentPattern(tokens) : nullptr;
            movedPattern = false;
            if (transform != nullptr) {
                *atPattern = *transform;
            }
            if (pattern) {
                object.color = pattern->base();
                tmpFilter = 0;
                if (!tokens.empty() && isTransformWord(tokens.front())) {
                    pattern = readPigmentTransforms(tokens, pigmentAt, pattern);
                }
                continue;
            }
            drop_front(tokens, "\"color\"");
            if (tokens.empty()) {
                throw SceneError::endOfFile(R"("rgb" or "rgbf")");
            }
            const bool withFilter = tokens.front() == "rgbf"sv;
            object.color = Parser::parse_rgb(tokens);
            if (withFilter) {
                tmpFilter = Parser::parse_double(tokens);
            }
            if (!tokens.empty() && is_number(tokens.front())) {
                note_warning(tokens, tokens.size(),
                             withFilter ? "the pigment's 'color rgbf' takes 4 numbers, found more"
                                        : "the pigment's 'color rgb' takes 3 numbers, found more");
            }
            if (!tokens.empty() && isTransformWord(tokens.front())) {
                readPigmentTransforms(tokens, pigmentAt, nullptr);
            }
        } else if (tokens.front() == "finish"sv) {
            object.finish = readFinish(tokens);
        } else {
            break;
        }
    }
    // The filter always comes from the last rgbf pigment, whatever finish
    // blocks came before or after it.
    object.finish.filter = tmpFilter;
    // Likewise the pattern, which only the last pigment may give. A hit
    // point goes back through the transforms written after the pattern.
    if (movedPattern) {
        pattern = std::make_shared<const Pigment>(
            pattern->movedBy(atPattern->toWorld * transform->toObject));
    }
    object.pattern = pattern;
    object.finish.pattern = pattern.get();
    (OutputLine() << "filter = " << object.finish.filter).print();
    return transformed;
}

template <typename Tokens>
void readSphere(Sphere& sphere, Tokens& tokens) {
    assert(!tokens.empty() && tokens.front() == "sphere"sv);
    tokens.pop_front();
    sphere._center = Parser::parse_vector(tokens);
    const std::size_t radiusAt = tokens.size();
    sphere._radius = Parser::parse_double(tokens);
    if (!(sphere._radius > 0)) {
        note_warning(tokens, radiusAt, "the sphere's radius is not positive; it cannot be seen");
    }
    sphere.parseOptions(tokens);
    (OutputLine() << "parsed sphere with center " << sphere._center << " and radius "
                  << sphere._radius)
        .print();
}

template <typename Tokens>
void readPlane(Plane& plane, Tokens& tokens) {
    assert(!tokens.empty() && tokens.front() == "plane"sv);
    tokens.pop_front();
    const std::size_t normalAt = tokens.size();
    plane._normal = Parser::parse_vector(tokens);
    if (!(plane._normal.magnitude() > 0)) {
        note_warning(tokens, normalAt, "the plane's normal is zero; it cannot be seen");
    }
    const double d = Parser::parse_double(tokens);
    plane.p0 = d * plane._normal;
    (OutputLine() << "parsed plane with normal " << plane._normal << " and d " << d).print();
    plane.parseOptions(tokens);
}

template <typename Tokens>
void readTriangle(Triangle& triangle, Tokens& tokens) {
    assert(!tokens.empty() && tokens.front() == "triangle"sv);
    const std::size_t statementAt = tokens.size();
    tokens.pop_front();
    triangle.v1 = Parser::parse_vector(tokens);
    triangle.v2 = Parser::parse_vector(tokens);
    triangle.v3 = Parser::parse_vector(tokens);
    if (!(triangle.surfaceNormal(triangle.v1).magnitude() > 0.5)) {
        note_warning(tokens, statementAt,
                     "the triangle's corners lie on one line; it has no area and cannot be seen");
    }
    (OutputLine() << "parsed triangle with vertices " << triangle.v1 << ", " << triangle.v2
                  << ", " << triangle.v3)
        .print();
    triangle.parseOptions(tokens);
}

}  // namespace

void GeomObject::parseOptions(std::deque<std::string>& tokens) { readOptions(*this, tokens); }

void GeomObject::parseOptions(TokenViews& tokens) { readOptions(*this, tokens); }

// The modifiers of the shapes that take transforms.

bool readModifiers(GeomObject& object, std::deque<std::string>& tokens, Transform& transform,
                   bool* surfaced) {
    return readOptions(object, tokens, &transform, 0, surfaced);
}

bool readModifiers(GeomObject& object, TokenViews& tokens, Transform& transform,
                   bool* surfaced) {
    return readOptions(object, tokens, &transform, 0, surfaced);
}

bool readRemainingModifiers(GeomObject& object, std::deque<std::string>& tokens,
                            Transform& transform) {
    return readOptions(object, tokens, &transform, object.finish.filter);
}

bool readRemainingModifiers(GeomObject& object, TokenViews& tokens, Transform& transform) {
    return readOptions(object, tokens, &transform, object.finish.filter);
}

Finish parse_finish(std::deque<std::string>& tokens) { return readFinish(tokens); }

Finish parse_finish(TokenViews& tokens) { return readFinish(tokens); }

// Sphere

Sphere::Sphere(const Vector3& center, double radius) : _center(center), _radius(radius) {}

Sphere::Sphere(std::deque<std::string>& tokens) { readSphere(*this, tokens); }

Sphere::Sphere(TokenViews& tokens) { readSphere(*this, tokens); }

double Sphere::intersect(const Ray& ray, HitRec& hitrec) {
    const double t = sphereHitDistance(_center, _radius * _radius, ray);
    if (t == -1.0) {
        return -1.0;
    }
    setHitRec(hitrec, t, ray.origin + t * ray.direction);
    return t;
}

Vector3 Sphere::surfaceNormal(const Point& p) {
    return (p - _center).normalize();
}

Point Sphere::getCorner1() const {
    return _center + Vector3(_radius, _radius, _radius);
}

Point Sphere::getCorner2() const {
    return _center - Vector3(_radius, _radius, _radius);
}

// Plane

Plane::Plane(const Vector3& normal, double d) : _normal(normal), p0(d * normal) {}

Plane::Plane(const Vector3& normal, const Point& p) : _normal(normal), p0(p) {}

Plane::Plane(std::deque<std::string>& tokens) { readPlane(*this, tokens); }

Plane::Plane(TokenViews& tokens) { readPlane(*this, tokens); }

double Plane::intersect(const Ray& ray, HitRec& hitrec) {
    const double dist = planeHitDistance(_normal, p0, ray);
    if (dist == -1.0) {
        return -1.0;
    }
    setHitRec(hitrec, dist, ray.origin + dist * ray.direction);
    return dist;
}

Vector3 Plane::surfaceNormal(const Point&) {
    return _normal.normalize();
}

Point Plane::getCorner1() const {
    assert(!"a plane has no bounding box");
    return p0;
}

Point Plane::getCorner2() const {
    assert(!"a plane has no bounding box");
    return p0;
}

bool Plane::isBounded() {
    return false;
}

// Triangle

Triangle::Triangle(const Point& a, const Point& b, const Point& c) : v1(a), v2(b), v3(c) {}

Triangle::Triangle(std::deque<std::string>& tokens) { readTriangle(*this, tokens); }

Triangle::Triangle(TokenViews& tokens) { readTriangle(*this, tokens); }

double Triangle::intersect(const Ray& ray, HitRec& hitrec) {
    const double t = triangleHitDistance(v1, v1 - v2, v1 - v3, ray);
    if (t == -1.0) {
        return -1.0;
    }
    hitrec.t = t;
    hitrec.p = ray.origin + t * ray.direction;
    hitrec.n = surfaceNormal(hitrec.p);
    hitrec.color = color;
    hitrec.finish = finish;
    return t;
}

Vector3 Triangle::surfaceNormal(const Point&) {
    return (v2 - v1).cross(v3 - v1).normalize();
}

Point Triangle::getCorner1() const {
    return Point(std::min({v1.x, v2.x, v3.x}), std::min({v1.y, v2.y, v3.y}),
                 std::min({v1.z, v2.z, v3.z}));
}

Point Triangle::getCorner2() const {
    return Point(std::max({v1.x, v2.x, v3.x}), std::max({v1.y, v2.y, v3.y}),
                 std::max({v1.z, v2.z, v3.z}));
}

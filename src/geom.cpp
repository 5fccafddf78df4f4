#include "geom.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string_view>

#include "geom_hit.h"
#include "parser.h"
#include "reader_output.h"

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

void GeomObject::parseOptions(std::deque<std::string>& tokens) {
    double tmpFilter = 0;
    while (!tokens.empty()) {
        if (tokens.front() == "pigment"sv) {
            tokens.pop_front();
            drop_front(tokens, "\"color\"");
            if (tokens.empty()) {
                throw SceneError::endOfFile(R"("rgb" or "rgbf")");
            }
            const bool withFilter = tokens.front() == "rgbf"sv;
            tokens.push_front("color");
            color = Parser::parse_color(tokens);
            if (withFilter) {
                tmpFilter = Parser::parse_double(tokens);
            }
        } else if (tokens.front() == "finish"sv) {
            finish = parse_finish(tokens);
        } else {
            break;
        }
    }
    // The filter always comes from the last rgbf pigment, whatever finish
    // blocks came before or after it.
    finish.filter = tmpFilter;
    (OutputLine() << "filter = " << finish.filter).print();
}

namespace {

// Shading scales colours by these three; a negative one would break the
// colour arithmetic, so the scene may not give one. The token is still at
// the front of the queue, where errors point.
void requireNonNegative(std::string_view keyword, double value, const std::string& token) {
    if (!(value >= 0)) {
        throw SceneError(std::string(keyword) + " >= 0", "a non-negative number",
                         SceneError::quoted(token));
    }
}

}  // namespace

Finish parse_finish(std::deque<std::string>& tokens) {
    Finish finish;
    assert(!tokens.empty() && tokens.front() == "finish"sv);
    (OutputLine() << "parsing finish").print();
    tokens.pop_front();

    static const struct {
        std::string_view keyword;
        double Finish::*field;
        bool nonNegative;
    } items[] = {
        {"ambient"sv, &Finish::ambient, true},       {"diffuse"sv, &Finish::diffuse, true},
        {"specular"sv, &Finish::specular, true},     {"roughness"sv, &Finish::roughness, false},
        {"ior"sv, &Finish::ior, false},              {"reflection"sv, &Finish::reflection, false},
        {"refraction"sv, &Finish::refraction, false},
    };
    while (!tokens.empty()) {
        const auto item = std::find_if(std::begin(items), std::end(items), [&](const auto& it) {
            return tokens.front() == it.keyword;
        });
        if (item == std::end(items)) {
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

// Sphere

Sphere::Sphere(const Vector3& center, double radius) : _center(center), _radius(radius) {}

Sphere::Sphere(std::deque<std::string>& tokens) {
    assert(!tokens.empty() && tokens.front() == "sphere"sv);
    tokens.pop_front();
    _center = Parser::parse_vector(tokens);
    _radius = Parser::parse_double(tokens);
    parseOptions(tokens);
    (OutputLine() << "parsed sphere with center " << _center << " and radius " << _radius).print();
}

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

Plane::Plane(std::deque<std::string>& tokens) {
    assert(!tokens.empty() && tokens.front() == "plane"sv);
    tokens.pop_front();
    _normal = Parser::parse_vector(tokens);
    const double d = Parser::parse_double(tokens);
    p0 = d * _normal;
    (OutputLine() << "parsed plane with normal " << _normal << " and d " << d).print();
    parseOptions(tokens);
}

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

Triangle::Triangle(std::deque<std::string>& tokens) {
    assert(!tokens.empty() && tokens.front() == "triangle"sv);
    tokens.pop_front();
    v1 = Parser::parse_vector(tokens);
    v2 = Parser::parse_vector(tokens);
    v3 = Parser::parse_vector(tokens);
    (OutputLine() << "parsed triangle with vertices " << v1 << ", " << v2 << ", " << v3).print();
    parseOptions(tokens);
}

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

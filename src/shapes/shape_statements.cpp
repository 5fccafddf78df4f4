#include "shapes/shape_statements.h"

#include <cassert>
#include <cmath>

#include "scene/reader_output.h"
#include "shapes/cone.h"
#include "shapes/disc.h"
#include "shapes/mesh_statement.h"
#include "shapes/obj_model.h"
#include "shapes/smooth_triangle.h"

using namespace std::string_view_literals;

bool isShapeKeyword(std::string_view token) {
    return token == "cylinder"sv || token == "cone"sv || token == "disc"sv ||
           token == "smooth_triangle"sv || token == "mesh"sv || token == "obj_mesh"sv;
}

bool continuesShapeStatement(std::string_view token) {
    return isTransformWord(token) || token == "open"sv || token == "smooth"sv ||
           token == "triangle"sv || token == "smooth_triangle"sv;
}

namespace {

// A number that must satisfy a condition, checked while it is the front
// token so that the error points at it.
template <typename Tokens>
double readChecked(Tokens& tokens, bool (*valid)(double), const char* condition,
                   const char* expected) {
    if (tokens.empty()) {
        throw SceneError::endOfFile("a number");
    }
    const double value = parse_number(tokens.front());
    if (!valid(value)) {
        throw SceneError(condition, expected, SceneError::quoted(tokens.front()));
    }
    tokens.pop_front();
    return value;
}

bool notNegative(double value) { return value >= 0; }

template <typename Tokens>
bool readOpen(Tokens& tokens) {
    if (!tokens.empty() && tokens.front() == "open"sv) {
        tokens.pop_front();
        return true;
    }
    return false;
}

// The end points of an axis must differ: the axis gives the shape its
// frame. Checked while the number after the cap is the front token, so that
// the error has a place.
template <typename Tokens>
void requireAxis(const Point& base, const Point& cap, const Tokens& tokens) {
    if (base == cap) {
        if (tokens.empty()) {
            throw SceneError::endOfFile("a number");
        }
        throw SceneError("base != cap", "a cap apart from the base",
                         SceneError::quoted(tokens.front()));
    }
}

template <typename Tokens>
GeomObject* readCylinder(Tokens& tokens) {
    tokens.pop_front();
    const Point base = Parser::parse_vector(tokens);
    const Point cap = Parser::parse_vector(tokens);
    requireAxis(base, cap, tokens);
    const double radius = readChecked(tokens, notNegative, "radius >= 0", "a non-negative radius");
    const bool open = readOpen(tokens);
    (OutputLine() << "parsed cylinder from " << base << " to " << cap << " with radius "
                  << radius << (open ? " (open)" : ""))
        .print();
    return finishShape(new Cone(base, radius, cap, radius, open), tokens);
}

template <typename Tokens>
GeomObject* readCone(Tokens& tokens) {
    tokens.pop_front();
    const Point base = Parser::parse_vector(tokens);
    const double baseRadius =
        readChecked(tokens, notNegative, "base radius >= 0", "a non-negative radius");
    const Point cap = Parser::parse_vector(tokens);
    requireAxis(base, cap, tokens);
    const double capRadius =
        readChecked(tokens, notNegative, "cap radius >= 0", "a non-negative radius");
    const bool open = readOpen(tokens);
    (OutputLine() << "parsed cone from " << base << " radius " << baseRadius << " to " << cap
                  << " radius " << capRadius << (open ? " (open)" : ""))
        .print();
    return finishShape(new Cone(base, baseRadius, cap, capRadius, open), tokens);
}

template <typename Tokens>
GeomObject* readDisc(Tokens& tokens) {
    tokens.pop_front();
    const Point center = Parser::parse_vector(tokens);
    const Vector3 normal = Parser::parse_vector(tokens);
    // Checked at the radius, which then is the front token: the error has a place.
    if (normal * normal == 0) {
        if (tokens.empty()) {
            throw SceneError::endOfFile("a number");
        }
        throw SceneError("normal != <0, 0, 0>", "a disc with a normal",
                         SceneError::quoted(tokens.front()));
    }
    const double radius = readChecked(tokens, notNegative, "radius >= 0", "a non-negative radius");
    double hole = 0;
    double value = 0;
    // The hole radius is optional: a number after the radius.
    if (!tokens.empty() && read_number(tokens.front(), value)) {
        hole = readChecked(tokens, notNegative, "hole radius >= 0", "a non-negative radius");
    }
    (OutputLine() << "parsed disc at " << center << " with normal " << normal << ", radius "
                  << radius << " and hole " << hole)
        .print();
    return finishShape(new Disc(center, normal, radius, hole), tokens);
}

template <typename Tokens>
GeomObject* readSmoothTriangle(Tokens& tokens) {
    tokens.pop_front();
    Point p[3];
    Vector3 n[3];
    for (int i = 0; i < 3; ++i) {
        p[i] = Parser::parse_vector(tokens);
        n[i] = Parser::parse_vector(tokens);
    }
    (OutputLine() << "parsed smooth_triangle with vertices " << p[0] << ", " << p[1] << ", "
                  << p[2])
        .print();
    return finishShape(new SmoothTriangle(p[0], n[0], p[1], n[1], p[2], n[2]), tokens);
}

template <typename Tokens>
GeomObject* readShape(Tokens& tokens, const std::string& sceneFile) {
    const std::string_view keyword = tokens.front();
    (OutputLine() << "parsing " << keyword).print();
    if (keyword == "cylinder"sv) return readCylinder(tokens);
    if (keyword == "cone"sv) return readCone(tokens);
    if (keyword == "disc"sv) return readDisc(tokens);
    if (keyword == "smooth_triangle"sv) return readSmoothTriangle(tokens);
    if (keyword == "mesh"sv) return readMesh(tokens);
    assert(keyword == "obj_mesh"sv);
    return readObjMesh(tokens, sceneFile);
}

}  // namespace

GeomObject* readShapeStatement(std::deque<std::string>& tokens, const std::string& sceneFile) {
    return readShape(tokens, sceneFile);
}

GeomObject* readShapeStatement(TokenViews& tokens, const std::string& sceneFile) {
    return readShape(tokens, sceneFile);
}

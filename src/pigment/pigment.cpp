#include "pigment/pigment.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "parser.h"
#include "pigment/image_map.h"
#include "scene/reader_output.h"

using namespace std::string_view_literals;

namespace {

// A plane at a whole coordinate (the usual floor, y = 0 or -1) meets the
// cubes' boundary; its hit points scatter by rounding to either side of it.
// A nudge up keeps them all in the cube above.
constexpr double kNudge = 1e-9;

long long cell(double v) { return static_cast<long long>(std::floor(v + kNudge)); }

template <typename Tokens>
std::shared_ptr<const Pigment> readPattern(Tokens& tokens) {
    if (!tokens.empty() && tokens.front() == "image_map"sv) {
        (OutputLine() << "parsing image map").print();
        return std::make_shared<const Pigment>(Pigment::imageMap(readImageMap(tokens)));
    }
    if (tokens.empty() || tokens.front() != "checker"sv) {
        return nullptr;
    }
    tokens.pop_front();
    (OutputLine() << "parsing checker").print();
    const Color a = Parser::parse_color(tokens);
    const Color b = Parser::parse_color(tokens);
    return std::make_shared<const Pigment>(Pigment::checker(a, b));
}

}  // namespace

Pigment Pigment::checker(const Color& a, const Color& b) { return Pigment(a, b); }

Pigment Pigment::imageMap(std::shared_ptr<const ImageMap> image) {
    const Color average = image->average();
    Pigment pigment(average, average);
    pigment.m_image = std::move(image);
    return pigment;
}

Pigment Pigment::movedBy(const Matrix4x4& toPattern) const {
    Pigment moved = *this;
    moved.m_toPattern = m_moved ? m_toPattern * toPattern : toPattern;
    moved.m_moved = true;
    return moved;
}

Color Pigment::at(const Point& world) const {
    const Point p = m_moved ? m_toPattern * world : world;
    if (m_image) {
        return m_image->at(p);
    }
    // A point beyond the range of long long has no cube to speak of: a.
    if (!(std::fabs(p.x) < 1e15 && std::fabs(p.y) < 1e15 && std::fabs(p.z) < 1e15)) {
        return m_a;
    }
    return ((cell(p.x) + cell(p.y) + cell(p.z)) & 1) == 0 ? m_a : m_b;
}

std::shared_ptr<const Pigment> readPigmentPattern(std::deque<std::string>& tokens) {
    return readPattern(tokens);
}

std::shared_ptr<const Pigment> readPigmentPattern(TokenViews& tokens) {
    return readPattern(tokens);
}

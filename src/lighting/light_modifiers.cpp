#include "lighting/light_modifiers.h"

#include <cmath>
#include <sstream>
#include <string_view>

#include "parser.h"
#include "scene/reader_output.h"

using namespace std::string_view_literals;

namespace {

template <typename Tokens>
double readNumber(Tokens& tokens) {
    if (tokens.empty()) {
        throw SceneError::endOfFile("a number");
    }
    return parse_number(tokens.front());
}

// A number that must lie in low..high; the token is still at the front,
// where the error points.
template <typename Tokens>
double readWithin(Tokens& tokens, std::string_view keyword, double low, double high) {
    const double value = readNumber(tokens);
    if (!(value >= low && value <= high)) {
        throw SceneError(std::string(keyword) + " within " + std::to_string(low) + ".." +
                             std::to_string(high),
                         "a number from " + std::to_string(low) + " to " + std::to_string(high),
                         SceneError::quoted(tokens.front()));
    }
    tokens.pop_front();
    (OutputLine() << keyword << " = " << value).print();
    return value;
}

template <typename Tokens>
int readCount(Tokens& tokens) {
    return static_cast<int>(readWithin(tokens, "area_light samples", 1, kMaxAreaSamples));
}

template <typename Tokens>
void readModifiers(Tokens& tokens, const Point& location, LightModifiers& m) {
    const double big = 1e300;
    // Where the last radius or falloff stood: a cone that narrows the wrong
    // way is told there.
    std::size_t coneAt = 0;
    while (!tokens.empty()) {
        const std::string_view key = tokens.front();
        if (key == "spotlight"sv) {
            tokens.pop_front();
            m.spotlight = true;
            (OutputLine() << "spotlight").print();
        } else if (key == "parallel"sv) {
            tokens.pop_front();
            m.parallel = true;
            (OutputLine() << "parallel").print();
        } else if (key == "shadowless"sv) {
            tokens.pop_front();
            m.shadowless = true;
            (OutputLine() << "shadowless").print();
        } else if (key == "jitter"sv) {
            tokens.pop_front();
            m.jitter = true;
            (OutputLine() << "jitter").print();
        } else if (key == "point_at"sv) {
            tokens.pop_front();
            m.pointAt = Parser::parse_vector(tokens);
            (OutputLine() << "point_at = " << m.pointAt).print();
        } else if (key == "radius"sv) {
            coneAt = tokens.size();
            tokens.pop_front();
            m.radius = readWithin(tokens, "radius", 0, 180);
        } else if (key == "falloff"sv) {
            coneAt = tokens.size();
            tokens.pop_front();
            m.falloff = readWithin(tokens, "falloff", 0, 180);
        } else if (key == "tightness"sv) {
            tokens.pop_front();
            m.tightness = readWithin(tokens, "tightness", 0, big);
        } else if (key == "fade_distance"sv) {
            tokens.pop_front();
            m.fadeDistance = readWithin(tokens, "fade_distance", 0, big);
        } else if (key == "fade_power"sv) {
            tokens.pop_front();
            m.fadePower = readWithin(tokens, "fade_power", 0, big);
        } else if (key == "area_light"sv) {
            tokens.pop_front();
            m.axis1 = Parser::parse_vector(tokens);
            m.axis2 = Parser::parse_vector(tokens);
            m.samples1 = readCount(tokens);
            m.samples2 = readCount(tokens);
            (OutputLine() << "area_light " << m.axis1 << " " << m.axis2).print();
        } else {
            break;
        }
    }
    if (m.spotlight && coneAt != 0 && m.falloff < m.radius) {
        std::ostringstream text;
        text << "the spotlight's falloff (" << m.falloff << ") is smaller than its radius ("
             << m.radius << "); its light stops sharply at the radius";
        note_warning(tokens, coneAt, text.str());
    }
    if ((m.spotlight || m.parallel) && m.pointAt == location) {
        throw SceneError("a spotlight or parallel light needs a point_at away from its location");
    }
}

}  // namespace

void readLightModifiers(std::deque<std::string>& tokens, const Point& location,
                        LightModifiers& modifiers) {
    readModifiers(tokens, location, modifiers);
}

void readLightModifiers(TokenViews& tokens, const Point& location, LightModifiers& modifiers) {
    readModifiers(tokens, location, modifiers);
}

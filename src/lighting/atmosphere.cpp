#include "lighting/atmosphere.h"

#include <cassert>
#include <cmath>
#include <string_view>

#include "parser.h"
#include "scene/reader_output.h"

using namespace std::string_view_literals;

Color Atmosphere::fogged(const Color& seen, double distance) const {
    const double kept = std::exp(-distance / fogDistance);
    // A ray that travels forever (or a NaN distance) sees only the fog.
    if (!(kept >= 0)) {
        return fogColor;
    }
    return seen * kept + fogColor * (1 - kept);
}

bool Atmosphere::operator==(const Atmosphere& other) const {
    const auto same = [](const Color& a, const Color& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    };
    return same(background, other.background) && fogDistance == other.fogDistance &&
           same(fogColor, other.fogColor);
}

namespace {

template <typename Tokens>
void readBackgroundFrom(Tokens& tokens, Atmosphere& atmosphere) {
    assert(!tokens.empty() && tokens.front() == "background"sv);
    tokens.pop_front();
    atmosphere.background = Parser::parse_color(tokens);
}

template <typename Tokens>
void readFogFrom(Tokens& tokens, Atmosphere& atmosphere) {
    assert(!tokens.empty() && tokens.front() == "fog"sv);
    tokens.pop_front();
    double distance = 0;
    Color color;
    while (!tokens.empty()) {
        if (tokens.front() == "distance"sv) {
            tokens.pop_front();
            if (tokens.empty()) {
                throw SceneError::endOfFile("a number");
            }
            distance = parse_number(tokens.front());
            if (!(distance > 0) || !std::isfinite(distance)) {
                throw SceneError("distance > 0", "a positive fog distance",
                                 SceneError::quoted(tokens.front()));
            }
            tokens.pop_front();
            (OutputLine() << "fog distance = " << distance).print();
        } else if (tokens.front() == "color"sv) {
            color = Parser::parse_color(tokens);
        } else {
            break;
        }
    }
    if (distance == 0) {
        const char* const expected = "\"distance\" and a positive number in the fog";
        if (tokens.empty()) {
            throw SceneError::endOfFile(expected);
        }
        throw SceneError("distance > 0", expected, SceneError::quoted(tokens.front()));
    }
    atmosphere.fogDistance = distance;
    atmosphere.fogColor = color;
}

}  // namespace

void readBackground(std::deque<std::string>& tokens, Atmosphere& atmosphere) {
    readBackgroundFrom(tokens, atmosphere);
}

void readBackground(TokenViews& tokens, Atmosphere& atmosphere) {
    readBackgroundFrom(tokens, atmosphere);
}

void readFog(std::deque<std::string>& tokens, Atmosphere& atmosphere) {
    readFogFrom(tokens, atmosphere);
}

void readFog(TokenViews& tokens, Atmosphere& atmosphere) { readFogFrom(tokens, atmosphere); }

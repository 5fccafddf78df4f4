#include "light.h"

#include <cassert>

#include "parser.h"

namespace {

template <typename Tokens>
void readLight(Light& light, Tokens& tokens) {
    assert(!tokens.empty() && tokens.front() == "light_source");
    tokens.pop_front();
    light.location = Parser::parse_vector(tokens);
    light.color = Parser::parse_color(tokens);
    readLightModifiers(tokens, light.location, light.modifiers);
}

}  // namespace

Light::Light(std::deque<std::string>& tokens) { readLight(*this, tokens); }

Light::Light(TokenViews& tokens) { readLight(*this, tokens); }

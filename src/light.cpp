#include "light.h"

#include <cassert>

#include "parser.h"

Light::Light(std::deque<std::string>& tokens) {
    assert(!tokens.empty() && tokens.front() == "light_source");
    tokens.pop_front();
    location = Parser::parse_vector(tokens);
    color = Parser::parse_color(tokens);
}

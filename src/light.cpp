#include "light.h"

#include <cassert>
#include <string>

#include "parser.h"

namespace {

template <typename Tokens>
void readLight(Light& light, Tokens& tokens) {
    assert(!tokens.empty() && tokens.front() == "light_source");
    tokens.pop_front();
    light.location = Parser::parse_vector(tokens);
    // As Parser::parse_color reads, looking at the two words it drops.
    const std::size_t colorAt = tokens.size();
    const std::string found = tokens.empty() ? std::string() : std::string(tokens.front());
    bool colorRgb = found == "color";
    drop_front(tokens, "\"color\"");
    colorRgb = colorRgb && !tokens.empty() && tokens.front() == "rgb";
    light.color = Parser::parse_rgb(tokens);
    if (!colorRgb) {
        note_warning(tokens, colorAt,
                     "expected 'color rgb' after the light_source's position, found " +
                         SceneError::quoted(found) +
                         "; the two words there were dropped unread and the three numbers after "
                         "them taken as the light's colour");
    }
    readLightModifiers(tokens, light.location, light.modifiers);
}

}  // namespace

Light::Light(std::deque<std::string>& tokens) { readLight(*this, tokens); }

Light::Light(TokenViews& tokens) { readLight(*this, tokens); }

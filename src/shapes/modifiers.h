#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "parser.h"
#include "scene/number_text.h"
#include "shapes/transform.h"

class GeomObject;

// translate, rotate and scale: the words that move an object.
inline bool isTransformWord(std::string_view token) {
    return token == "translate" || token == "rotate" || token == "scale";
}

// Whether the token at index i of the queue spells a number.
inline bool numberAt(const std::deque<std::string>& tokens, std::size_t i) {
    double value = 0;
    return tokens.size() > i && read_number(tokens[i], value);
}
inline bool numberAt(TokenViews tokens, std::size_t i) {
    for (; i > 0 && !tokens.empty(); --i) {
        tokens.pop_front();
    }
    double value = 0;
    return !tokens.empty() && read_number(tokens.front(), value);
}

// Reads one transform at the front of the queue into transform and returns
// true; false, reading nothing, when the front is not a transform word.
// "scale s" scales by s on every axis, "scale <x, y, z>" axis by axis; the
// brackets are gone with the separators, so three numbers in a row make the
// vector (one number followed by a single stray one is one factor). A zero factor is rejected: it flattens the object beyond turning
// back.
template <typename Tokens>
bool readTransformWord(Tokens& tokens, Transform& transform) {
    const std::string_view word = tokens.front();
    if (!isTransformWord(word)) {
        return false;
    }
    const std::string keyword(word);
    tokens.pop_front();
    if (keyword == "translate") {
        transform.translate(Parser::parse_vector(tokens));
    } else if (keyword == "rotate") {
        transform.rotate(Parser::parse_vector(tokens));
    } else {
        const auto factor = [&tokens]() {
            if (tokens.empty()) {
                throw SceneError::endOfFile("a number");
            }
            const double value = parse_number(tokens.front());
            if (value == 0) {
                throw SceneError("scale factor != 0", "a non-zero number",
                                 SceneError::quoted(tokens.front()));
            }
            tokens.pop_front();
            return value;
        };
        const double x = factor();
        if (numberAt(tokens, 0) && numberAt(tokens, 1)) {
            const double y = factor();
            const double z = factor();
            transform.scale(Vector3(x, y, z));
        } else {
            transform.scale(Vector3(x, x, x));
        }
    }
    return true;
}

// Reads the modifiers that end a statement: pigment, finish, translate,
// rotate and scale in any order, the transforms composed in the order
// written. True when a transform was read; *surfaced, when given, is set
// when a pigment or finish was.
bool readModifiers(GeomObject& object, std::deque<std::string>& tokens, Transform& transform,
                   bool* surfaced = nullptr);
bool readModifiers(GeomObject& object, TokenViews& tokens, Transform& transform,
                   bool* surfaced = nullptr);
// The rest of an original statement's modifiers, from the first transform
// on, where its own reading stops: the filter of an rgbf pigment already
// read carries on, as in one loop.
bool readRemainingModifiers(GeomObject& object, std::deque<std::string>& tokens,
                            Transform& transform);
bool readRemainingModifiers(GeomObject& object, TokenViews& tokens, Transform& transform);

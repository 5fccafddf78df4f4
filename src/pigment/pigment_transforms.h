#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

class Pigment;
class TokenViews;

// The transforms written inside a pigment's braces, after its pattern or
// colour, from the front of the queue: translate, rotate and scale that move
// the pattern alone, never the object. pigmentAt: the tokens that were left
// when "pigment" was the front. The pattern moved, or as it was when no
// transform lies inside; a plain colour (null) looks the same moved, and
// the reader notes a warning for it. Only views into one text know where
// the braces are: a queue of strings reads nothing here, and the object's
// modifiers then take the transforms. Throws SceneError for a transform it
// cannot read.
std::shared_ptr<const Pigment> readPigmentTransforms(std::deque<std::string>& tokens,
                                                     std::size_t pigmentAt,
                                                     std::shared_ptr<const Pigment> pattern);
std::shared_ptr<const Pigment> readPigmentTransforms(TokenViews& tokens, std::size_t pigmentAt,
                                                     std::shared_ptr<const Pigment> pattern);

#include "pigment/pigment_transforms.h"

#include <cassert>

#include "parser.h"
#include "pigment/pigment.h"
#include "scene/scene_lexer.h"
#include "shapes/modifiers.h"

namespace {

// Follows the text after a pigment's keyword, token by token, to tell
// whether the front token still lies inside the braces that open right
// after the keyword. Each call walks on from where the last one stopped, so
// that a pigment's calls together cost no more than its text.
class PigmentBraces {
public:
    explicit PigmentBraces(std::size_t pigmentAt) : m_left(pigmentAt) {}

    bool holdFront(const TokenViews& tokens) {
        assert(tokens.inOneText() && !tokens.empty() && tokens.size() < m_left);
        for (; m_open && m_left > tokens.size(); --m_left) {
            const BraceSteps steps = braceSteps(tokens.textAfter(m_left));
            // The braces must open before the pattern, and close only at
            // the end: "pigment } { checker" is none.
            if (m_opened ? m_depth + steps.lowest < 1 : m_depth + steps.net < 1) {
                m_open = false;
            }
            m_depth += steps.net;
            m_opened = true;
        }
        return m_open;
    }

private:
    std::size_t m_left;  // the tokens left at the token walked to
    std::ptrdiff_t m_depth = 0;  // from the keyword's
    bool m_opened = false;       // the text after the keyword was walked
    bool m_open = true;
};

}  // namespace

std::shared_ptr<const Pigment> readPigmentTransforms(std::deque<std::string>&, std::size_t,
                                                     std::shared_ptr<const Pigment> pattern) {
    return pattern;
}

std::shared_ptr<const Pigment> readPigmentTransforms(TokenViews& tokens, std::size_t pigmentAt,
                                                     std::shared_ptr<const Pigment> pattern) {
    if (tokens.empty() || !isTransformWord(tokens.front()) || !tokens.inOneText()) {
        return pattern;
    }
    PigmentBraces braces(pigmentAt);
    if (!braces.holdFront(tokens)) {
        return pattern;
    }
    if (!pattern) {
        note_warning(tokens, tokens.size(),
                     "the pigment is a plain colour, which '" + std::string(tokens.front()) +
                         "' does not change; an object's transforms go after the pigment's "
                         "closing brace");
    }
    Transform transform;
    do {
        readTransformWord(tokens, transform);
    } while (!tokens.empty() && isTransformWord(tokens.front()) && braces.holdFront(tokens));
    if (!pattern) {
        return pattern;
    }
    return std::make_shared<const Pigment>(pattern->movedBy(transform.toObject));
}

#include "scene_file.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <deque>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera.h"
#include "geom.h"
#include "light.h"
#include "parser.h"
#include "scene/reader_output.h"
#include "scene/scene_lexer.h"
#include "scene/scene_warnings.h"
#include "scene/warning_tracker.h"
#include "shapes/shape_statements.h"

using namespace std::string_view_literals;

namespace {

bool isStatementKeyword(std::string_view token) {
    return token == "camera"sv || token == "sphere"sv || token == "plane"sv ||
           token == "light_source"sv || token == "triangle"sv || token == "box"sv ||
           isShapeKeyword(token) || token == "background"sv || token == "fog"sv;
}

// The tokens that keep a loop of the statement readers going: the modifiers
// (parseOptions), the finish items (parse_finish), the camera's keys, the
// light modifiers and the fog's items.
// Before any other token every such loop stops just as it stops at the end of
// the queue, so a statement read from a window that ends there reads what it
// would read from the whole file.
bool continuesStatement(std::string_view token) {
    // By the first byte, so that most tokens take one comparison or none.
    switch (token.empty() ? '\0' : token[0]) {
        case 'a':
            return token == "ambient"sv || token == "angle"sv || token == "aperture"sv ||
                   token == "area_light"sv;
        case 'b':
            return token == "blur_samples"sv;
        case 'c':
            return token == "color"sv || token == "checker"sv;
        case 'd':
            return token == "diffuse"sv || token == "distance"sv;
        case 'f':
            return token == "finish"sv || token == "focal_point"sv || token == "falloff"sv ||
                   token == "fade_distance"sv || token == "fade_power"sv;
        case 'i':
            return token == "ior"sv || token == "interpolate"sv;
        case 'j':
            return token == "jitter"sv;
        case 'l':
            return token == "location"sv || token == "look_at"sv;
        case 'm':
            return token == "map_type"sv;
        case 'o':
            return token == "once"sv;
        case 'p':
            return token == "pigment"sv || token == "parallel"sv || token == "point_at"sv;
        case 'r':
            return token == "roughness"sv || token == "reflection"sv ||
                   token == "refraction"sv || token == "right"sv || token == "radius"sv;
        case 's':
            return token == "specular"sv || token == "spotlight"sv || token == "shadowless"sv;
        case 't':
            return token == "tightness"sv;
        case 'u':
            return token == "up"sv;
        default:
            return false;
    }
}

// One statement, or one skipped token, from the front of either queue.
template <typename Tokens>
void parse_statement(Tokens& tokens, const SceneContext& size, std::vector<GeomObject*>& objects,
                     std::vector<Light*>& lights, Camera* camera) {
    const std::string_view token = tokens.front();
    if (token == "camera"sv) {
        (OutputLine() << "parsing camera").print();
        const Atmosphere atmosphere = camera->atmosphere;
        *camera = Camera::parse(tokens, size.width, size.height);
        camera->atmosphere = atmosphere;
    } else if (token == "sphere"sv) {
        (OutputLine() << "parsing sphere").print();
        objects.push_back(withRemainingModifiers(new Sphere(tokens), tokens));
    } else if (token == "plane"sv) {
        (OutputLine() << "parsing plane").print();
        objects.push_back(withRemainingModifiers(new Plane(tokens), tokens));
    } else if (token == "light_source"sv) {
        (OutputLine() << "parsing light source").print();
        lights.push_back(new Light(tokens));
    } else if (token == "triangle"sv) {
        (OutputLine() << "parsing triangle").print();
        objects.push_back(withRemainingModifiers(new Triangle(tokens), tokens));
    } else if (token == "background"sv) {
        (OutputLine() << "parsing background").print();
        readBackground(tokens, camera->atmosphere);
    } else if (token == "fog"sv) {
        (OutputLine() << "parsing fog").print();
        readFog(tokens, camera->atmosphere);
    } else if (token == "box"sv) {
        (OutputLine() << "parsing box").print();
        objects.push_back(withRemainingModifiers(Box::parse(tokens), tokens));
    } else if (isShapeKeyword(token)) {
        // The shapes of shapes/, and their transforms.
        objects.push_back(readShapeStatement(tokens, size.fileName));
    } else {
        // Unsupported text is skipped one token at a time.
        (OutputLine() << token).print();
        tokens.pop_front();
    }
}

// The tokens of the file from the next statement on, as far as they have
// been read: a window onto the queue that tokenizing the whole file would
// give, as views into the lexer's text, with the place of every token.
// Tokens are read from the stream only as the statements need them (one
// token beyond, to look at); those that lie whole in the text already read
// come in batches.
class TokenWindow {
public:
    explicit TokenWindow(SceneLexer& lexer) : m_lexer(lexer) {
        // Made before the first object: grown step by step between the
        // objects, the stores left holes in the heap that raised the whole
        // program's peak memory by megabytes.
        m_places.resize(2 * kKept + kBatch);
        m_views.resize(2 * kKept + kBatch);
        // Until the first front is pinned, the text from the start stays:
        // the views of the first tokens point into it.
        m_lexer.pin(0);
    }

    // The front token and the one after it, as far as the file has them;
    // false when there is no front token.
    bool fillOne() { return readTo(m_first + 1) || m_first < m_read; }
    // The tokens from the front: at least minimum of them, or all that are
    // left, and then on to a token that does not continue a statement (read,
    // but not in the window) or the end of the file. Valid until the window
    // reads on.
    TokenViews fill(std::size_t minimum) {
        std::size_t end = m_first + minimum;
        while (readTo(end) && (continuesStatement(m_views[end]) ||
                               continuesShapeStatement(m_views[end]) || followsScale(end))) {
            ++end;
        }
        m_end = std::min(end, m_read);
        return TokenViews(m_views.data() + m_first, m_views.data() + m_end, true);
    }
    // The front token alone.
    TokenViews front() const {
        return TokenViews(m_views.data() + m_first, m_views.data() + m_first + 1, true);
    }
    // The last fill reached the end of the file.
    bool endsFile() const { return m_ended && m_end == m_read; }
    // Keeps the text from the front token on, to look at and to quote.
    void pinFront() { m_lexer.pin(place(0).offset); }
    // A statement has consumed this many tokens from the front.
    void consumed(std::size_t count) {
        m_first += count;
        // The consumed tokens go in batches, and never more often than the
        // tokens kept are copied over them: a window as wide as the file
        // copies no more than the file.
        if (m_first >= kKept && m_first >= m_read - m_first) {
            const auto first = static_cast<std::ptrdiff_t>(m_first);
            const auto read = static_cast<std::ptrdiff_t>(m_read);
            std::copy(m_places.begin() + first, m_places.begin() + read, m_places.begin());
            std::copy(m_views.begin() + first, m_views.begin() + read, m_views.begin());
            m_read -= m_first;
            m_first = 0;
        }
    }
    // Where the token at index i of the queue starts.
    const TokenPlace& place(std::size_t i) const {
        assert(m_first + i < m_read);
        return m_places[m_first + i];
    }

private:
    // The token at index i may be the second or third factor of "scale x y
    // z": the reader looks at both to tell a vector from one factor.
    bool followsScale(std::size_t i) const {
        return (i >= m_first + 2 && m_views[i - 2] == "scale"sv) ||
               (i >= m_first + 3 && m_views[i - 3] == "scale"sv);
    }
    // Reads on until the token at index i is read; false when the file ends
    // before it.
    bool readTo(std::size_t i) {
        while (i >= m_read) {
            if (m_ended) {
                return false;
            }
            // The stores are never shrunk: they hold the m_read tokens and room.
            if (m_read + kBatch > m_views.size()) {
                m_views.resize(2 * m_views.size());
                m_places.resize(2 * m_places.size());
            }
            std::size_t got = m_lexer.nextInBuffer(&m_views[m_read], &m_places[m_read], kBatch);
            if (got == 0) {
                m_ended = !m_lexer.next(m_views[m_read], m_places[m_read]);
                got = m_ended ? 0 : 1;
            }
            m_read += got;
            resolve();
        }
        return true;
    }
    // Points the views again at the text after the lexer has moved it.
    void resolve() {
        if (m_lexer.textMoves() == m_textMoves) {
            return;
        }
        for (std::size_t i = m_first; i < m_read; ++i) {
            m_views[i] = m_lexer.view(m_places[i].offset, m_views[i].size());
        }
        m_textMoves = m_lexer.textMoves();
    }

    static constexpr std::size_t kKept = 256;
    static constexpr std::size_t kBatch = 64;

    SceneLexer& m_lexer;
    // The tokens read and their places from index m_first to m_read.
    std::vector<std::string_view> m_views;
    std::vector<TokenPlace> m_places;
    std::size_t m_first = 0;
    std::size_t m_read = 0;
    std::size_t m_end = 0;        // the end of the last fill
    std::size_t m_textMoves = 0;  // the lexer's count when the views were last valid
    bool m_ended = false;         // the lexer has reached the end of the file
};

// The source text in front of a place on its line, from the statement's
// start at the earliest, cut to its last few tokens.
std::string textBefore(const SceneLexer& lexer, std::size_t statementStart,
                       const TokenPlace& place) {
    const std::string text = lexer.text(std::max(statementStart, place.lineStart), place.offset);
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    std::size_t start = end;
    for (int token = 0; token < 3 && start > 0; ++token) {
        while (start > 0 && is_separator(text[start - 1])) {
            --start;
        }
        while (start > 0 && !is_separator(text[start - 1])) {
            --start;
        }
    }
    while (start < end && is_separator(text[start])) {
        ++start;
    }
    return text.substr(start, end - start);
}

// Reads the front statement, from a window that grows until the statement
// reads from it what it would read from the whole file. Errors are placed in
// the file.
void parse_front_statement(TokenWindow& window, SceneLexer& lexer, HeldOutput& output,
                           std::size_t minimum, const SceneContext& size,
                           std::vector<GeomObject*>& objects, std::vector<Light*>& lights,
                           Camera* camera, WarningTracker* warnings) {
    StatementNotes notes;
    for (;; minimum *= 2) {
        TokenViews tokens = window.fill(minimum);
        const std::size_t mark = output.mark();
        const std::size_t before = tokens.size();
        const std::size_t objectCount = objects.size();
        notes.clear();
        tokens.setNotes(warnings != nullptr ? &notes : nullptr);
        tokens.setSceneFile(size.fileName);
        try {
            parse_statement(tokens, size, objects, lights, camera);
            if (warnings != nullptr) {
                for (const StatementNotes::Note& note : notes.all()) {
                    warnings->note(window.place(before - note.tokensLeft), note.text);
                }
                if (objects.size() > objectCount) {
                    warnings->object(*objects.back());
                }
            }
            window.consumed(before - tokens.size());
            return;
        } catch (SceneError& error) {
            // What a statement consumes, it takes whole or puts back as it was,
            // so the tokens gone from the window are the file's next ones.
            const std::size_t statementStart = window.place(0).offset;
            if (error.atEndOfFile()) {
                if (!window.endsFile()) {
                    // The window, not the file, ran out: read it again, wider.
                    output.takeBack(mark);
                    continue;
                }
                const TokenPlace& end = lexer.lastEnd();
                error.place(end.line, end.column(), textBefore(lexer, statementStart, end));
            } else if (error.atToken()) {
                const TokenPlace& at = window.place(before - tokens.size());
                error.place(at.line, at.column(), textBefore(lexer, statementStart, at));
            }
            throw;
        }
    }
}

}  // namespace

void parse_file(const std::string& fileName, const SceneContext& size,
                std::vector<GeomObject*>& objects, std::vector<Light*>& lights, Camera* camera,
                SceneWarnings* warnings) {
    std::ifstream in;
    open_scene_file(fileName, in);
    SceneContext context = size;
    context.fileName = fileName;
    read_scene(in, context, objects, lights, camera, kSceneWindow, warnings);
}

void read_scene(std::istream& in, const SceneContext& size, std::vector<GeomObject*>& objects,
                std::vector<Light*>& lights, Camera* camera, std::size_t window,
                SceneWarnings* warnings) {
    assert(window >= 17);
    HeldOutput output(std::cout);
    SceneLexer lexer(in);
    TokenWindow tokens(lexer);
    std::optional<WarningTracker> tracker;
    if (warnings != nullptr) {
        tracker.emplace(*warnings);
    }
    WarningTracker* const track = tracker ? &*tracker : nullptr;
    bool hasCamera = false;
    const std::size_t objectsBefore = objects.size();
    const std::size_t lightsBefore = lights.size();
    while (tokens.fillOne()) {
        TokenViews front = tokens.front();
        if (isStatementKeyword(front.front())) {
            if (track != nullptr) {
                track->statement(front.front(), tokens.place(0));
                hasCamera = hasCamera || front.front() == "camera"sv;
            }
            tokens.pinFront();
            parse_front_statement(tokens, lexer, output, window, size, objects, lights, camera,
                                  track);
        } else {
            if (track != nullptr) {
                // Before the pin moves on from the last statement's start.
                track->skipped(front.front(), tokens.place(0), lexer);
            }
            tokens.pinFront();
            parse_statement(front, size, objects, lights, camera);
            tokens.consumed(1);
        }
        output.passOnIfLarge();
    }
    if (track != nullptr) {
        track->end(hasCamera, lights.size() > lightsBefore, objects.size() > objectsBefore);
    }
}

void parse_statements(std::deque<std::string>& tokens, const SceneContext& size,
                      std::vector<GeomObject*>& objects, std::vector<Light*>& lights,
                      Camera* camera) {
    // Read as views, which carry the scene file's name to the readers that
    // find files; a queue of strings knows no braces.
    const std::vector<std::string_view> views(tokens.begin(), tokens.end());
    TokenViews rest(views.data(), views.data() + views.size());
    rest.setSceneFile(size.fileName);
    try {
        while (!rest.empty()) {
            parse_statement(rest, size, objects, lights, camera);
        }
    } catch (...) {
        // The queue as the readers leave it: an error's token at its front.
        tokens.erase(tokens.begin(), tokens.end() - static_cast<std::ptrdiff_t>(rest.size()));
        throw;
    }
    tokens.clear();
}

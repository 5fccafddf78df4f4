#include <algorithm>
#include <cassert>
#include <cstddef>
#include <deque>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "main.h"
#include "parser.h"
#include "reader_output.h"
#include "scene_lexer.h"

using namespace std::string_view_literals;

namespace {

bool isStatementKeyword(const std::string& token) {
    return token == "camera"sv || token == "sphere"sv || token == "plane"sv ||
           token == "light_source"sv || token == "triangle"sv || token == "box"sv;
}

// The tokens that keep a loop of the statement readers going: the modifiers
// (parseOptions), the finish items (parse_finish) and the camera's keys.
// Before any other token every such loop stops just as it stops at the end of
// the queue, so a statement read from a window that ends there reads what it
// would read from the whole file.
bool continuesStatement(std::string_view token) {
    // By the first byte, so that most tokens take one comparison or none.
    switch (token.empty() ? '\0' : token[0]) {
        case 'a':
            return token == "ambient"sv;
        case 'd':
            return token == "diffuse"sv;
        case 'f':
            return token == "finish"sv;
        case 'i':
            return token == "ior"sv;
        case 'l':
            return token == "location"sv || token == "look_at"sv;
        case 'p':
            return token == "pigment"sv;
        case 'r':
            return token == "roughness"sv || token == "reflection"sv ||
                   token == "refraction"sv || token == "right"sv;
        case 's':
            return token == "specular"sv;
        case 'u':
            return token == "up"sv;
        default:
            return false;
    }
}

// One statement, or one skipped token, from the front of the queue.
void parse_statement(std::deque<std::string>& tokens, std::vector<GeomObject*>& objects,
                     std::vector<Light*>& lights, Camera* camera) {
    const std::string& token = tokens.front();
    if (token == "camera"sv) {
        (OutputLine() << "parsing camera").print();
        *camera = Camera::parse(tokens, gPixelWidth, gPixelHeight);
    } else if (token == "sphere"sv) {
        (OutputLine() << "parsing sphere").print();
        objects.push_back(new Sphere(tokens));
    } else if (token == "plane"sv) {
        (OutputLine() << "parsing plane").print();
        objects.push_back(new Plane(tokens));
    } else if (token == "light_source"sv) {
        (OutputLine() << "parsing light source").print();
        lights.push_back(new Light(tokens));
    } else if (token == "triangle"sv) {
        (OutputLine() << "parsing triangle").print();
        objects.push_back(new Triangle(tokens));
    } else if (token == "box"sv) {
        (OutputLine() << "parsing box").print();
        objects.push_back(Box::parse(tokens));
    } else {
        // Unsupported text is skipped one token at a time.
        (OutputLine() << token).print();
        tokens.pop_front();
    }
}

// The tokens of the file from the next statement on, as far as it has been
// read: a window onto the queue that tokenizing the whole file would give,
// with the place of every token, and one token read ahead.
class TokenWindow {
public:
    explicit TokenWindow(SceneLexer& lexer) : m_lexer(lexer) {
        // Reserved before the first object: grown step by step between the
        // objects, the store left holes in the heap that raised the whole
        // program's peak memory by megabytes.
        m_places.reserve(2 * kPlacesKept);
        readAhead();
    }

    // At least minimum tokens, or all that are left, and then on to a token
    // that does not continue a statement (or the end of the file).
    void fill(std::size_t minimum) {
        while (m_ahead && (tokens.size() < minimum || continuesStatement(m_next))) {
            take();
        }
    }
    // One token, or none when the file has ended.
    void fillOne() {
        if (tokens.empty() && m_ahead) {
            take();
        }
    }
    bool endsFile() const { return !m_ahead; }
    // Keeps the text from the front token on, to come back to and to quote.
    void pinFront() { m_lexer.pin(place(0).offset); }
    // Reads the file again from the front token.
    void rewind() {
        m_lexer.rewind(place(0));
        tokens.clear();
        m_places.clear();
        m_first = 0;
        readAhead();
    }
    // A statement has consumed this many tokens from the front.
    void consumed(std::size_t count) {
        m_first += count;
        // The places of consumed tokens go in batches.
        if (m_first >= kPlacesKept) {
            m_places.erase(m_places.begin(), m_places.begin() + static_cast<std::ptrdiff_t>(m_first));
            m_first = 0;
        }
    }
    // Where the token at index i of the queue starts.
    const TokenPlace& place(std::size_t i) const {
        assert(m_first + i < m_places.size());
        return m_places[m_first + i];
    }

    std::deque<std::string> tokens;

private:
    void take() {
        tokens.emplace_back(m_next);
        m_places.push_back(m_nextPlace);
        readAhead();
    }
    void readAhead() { m_ahead = m_lexer.next(m_next, m_nextPlace); }

    static constexpr std::size_t kPlacesKept = 256;

    SceneLexer& m_lexer;
    // The places of the queue's tokens from index m_first on.
    std::vector<TokenPlace> m_places;
    std::size_t m_first = 0;
    std::string_view m_next;  // valid until the lexer reads on
    TokenPlace m_nextPlace;
    bool m_ahead = false;
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
                           std::size_t minimum, std::vector<GeomObject*>& objects,
                           std::vector<Light*>& lights, Camera* camera) {
    for (;; minimum *= 2) {
        window.fill(minimum);
        const std::size_t mark = output.mark();
        const std::size_t before = window.tokens.size();
        try {
            parse_statement(window.tokens, objects, lights, camera);
            window.consumed(before - window.tokens.size());
            return;
        } catch (SceneError& error) {
            // What a statement consumes, it takes whole or puts back as it was,
            // so the tokens gone from the window are the file's next ones.
            const std::size_t statementStart = window.place(0).offset;
            if (error.atEndOfFile()) {
                if (!window.endsFile()) {
                    // The window, not the file, ran out: read it again, wider.
                    output.takeBack(mark);
                    window.rewind();
                    continue;
                }
                const TokenPlace& end = lexer.lastEnd();
                error.place(end.line, end.column(), textBefore(lexer, statementStart, end));
            } else if (error.atToken()) {
                const TokenPlace& at = window.place(before - window.tokens.size());
                error.place(at.line, at.column(), textBefore(lexer, statementStart, at));
            }
            throw;
        }
    }
}

}  // namespace

void parse_file(std::vector<GeomObject*>& objects, std::vector<Light*>& lights, Camera* camera) {
    std::ifstream in;
    open_scene_file(gInputFileName, in);
    read_scene(in, objects, lights, camera);
}

void read_scene(std::istream& in, std::vector<GeomObject*>& objects, std::vector<Light*>& lights,
                Camera* camera, std::size_t window) {
    assert(window >= 17);
    HeldOutput output(std::cout);
    SceneLexer lexer(in);
    TokenWindow tokens(lexer);
    for (tokens.fillOne(); !tokens.tokens.empty(); tokens.fillOne()) {
        tokens.pinFront();
        if (isStatementKeyword(tokens.tokens.front())) {
            parse_front_statement(tokens, lexer, output, window, objects, lights, camera);
        } else {
            parse_statement(tokens.tokens, objects, lights, camera);
            tokens.consumed(1);
        }
        output.passOnIfLarge();
    }
}

void parse_statements(std::deque<std::string>& tokens, std::vector<GeomObject*>& objects,
                      std::vector<Light*>& lights, Camera* camera) {
    while (!tokens.empty()) {
        parse_statement(tokens, objects, lights, camera);
    }
}

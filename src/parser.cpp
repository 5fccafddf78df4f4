#include "parser.h"

#include <sys/stat.h>

#include <cassert>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "scene/number_text.h"
#include "scene/reader_output.h"
#include "scene/scene_lexer.h"
#include "scene/scene_warnings.h"

namespace {

// Tokens are whatever the file holds: a carriage return or an escape
// sequence would garble the message on a terminal, and a token of megabytes
// would bury it. Control characters are shown as escapes (UTF-8 text stays
// as it is), and only the start of a long token is shown.
std::string printable(std::string_view token) {
    const std::string::size_type shown = 64;
    std::string text;
    for (std::string::size_type i = 0; i < token.size() && i < shown; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c == '\r') {
            text += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            const char* const hex = "0123456789abcdef";
            text += "\\x";
            text += hex[c >> 4];
            text += hex[c & 0xf];
        } else {
            text += token[i];
        }
    }
    if (token.size() > shown) {
        text += "... (" + std::to_string(token.size()) + " characters)";
    }
    return text;
}

[[noreturn]] void throwNotANumber(std::string_view token) {
    throw SceneError("ss", "a number", SceneError::quoted(token));
}

}  // namespace

SceneError::SceneError(Kind kind, const std::string& condition, const std::string& expected,
                       const std::string& found)
    : std::runtime_error("expected " + expected + ", found " + found + " (condition '" + condition +
                         "')"),
      m_kind(kind),
      m_condition(condition),
      m_expected(expected),
      m_found(found) {}

SceneError::SceneError(const std::string& condition, const std::string& expected,
                       const std::string& found)
    : SceneError(Kind::Token, condition, expected, found) {}

SceneError::SceneError(const std::string& message)
    : std::runtime_error(message), m_kind(Kind::General) {}

SceneError SceneError::endOfFile(const std::string& expected) {
    return SceneError(Kind::EndOfFile, "!tokens.empty()", expected, "the end of the file");
}

std::string SceneError::quoted(std::string_view token) { return "\"" + printable(token) + "\""; }

void SceneError::place(std::size_t line, std::size_t column, const std::string& before) {
    m_line = line;
    m_column = column;
    m_before = before;
}

std::string SceneError::describe(const std::string& before) const {
    if (m_kind == Kind::General) {
        return what();
    }
    std::string text = "expected " + m_expected;
    if (!before.empty()) {
        text += " after \"" + printable(before) + "\"";
    }
    return text + ", found " + m_found + " (condition '" + m_condition + "')";
}

std::string sceneErrorLine(const std::string& fileName, const SceneError& error) {
    if (error.m_line == 0) {
        return fileName + ": " + error.describe("");
    }
    return fileName + ":" + std::to_string(error.m_line) + ":" + std::to_string(error.m_column) +
           ": " + error.describe(error.m_before);
}

void open_scene_file(const std::string& fileName, std::ifstream& in) {
    // A directory opens as a stream but never reads; say so instead.
    struct stat info;
    if (stat(fileName.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        throw SceneError("cannot read scene file: " + std::string(std::strerror(EISDIR)));
    }
    in.open(fileName.c_str());
    if (!in) {
        throw SceneError("cannot open scene file: " + std::string(std::strerror(errno)));
    }
}

std::string_view TokenViews::textAfter(std::size_t tokensLeft) const {
    assert(m_inOneText && tokensLeft >= 2);
    const std::string_view* const token = m_end - tokensLeft;
    const char* const start = token->data() + token->size();
    return std::string_view(start, static_cast<std::size_t>(token[1].data() - start));
}

void tokenize_file(const std::string& fileName, std::deque<std::string>& tokens) {
    std::ifstream in;
    open_scene_file(fileName, in);
    tokenize_stream(in, tokens);
}

void tokenize_stream(std::istream& in, std::deque<std::string>& tokens) {
    SceneLexer lexer(in);
    std::string_view token;
    TokenPlace place;
    while (lexer.next(token, place)) {
        tokens.emplace_back(token);
    }
}

void tokenize_line(const std::string& line, std::deque<std::string>& tokens) {
    std::istringstream in(line);
    tokenize_stream(in, tokens);
}

void note_warning(const std::deque<std::string>&, std::size_t, const std::string&) {}

void note_warning(const TokenViews& tokens, std::size_t tokensLeft, const std::string& text) {
    if (tokens.notes() != nullptr) {
        tokens.notes()->add(tokensLeft, text);
    }
}

bool is_number(std::string_view token) {
    // Asked of every token after a pigment: a word, usually, which the
    // number reader would pass on to a string stream to refuse.
    if (token.empty() || std::strchr("+-.0123456789", token[0]) == nullptr) {
        return false;
    }
    double value = 0;
    return read_number(token, value);
}

// Small enough to go inline in every number reader; the throw stays out.
double parse_number(std::string_view token) {
    double value = 0;
    if (!read_number(token, value)) {
        throwNotANumber(token);
    }
    return value;
}

namespace {

// The readers for both queues.

template <typename Tokens>
void dropFront(Tokens& tokens, const char* expected) {
    if (tokens.empty()) {
        throw SceneError::endOfFile(expected);
    }
    tokens.pop_front();
}

template <typename Tokens>
double parseDouble(Tokens& tokens) {
    if (tokens.empty()) {
        throw SceneError::endOfFile("a number");
    }
    const double value = parse_number(tokens.front());
    tokens.pop_front();
    return value;
}

template <typename Tokens>
Vector3 parseVector(Tokens& tokens) {
    const double x = parseDouble(tokens);
    const double y = parseDouble(tokens);
    const double z = parseDouble(tokens);
    return Vector3(x, y, z);
}

template <typename Tokens>
Color parseRgb(Tokens& tokens) {
    dropFront(tokens, "\"rgb\"");
    const Vector3 rgb = parseVector(tokens);
    const Color color(rgb.x, rgb.y, rgb.z);
    (OutputLine() << "parsed color: " << Vector3(color.r, color.g, color.b)).print();
    return color;
}

template <typename Tokens>
Color parseColor(Tokens& tokens) {
    dropFront(tokens, "\"color\"");
    return parseRgb(tokens);
}

}  // namespace

void drop_front(std::deque<std::string>& tokens, const char* expected) {
    dropFront(tokens, expected);
}

void drop_front(TokenViews& tokens, const char* expected) { dropFront(tokens, expected); }

// The by-value parameter is the reader's published signature.
// cppcheck-suppress passedByValue
double Parser::parse_double(std::string token) {  // NOLINT(performance-unnecessary-value-param)
    return parse_number(token);
}

double Parser::parse_double(std::deque<std::string>& tokens) { return parseDouble(tokens); }

double Parser::parse_double(TokenViews& tokens) { return parseDouble(tokens); }

Vector3 Parser::parse_vector(std::deque<std::string>& tokens) { return parseVector(tokens); }

Vector3 Parser::parse_vector(TokenViews& tokens) { return parseVector(tokens); }

Color Parser::parse_color(std::deque<std::string>& tokens) { return parseColor(tokens); }

Color Parser::parse_color(TokenViews& tokens) { return parseColor(tokens); }

Color Parser::parse_rgb(std::deque<std::string>& tokens) { return parseRgb(tokens); }

Color Parser::parse_rgb(TokenViews& tokens) { return parseRgb(tokens); }

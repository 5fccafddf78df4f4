#pragma once

#include <cassert>
#include <cstddef>
#include <deque>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

#include "color.h"
#include "vector3.h"

class StatementNotes;

// A scene the reader cannot use. It says in plain words what was expected
// and what was found, and names the failed condition; the reader that knows
// positions places it in the file. main names the scene file and ends the
// program with status 1 before any image is written. Being an exception, it
// lets tests and fuzzers exercise every reader in-process.
class SceneError : public std::runtime_error {
public:
    // The front token of the queue fails the condition: expected is what was
    // due, found what came instead (quoted() for a token).
    SceneError(const std::string& condition, const std::string& expected, const std::string& found);
    // A problem with no token to point at (the file, the camera basis): the
    // whole message.
    explicit SceneError(const std::string& message);
    // expected was due but the token queue ran empty.
    static SceneError endOfFile(const std::string& expected);
    // A token as messages show it: in double quotes, control characters as
    // escapes, a long one cut short.
    static std::string quoted(std::string_view token);

    // The offending token is the front of the queue.
    bool atToken() const { return m_kind == Kind::Token; }
    bool atEndOfFile() const { return m_kind == Kind::EndOfFile; }
    // Where the error lies: line and column (1-based, the column in bytes)
    // of the offending token, or just after the last token for the end of the
    // file; before is the source text in front of it on its line.
    void place(std::size_t line, std::size_t column, const std::string& before);
    // 0 until placed.
    std::size_t line() const { return m_line; }
    std::size_t column() const { return m_column; }

private:
    enum class Kind { Token, EndOfFile, General };
    SceneError(Kind kind, const std::string& condition, const std::string& expected,
               const std::string& found);
    std::string describe(const std::string& before) const;
    friend std::string sceneErrorLine(const std::string& fileName, const SceneError& error);

    Kind m_kind;
    std::string m_condition;
    std::string m_expected;
    std::string m_found;
    std::size_t m_line = 0;  // 0 until placed
    std::size_t m_column = 0;
    std::string m_before;
};

// The line that reports the error, as compilers write them:
// scene.pov:3:14: expected a number after "color rgb <1,", found "x" (condition 'ss')
// or "scene.pov: message" for an error with no place in the file.
std::string sceneErrorLine(const std::string& fileName, const SceneError& error);

// Opens the scene file for reading. Throws SceneError when it cannot be
// opened or is a directory.
void open_scene_file(const std::string& fileName, std::ifstream& in);
// Reads the file into the token queue: separators dropped, "//" comments cut.
// Throws SceneError when the file cannot be opened or read.
void tokenize_file(const std::string& fileName, std::deque<std::string>& tokens);
// The same for scene text that is already open or in memory, to the end of
// the stream. Throws SceneError when a read fails.
void tokenize_stream(std::istream& in, std::deque<std::string>& tokens);
// Splits one line and appends its tokens.
void tokenize_line(const std::string& line, std::deque<std::string>& tokens);

// The statement readers' other token queue: the streaming reader's tokens as
// views into the scene text, consumed from the front as the queue is but
// without a string made for each. The views stay where they are; only the
// front moves. Views that lie in one text, in order, also give the text
// between two tokens: the separators, braces among them, that the tokens
// leave out.
class TokenViews {
public:
    // inOneText: the views lie in one text in order, with only separators
    // and comments between them, as the scene lexer hands them out.
    TokenViews(const std::string_view* begin, const std::string_view* end, bool inOneText = false)
        : m_front(begin), m_end(end), m_inOneText(inOneText) {}

    // Where the statement readers note their warnings; none by default.
    void setNotes(StatementNotes* notes) { m_notes = notes; }
    StatementNotes* notes() const { return m_notes; }
    // The scene file, whose folder the files that the scene names are found
    // against; empty (the default) for the working directory. The name must
    // outlive the reading.
    void setSceneFile(std::string_view fileName) { m_sceneFile = fileName; }
    std::string_view sceneFile() const { return m_sceneFile; }
    // Whether textAfter can say anything.
    bool inOneText() const { return m_inOneText; }
    // The text between the token that was at the front when tokensLeft
    // tokens were left and the token after it, which must both be in the
    // views (the consumed ones stay); only for views in one text.
    std::string_view textAfter(std::size_t tokensLeft) const;

    bool empty() const { return m_front == m_end; }
    std::size_t size() const { return static_cast<std::size_t>(m_end - m_front); }
    std::string_view front() const {
        assert(!empty());
        return *m_front;
    }
    void pop_front() {
        assert(!empty());
        ++m_front;
    }

private:
    const std::string_view* m_front;
    const std::string_view* m_end;
    bool m_inOneText;
    StatementNotes* m_notes = nullptr;
    std::string_view m_sceneFile;
};

// The statement readers' hook for warnings: notes text about the token that
// was at the front of the queue when tokensLeft tokens were left in it (the
// statement's keyword for the size the queue had at its start). The whole
// queue reader keeps no places and so no warnings.
void note_warning(const std::deque<std::string>& tokens, std::size_t tokensLeft,
                  const std::string& text);
void note_warning(const TokenViews& tokens, std::size_t tokensLeft, const std::string& text);
// The token spells a number.
bool is_number(std::string_view token);

// Removes the front token, which must exist: at the end of the queue the
// statement was cut short, and expected says what was due.
void drop_front(std::deque<std::string>& tokens, const char* expected);
void drop_front(TokenViews& tokens, const char* expected);

// The number a token spells. Throws SceneError when it spells none.
double parse_number(std::string_view token);

// Static value readers that every statement constructor takes its numbers
// with, from either queue.
class Parser {
public:
    static double parse_double(std::string token);
    static double parse_double(std::deque<std::string>& tokens);
    static double parse_double(TokenViews& tokens);
    static Vector3 parse_vector(std::deque<std::string>& tokens);
    static Vector3 parse_vector(TokenViews& tokens);
    // Drops two tokens unseen ("color rgb"), reads three numbers, prints them.
    static Color parse_color(std::deque<std::string>& tokens);
    static Color parse_color(TokenViews& tokens);
    // The same after "color": drops one token unseen ("rgb" or "rgbf").
    static Color parse_rgb(std::deque<std::string>& tokens);
    static Color parse_rgb(TokenViews& tokens);
};

#pragma once

// Warnings about a scene that reads but will not show what its writer meant:
// words skipped, objects that cannot be seen, a camera that stretches the
// picture. They are collected while the scene is read and printed afterwards,
// one line each on standard error in the form compilers use:
//   scene.pov:3:20: warning: <plain words>
// A scene that warns renders exactly as it would without them; in strict
// mode any warning stops the program before it renders.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct SceneWarning {
    std::size_t line = 0;  // 1-based; 0: about the whole file
    std::size_t column = 0;
    std::string text;
};

class SceneWarnings {
public:
    void add(std::size_t line, std::size_t column, std::string text);
    // A warning about the whole scene, with no place in it.
    void addForFile(std::string text);

    bool empty() const { return m_warnings.empty(); }
    const std::vector<SceneWarning>& all() const { return m_warnings; }
    // Each warning as its line reads, without the line break.
    std::vector<std::string> lines(const std::string& fileName) const;
    // Prints every line through the error printer (program_exit.h).
    void print(const std::string& fileName) const;

private:
    std::vector<SceneWarning> m_warnings;
};

// What a statement reader notes while it reads: a warning about the token
// that was at the front of the queue when tokensLeft tokens were left in it.
// The reader that knows where the statement started places them in the file.
class StatementNotes {
public:
    struct Note {
        std::size_t tokensLeft;
        std::string text;
    };

    void add(std::size_t tokensLeft, std::string text) {
        m_notes.push_back(Note{tokensLeft, std::move(text)});
    }
    bool empty() const { return m_notes.empty(); }
    const std::vector<Note>& all() const { return m_notes; }
    void clear() { m_notes.clear(); }

private:
    std::vector<Note> m_notes;
};

// Edits (insertions, deletions, substitutions, swaps of two neighbours)
// that turn one word into the other.
std::size_t editDistance(std::string_view a, std::string_view b);
// The scene keyword (statements, modifiers, finish items, camera keys)
// nearest to the word, when it is within two edits and the word is neither a
// keyword itself nor a number, nor so short that two edits make anything of
// it; else empty.
std::string_view suggestKeyword(std::string_view word);

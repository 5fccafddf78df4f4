#pragma once

// Follows the scene reader from statement to statement and finds what the
// file's statements alone do not say: runs of skipped words and where they
// lie, objects that show no light, and a scene without a camera, a light or
// an object. What the statement readers note themselves comes in placed.

#include <cstddef>
#include <string>
#include <string_view>

#include "scene/scene_lexer.h"
#include "scene/scene_warnings.h"

class GeomObject;

class WarningTracker {
public:
    explicit WarningTracker(SceneWarnings& warnings) : m_warnings(warnings) {}

    // A statement starts here; it ends any run of skipped words.
    void statement(std::string_view keyword, const TokenPlace& at);
    // A warning a statement reader noted, placed in the file.
    void note(const TokenPlace& at, std::string text);
    // The statement that started last read this object.
    void object(const GeomObject& object);
    // A word no statement reads is skipped here. The lexer must still keep
    // the text from the last statement's start on.
    void skipped(std::string_view word, const TokenPlace& at, const SceneLexer& lexer);
    // The end of the file: the last run ends; what the scene lacks is told.
    void end(bool hasCamera, bool hasLight, bool hasObject);

private:
    void endRun();

    SceneWarnings& m_warnings;
    // The statement that started last.
    std::string m_keyword;
    TokenPlace m_statement;
    bool m_afterStatement = false;
    // A lone carriage return was skipped since the statement.
    bool m_afterCarriageReturn = false;
    // The run of skipped words, while m_runWords > 0.
    std::size_t m_runWords = 0;
    TokenPlace m_runStart;
    std::string m_runText;     // its first words
    std::string m_runContext;  // the statement it lies in, if any
    std::string m_suggestion;
};

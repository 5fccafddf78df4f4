#pragma once

#include <deque>
#include <iosfwd>
#include <stdexcept>
#include <string>

#include "color.h"
#include "vector3.h"

// A scene the reader cannot use. It carries the failed condition and the
// offending token; main names the scene file and ends the program with
// status 1 before any image is written. Being an exception, it lets tests and
// fuzzers exercise every reader in-process.
class SceneError : public std::runtime_error {
public:
    SceneError(const std::string& condition, const std::string& token);
    explicit SceneError(const std::string& message);
    // A number or keyword was due but the token queue ran empty.
    static SceneError endOfFile();
};

// Reads the file into the token queue: separators dropped, "//" comments cut.
// Throws SceneError when the file cannot be opened or read.
void tokenize_file(const std::string& fileName, std::deque<std::string>& tokens);
// The same for scene text that is already open or in memory, line by line to
// the end of the stream. Throws SceneError when a read fails.
void tokenize_stream(std::istream& in, std::deque<std::string>& tokens);
// Splits one line and appends its tokens.
void tokenize_line(const std::string& line, std::deque<std::string>& tokens);

// Removes the front token, which must exist (a statement cut short by the end
// of the file is a scene error).
void drop_front(std::deque<std::string>& tokens);

// Static value readers that every statement constructor takes its numbers with.
class Parser {
public:
    static double parse_double(std::string token);
    static double parse_double(std::deque<std::string>& tokens);
    static Vector3 parse_vector(std::deque<std::string>& tokens);
    // Drops two tokens unseen ("color rgb"), reads three numbers, prints them.
    static Color parse_color(std::deque<std::string>& tokens);
};

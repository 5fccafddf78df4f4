#pragma once

#include <stdexcept>
#include <string>

// The end of the program from deep inside it: the text to print, exactly as it
// is to appear (its line break included, when it has one), the stream it goes
// to and the exit status. raytracerMain catches it, prints the text and
// returns the status, so that tests can reach every such end in-process.
// Every failure also reports itself on standard error through printErrorLine.
// Thrown for usage errors, --help and --version, an image that cannot be
// written, a texture that cannot be loaded and shaders that cannot be set up.
class ProgramExit : public std::runtime_error {
public:
    enum class Stream { Out, Err };

    // errorLine: for a failure whose text goes to standard output, the line
    // that reports it on standard error; empty: "raytracer: " and the text.
    ProgramExit(const std::string& text, int status, Stream stream = Stream::Out,
                const std::string& errorLine = std::string())
        : std::runtime_error(text), m_status(status), m_stream(stream), m_errorLine(errorLine) {}

    int status() const { return m_status; }
    Stream stream() const { return m_stream; }
    // The line for standard error (without a line break), or empty for an
    // end that is no failure (status 0).
    std::string errorLine() const;

private:
    int m_status;
    Stream m_stream;
    std::string m_errorLine;
};

// The one printer of error and warning lines: standard output is flushed
// first, so that the line follows everything printed before it, and the line
// goes to standard error with its line break added.
void printErrorLine(const std::string& line);

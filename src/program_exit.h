#pragma once

#include <stdexcept>
#include <string>

// The end of the program from deep inside it: the text to print, exactly as it
// is to appear (its line break included, when it has one), the stream it goes
// to and the exit status. raytracerMain catches it, prints the text and
// returns the status, so that tests can reach every such end in-process.
// Thrown for usage errors, --help and --version, an image that cannot be
// written, a texture that cannot be loaded and shaders that cannot be set up.
class ProgramExit : public std::runtime_error {
public:
    enum class Stream { Out, Err };

    ProgramExit(const std::string& text, int status, Stream stream = Stream::Out)
        : std::runtime_error(text), m_status(status), m_stream(stream) {}

    int status() const { return m_status; }
    Stream stream() const { return m_stream; }

private:
    int m_status;
    Stream m_stream;
};

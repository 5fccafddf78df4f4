#pragma once

#include <cstddef>
#include <cstring>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "vector3.h"

// One line of the scene reader's progress output, put together in place and
// written to std::cout in one piece, with the numbers as the stream writes
// them by default (format_number) but without its formatting machinery.
class OutputLine {
public:
    OutputLine& operator<<(std::string_view text) {
        // Inline, so that a literal's length and copy fold into the caller.
        if (m_size + text.size() < kCapacity) {
            std::memcpy(m_text + m_size, text.data(), text.size());
            m_size += text.size();
            return *this;
        }
        return appendLong(text);
    }
    OutputLine& operator<<(double value);
    OutputLine& operator<<(const Vector3& v);
    // Ends the line and writes it.
    void print() {
        // Every append leaves room for the line feed.
        m_text[m_size++] = '\n';
        writeOut();
    }

private:
    // A text that does not fit in what is left of the line.
    OutputLine& appendLong(std::string_view text);
    // Writes what the line holds so far, to make room.
    void writeOut();

    static constexpr std::size_t kCapacity = 240;
    char m_text[kCapacity];
    std::size_t m_size = 0;
};

// While it lives, what is written to the stream is held here and passed on
// to the stream's own buffer in large blocks. Output written since a mark
// can be taken back, for a statement that is read again. It installs itself
// only on a stream in a good state, so a stream that prints nothing still
// prints nothing.
class HeldOutput final : public std::streambuf {
public:
    explicit HeldOutput(std::ostream& stream);
    // Passes on what is held and gives the stream its own buffer back.
    ~HeldOutput() override;
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;

    std::size_t mark() const { return m_size; }
    void takeBack(std::size_t mark) { m_size = mark; }
    // Passes on what is held once it makes a large block.
    void passOnIfLarge();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    // What is held goes on from this size.
    static constexpr std::size_t kBlock = 1 << 16;

    // False when the stream's buffer took less than all of it.
    bool passOn();

    std::ostream& m_stream;
    std::streambuf* m_original = nullptr;  // the stream's buffer; null when not installed
    // Appends, growing the store when needed.
    void hold(const char* text, std::size_t count);

    std::vector<char> m_held;  // its first m_size bytes are held
    std::size_t m_size = 0;
    bool m_failed = false;
};

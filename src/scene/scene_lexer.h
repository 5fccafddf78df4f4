#pragma once

#include <cassert>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// Where a token starts (or, for lastEnd, where one ends) in the scene text.
struct TokenPlace {
    std::size_t offset = 0;     // bytes from the start of the text
    std::size_t line = 1;       // 1-based
    std::size_t lineStart = 0;  // offset of the line's first byte

    // 1-based, in bytes.
    std::size_t column() const { return offset - lineStart + 1; }
};

// The separators " \n\t<>,{}": dropped, and a run of them ends a token.
// Carriage return is not one of them.
bool is_separator(char c);

// What the braces in the text between two tokens do to the depth of
// nesting: net, and lowest on the way (at most 0). That text holds only
// separators and comments, whose braces do not count.
struct BraceSteps {
    std::ptrdiff_t net = 0;
    std::ptrdiff_t lowest = 0;
};
BraceSteps braceSteps(std::string_view between);

// Splits scene text into tokens: the runs of bytes between separators; a
// token that starts with "//" drops itself and the rest of its line. Reads
// the stream in blocks and keeps only the text from the pinned offset on
// (from the current token when nothing is pinned), so that the tokens read
// since the pin can still be looked at and quoted.
class SceneLexer {
public:
    explicit SceneLexer(std::istream& in);

    // The next token and where it starts; false at the end of the text.
    // The token's text stays valid until the next call. Throws SceneError
    // when the stream fails.
    bool next(std::string_view& token, TokenPlace& place);
    // Up to count tokens and their places, as next gives them, of those that
    // lie whole in the text read so far: it stops short, reading nothing from
    // the stream, before a token that next would have to read on for, a
    // comment or a token with a null in it. The texts stay valid while
    // textMoves() stays as it is.
    std::size_t nextInBuffer(std::string_view* tokens, TokenPlace* places, std::size_t count);
    // Keeps the text from offset on, which must still be kept, until the
    // next pin.
    void pin(std::size_t offset);
    // The kept text between two offsets.
    std::string text(std::size_t from, std::size_t to) const;
    // The same as a view, valid while textMoves() stays as it is.
    std::string_view view(std::size_t offset, std::size_t size) const {
        assert(offset >= m_base && offset + size <= bufferEnd());
        return std::string_view(byteAt(offset), size);
    }
    // Counts the reads that may have moved the kept text in memory, and with
    // it every token's text that next handed out before.
    std::size_t textMoves() const { return m_textMoves; }
    // Just after the last byte of the last token read.
    const TokenPlace& lastEnd() const { return m_lastEnd; }

private:
    // next for any token: across the ends of blocks, after comments, with
    // nulls in it.
    bool nextAnywhere(std::string_view& token, TokenPlace& place);
    // Appends a block of the stream, first dropping the text before keep when
    // that is worth it. False at the end of the stream.
    bool readBlock(std::size_t keep);
    std::size_t bufferEnd() const { return m_base + m_size; }
    const char* byteAt(std::size_t offset) const { return m_buffer.data() + (offset - m_base); }
    std::size_t offsetOf(const char* byte) const { return m_base + (byte - m_buffer.data()); }

    std::istream& m_in;
    // The text from offset m_base on, its first m_size bytes, then a null
    // that stops the scans; never shrunk, so that a block is read into room
    // that need not be cleared first.
    std::vector<char> m_buffer;
    std::size_t m_size = 0;
    std::size_t m_base = 0;
    TokenPlace m_next;  // the next byte to look at
    std::size_t m_pin;  // npos: nothing pinned
    bool m_ended = false;
    TokenPlace m_lastEnd;
    std::size_t m_textMoves = 0;
};

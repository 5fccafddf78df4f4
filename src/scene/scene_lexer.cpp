#include "scene/scene_lexer.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <istream>

#include "parser.h"

namespace {

const std::size_t kBlockSize = 1 << 16;

}  // namespace

namespace {

// What a byte is to the scan: a byte of a token, a null (a byte of a token
// too, or the buffer's closing null, which stops the scans without a
// bounds check per byte), a separator, or the line feed, a separator that
// starts a line.
enum ByteKind : unsigned char { kTokenByte, kNull, kSeparator, kLineFeed };

struct ByteKinds {
    ByteKind kinds[256] = {};
    constexpr ByteKinds() {
        kinds[0] = kNull;
        for (const char c : {' ', '\t', '<', '>', ',', '{', '}'}) {
            kinds[static_cast<unsigned char>(c)] = kSeparator;
        }
        kinds[static_cast<unsigned char>('\n')] = kLineFeed;
    }
    ByteKind operator()(char c) const { return kinds[static_cast<unsigned char>(c)]; }
};
constexpr ByteKinds kByteKind;

// The first byte from p that is no separator (the buffer's closing null
// stops the scan); counts the line feeds passed into line and sets
// lineStart to the start of the last line begun, if any.
const char* skipSeparators(const char* p, std::size_t& line, const char*& lineStart) {
    for (ByteKind kind; (kind = kByteKind(*p)) >= kSeparator; ++p) {
        if (kind == kLineFeed) {
            ++line;
            lineStart = p + 1;
        }
    }
    return p;
}

// The end of the token bytes from p on (the buffer's closing null stops the
// scan), four bytes a round: a byte is looked at only after a token byte,
// so never past that null.
const char* skipTokenBytes(const char* p) {
    for (;; p += 4) {
        if (kByteKind(p[0]) != kTokenByte) {
            return p;
        }
        if (kByteKind(p[1]) != kTokenByte) {
            return p + 1;
        }
        if (kByteKind(p[2]) != kTokenByte) {
            return p + 2;
        }
        if (kByteKind(p[3]) != kTokenByte) {
            return p + 3;
        }
    }
}

}  // namespace

bool is_separator(char c) { return kByteKind(c) >= kSeparator; }

BraceSteps braceSteps(std::string_view between) {
    BraceSteps steps;
    for (std::size_t i = 0; i < between.size(); ++i) {
        const char c = between[i];
        if (c == '{') {
            ++steps.net;
        } else if (c == '}') {
            steps.lowest = std::min(steps.lowest, --steps.net);
        } else if (!is_separator(c)) {
            // A comment, to its line feed.
            i = std::min(between.find('\n', i), between.size());
        }
    }
    return steps;
}

SceneLexer::SceneLexer(std::istream& in) : m_in(in), m_buffer(1, '\0'), m_pin(std::string::npos) {}

bool SceneLexer::readBlock(std::size_t keep) {
    if (m_ended) {
        return false;
    }
    keep = std::min(keep, m_pin);
    assert(keep >= m_base);
    ++m_textMoves;
    // Moving the kept text to the front pays once it is half the buffer.
    if (keep - m_base >= m_size / 2) {
        const std::size_t dropped = keep - m_base;
        std::memmove(m_buffer.data(), m_buffer.data() + dropped, m_size - dropped);
        m_size -= dropped;
        m_base = keep;
    }
    const std::size_t kept = m_size;
    if (m_buffer.size() < kept + kBlockSize + 1) {
        m_buffer.resize(kept + kBlockSize + 1);
    }
    m_in.read(m_buffer.data() + kept, static_cast<std::streamsize>(kBlockSize));
    const auto got = static_cast<std::size_t>(m_in.gcount());
    m_size = kept + got;
    m_buffer[m_size] = '\0';
    if (m_in.bad()) {
        throw SceneError("cannot read scene file: " + std::string(std::strerror(errno)));
    }
    // Editors on some systems start a UTF-8 file with a byte order mark; it
    // is no part of the first token, and columns count from after it.
    if (m_base == 0 && kept == 0 && got >= 3 &&
        std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0) {
        m_next.offset = 3;
        m_next.lineStart = 3;
    }
    // A short block is the end: the stream reads until the block is full.
    m_ended = got < kBlockSize;
    return got > 0;
}

bool SceneLexer::next(std::string_view& token, TokenPlace& place) {
    return nextInBuffer(&token, &place, 1) == 1 || nextAnywhere(token, place);
}

std::size_t SceneLexer::nextInBuffer(std::string_view* tokens, TokenPlace* places,
                                     std::size_t count) {
    // Most tokens lie whole in the buffer with a separator after them and
    // are no comment: those are taken here, on locals (the buffer's bytes
    // could alias the members as far as the compiler knows), the rest by the
    // general scan from the same start.
    const char* const data = m_buffer.data();
    const char* const end = data + m_size;
    const char* p = data + (m_next.offset - m_base);
    std::size_t line = m_next.line;
    std::size_t lineStart = m_next.lineStart;
    std::size_t taken = 0;
    for (; taken < count; ++taken) {
        const char* newLine = nullptr;
        p = skipSeparators(p, line, newLine);
        if (newLine != nullptr) {
            lineStart = offsetOf(newLine);
        }
        const char* const tokenEnd = skipTokenBytes(p);
        if (tokenEnd == end || *tokenEnd == '\0' || (p[0] == '/' && p[1] == '/')) {
            break;
        }
        places[taken] = TokenPlace{offsetOf(p), line, lineStart};
        tokens[taken] = std::string_view(p, static_cast<std::size_t>(tokenEnd - p));
        p = tokenEnd;
    }
    if (taken > 0) {
        const TokenPlace& last = places[taken - 1];
        m_lastEnd = TokenPlace{last.offset + tokens[taken - 1].size(), last.line, last.lineStart};
    }
    m_next = TokenPlace{offsetOf(p), line, lineStart};
    return taken;
}

bool SceneLexer::nextAnywhere(std::string_view& token, TokenPlace& place) {
    for (;;) {
        // Separators; line feeds count lines. The scan works on locals: the
        // buffer's bytes could alias the members as far as the compiler knows.
        for (;;) {
            std::size_t line = m_next.line;
            const char* lineStart = nullptr;
            const char* const p = skipSeparators(byteAt(m_next.offset), line, lineStart);
            m_next.line = line;
            if (lineStart != nullptr) {
                m_next.lineStart = offsetOf(lineStart);
            }
            m_next.offset = offsetOf(p);
            if (m_next.offset != bufferEnd()) {
                break;
            }
            if (!readBlock(m_next.offset)) {
                return false;
            }
        }
        place = m_next;
        for (;;) {
            const char* p = byteAt(m_next.offset);
            const char* const end = byteAt(bufferEnd());
            for (;;) {
                while (kByteKind(*p) == kTokenByte) {
                    ++p;
                }
                if (p == end || *p != '\0') {
                    break;
                }
                ++p;  // a null in the text
            }
            m_next.offset = offsetOf(p);
            if (p != end || !readBlock(place.offset)) {
                break;
            }
        }
        const char* const start = byteAt(place.offset);
        const std::size_t size = m_next.offset - place.offset;
        // A comment starts only at the beginning of a token.
        if (size < 2 || start[0] != '/' || start[1] != '/') {
            token = std::string_view(start, size);
            m_lastEnd = m_next;
            return true;
        }
        // The comment runs to the line feed, which counts as a separator.
        for (;;) {
            const char* const from = byteAt(m_next.offset);
            const void* const feed = std::memchr(from, '\n', bufferEnd() - m_next.offset);
            if (feed != nullptr) {
                m_next.offset = offsetOf(static_cast<const char*>(feed));
                break;
            }
            m_next.offset = bufferEnd();
            if (!readBlock(m_next.offset)) {
                break;
            }
        }
    }
}

void SceneLexer::pin(std::size_t offset) {
    assert(offset >= m_base);
    m_pin = offset;
}

std::string SceneLexer::text(std::size_t from, std::size_t to) const {
    assert(from >= m_base && from <= to && to <= bufferEnd());
    return std::string(byteAt(from), to - from);
}

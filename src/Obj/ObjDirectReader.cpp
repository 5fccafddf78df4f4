#include "ObjDirectReader.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "Mesh.h"
#include "ObjFileBuffer.h"

namespace {

const int MAX_FACE_CORNERS = 10;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The characters left to read; a reading that would pass end gives up.
struct SCursor {
    const char* p;
    const char* end;

    // Skips white space, line ends included, as formatted input does; false
    // when the buffered characters end first.
    bool skipSpace() {
        while (p != end && isSpace(*p)) ++p;
        return p != end;
    }
};

// Powers of ten that a float holds exactly.
const float POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// A plain decimal number followed by white space, converted as formatted
// input converts it: correctly rounded to float. False for anything else,
// the cursor moved past white space at most.
bool readFloat(SCursor& c, float& value) {
    if (!c.skipSpace()) return false;
    const char* const start = c.p;
    const char* p = start;
    const bool negative = *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = 0;
    const char* const whole = p;
    for (; p != c.end && isDigit(*p); ++p, ++digits) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    if (p == whole) return false;
    if (p != c.end && *p == '.') {
        const char* const part = ++p;
        for (; p != c.end && isDigit(*p); ++p, ++digits, ++fraction) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        }
        if (p == part) return false;
    }
    if (p == c.end || !isSpace(*p)) return false;
    if (digits <= 19) {
        while (fraction > 0 && mantissa % 10 == 0) {
            mantissa /= 10;
            --fraction;
        }
        // Both operands are exact floats, so the one rounding of the
        // division gives the correctly rounded value.
        if (mantissa <= (std::uint64_t(1) << 24) && fraction <= 10) {
            const float magnitude = static_cast<float>(mantissa) / POWERS_OF_TEN[fraction];
            value = negative ? -magnitude : magnitude;
            c.p = p;
            return true;
        }
    }
    float parsed = 0;
    const std::from_chars_result result = std::from_chars(start, p, parsed);
    if (result.ec != std::errc() || result.ptr != p) return false;
    value = parsed;
    c.p = p;
    return true;
}

enum class EIndexRead { READ, NO_NUMBER, GIVE_UP };

// A face index: an optional sign and up to nine digits. NO_NUMBER when the
// next character could not begin one, so that formatted input would fail
// there without taking a character.
EIndexRead readIndex(SCursor& c, int& value) {
    if (!c.skipSpace()) return EIndexRead::GIVE_UP;
    const char* p = c.p;
    const bool signed_ = *p == '-' || *p == '+';
    if (signed_) ++p;
    const char* const digits = p;
    int parsed = 0;
    for (; p != c.end && isDigit(*p) && p - digits < 9; ++p) parsed = parsed * 10 + (*p - '0');
    if (p == digits) {
        return signed_ || p == c.end ? EIndexRead::GIVE_UP : EIndexRead::NO_NUMBER;
    }
    if (p == c.end || isDigit(*p)) return EIndexRead::GIVE_UP;
    value = *c.p == '-' ? -parsed : parsed;
    c.p = p;
    return EIndexRead::READ;
}

// A corner's separator: the next character that is not white space.
bool readSeparator(SCursor& c) {
    if (!c.skipSpace()) return false;
    ++c.p;
    return true;
}

// As the stream's face reading: corners in the syntax that the mesh's
// elements call for, until one does not begin with a number or there are
// ten. A corner that breaks off inside is left to the stream.
bool readFace(CMesh& mesh, SCursor& c) {
    const bool withTexture = mesh.hasTextureCoords();
    const bool withNormal = mesh.hasNormals();
    int v[MAX_FACE_CORNERS];
    int vt[MAX_FACE_CORNERS];
    int vn[MAX_FACE_CORNERS];
    int count = 0;
    for (; count < MAX_FACE_CORNERS; ++count) {
        vt[count] = 0;
        vn[count] = 0;
        const EIndexRead first = readIndex(c, v[count]);
        if (first == EIndexRead::NO_NUMBER) break;
        if (first == EIndexRead::GIVE_UP) return false;
        if (withTexture && (!readSeparator(c) || readIndex(c, vt[count]) != EIndexRead::READ)) {
            return false;
        }
        if (withNormal && ((!withTexture && !readSeparator(c)) || !readSeparator(c) ||
                           readIndex(c, vn[count]) != EIndexRead::READ)) {
            return false;
        }
    }
    SPolygonFace face;
    for (int i = 0; i < count; ++i) face.addVertTexNorm(v[i], vt[i], vn[i]);
    mesh.addFace(face);
    return true;
}

bool readThree(SCursor& c, float (&x)[3]) {
    return readFloat(c, x[0]) && readFloat(c, x[1]) && readFloat(c, x[2]);
}

}  // namespace

bool CObjDirectReader::skipCommentLines(CObjFileBuffer& buffer) {
    SCursor c{buffer.next(), buffer.end()};
    for (;;) {
        if (!c.skipSpace()) break;
        if (*c.p != '#') {
            buffer.consume(c.p);
            return true;
        }
        const void* const lineFeed = std::memchr(c.p, '\n', static_cast<std::size_t>(c.end - c.p));
        if (lineFeed == nullptr) break;
        c.p = static_cast<const char*>(lineFeed) + 1;
    }
    buffer.consume(c.p);
    return false;
}

bool CObjDirectReader::readStatement(CMesh& mesh, CObjFileBuffer& buffer) {
    SCursor c{buffer.next(), buffer.end()};
    const char* const keyword = c.p;
    while (c.p != c.end && !isSpace(*c.p)) ++c.p;
    if (c.p == c.end) return false;
    const auto length = static_cast<std::size_t>(c.p - keyword);
    float x[3] = {0, 0, 0};
    if (length == 1 && keyword[0] == 'f') {
        if (!readFace(mesh, c)) return false;
    } else if (length == 1 && keyword[0] == 'v') {
        if (!readThree(c, x)) return false;
        mesh.addVertex(SVertex(x[0], x[1], x[2]));
    } else if (length == 2 && keyword[0] == 'v' && keyword[1] == 'n') {
        if (!readThree(c, x)) return false;
        mesh.addNormal(SVertex(x[0], x[1], x[2]));
    } else if (length == 2 && keyword[0] == 'v' && keyword[1] == 't') {
        if (!readFloat(c, x[0]) || !readFloat(c, x[1])) return false;
        if (!readFloat(c, x[2])) {
            // "vt u v": the stream fails on the next statement's keyword
            // or comment without taking a character, and w stays 0.
            SCursor next = c;
            if (!next.skipSpace() || !(isLetter(*next.p) || *next.p == '#')) return false;
        }
        mesh.addTextureCoord(SVertex(x[0], x[1], x[2]));
    } else {
        return false;
    }
    buffer.consume(c.p);
    return true;
}

#include "split/part_record.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <map>

namespace {

const char* const FORMAT = "raytracer-part/1";

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A flat object of strings and whole numbers, the only values a record has.
class FlatObject {
public:
    explicit FlatObject(const std::string& text) : m_text(text) {
        skipSpace();
        expect('{');
        skipSpace();
        if (peek() == '}') {
            ++m_at;
        } else {
            for (;;) {
                skipSpace();
                const std::string key = string();
                skipSpace();
                expect(':');
                skipSpace();
                m_values[key] = peek() == '"' ? Value{true, string()} : Value{false, number()};
                skipSpace();
                if (peek() == ',') {
                    ++m_at;
                    continue;
                }
                expect('}');
                break;
            }
        }
        skipSpace();
        if (m_at != m_text.size()) fail("text after the record");
    }

    std::string text(const std::string& key) const {
        const Value& value = find(key);
        if (!value.isString) fail("\"" + key + "\" is not a string");
        return value.text;
    }

    int whole(const std::string& key, long low, long high) const {
        const Value& value = find(key);
        if (value.isString) fail("\"" + key + "\" is not a number");
        const long number = std::stol(value.text);
        if (number < low || number > high) fail("\"" + key + "\" is out of range");
        return static_cast<int>(number);
    }

private:
    struct Value {
        bool isString;
        std::string text;
    };

    [[noreturn]] static void fail(const std::string& why) { throw PartRecordError(why); }

    const Value& find(const std::string& key) const {
        const auto it = m_values.find(key);
        if (it == m_values.end()) fail("no \"" + key + "\"");
        return it->second;
    }

    static bool isHex(const std::string& digits) {
        if (digits.size() != 4) return false;
        for (const char d : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(d))) return false;
        }
        return true;
    }

    char peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }
    void expect(char c) {
        if (peek() != c) fail(std::string("not a record: '") + c + "' expected");
        ++m_at;
    }
    void skipSpace() {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) {
            ++m_at;
        }
    }

    std::string string() {
        expect('"');
        std::string out;
        for (;;) {
            if (m_at >= m_text.size()) fail("not a record: a string is not closed");
            const char c = m_text[m_at++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = peek();
            ++m_at;
            if (e == '"' || e == '\\' || e == '/') {
                out += e;
            } else if (e == 'u' && isHex(m_text.substr(m_at, 4))) {
                const unsigned code = std::stoul(m_text.substr(m_at, 4), nullptr, 16);
                if (code > 0x7f) fail("not a record: an escape beyond ASCII");
                out += static_cast<char>(code);
                m_at += 4;
            } else {
                fail("not a record: an unknown escape");
            }
        }
    }

    // Digits with an optional minus, at most 9 of them, so stol cannot fail.
    std::string number() {
        const std::size_t start = m_at;
        if (peek() == '-') ++m_at;
        const std::size_t digits = m_at;
        while (std::isdigit(static_cast<unsigned char>(peek()))) ++m_at;
        if (m_at == digits || m_at - digits > 9) fail("not a record: a value is not a whole number");
        return m_text.substr(start, m_at - start);
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    std::map<std::string, Value> m_values;
};

}  // namespace

std::string pixelOptionsText(int width, int height, int antialias, bool shadows) {
    std::string text = "+W" + std::to_string(width) + " +H" + std::to_string(height) + " +A" +
                       std::to_string(antialias);
    return shadows ? text : text + " -shadows";
}

std::string partChecksum(const std::string& sceneText, const std::string& options) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (const char c : sceneText) add(static_cast<unsigned char>(c));
    add(0);
    for (const char c : options) add(static_cast<unsigned char>(c));
    char text[32];
    std::snprintf(text, sizeof text, "fnv1a64:%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string partRecordJson(const PartRecord& r) {
    return std::string("{\"format\": ") + quoted(FORMAT) +
           ", \"width\": " + std::to_string(r.width) + ", \"height\": " + std::to_string(r.height) +
           ",\n \"first_row\": " + std::to_string(r.firstRow) +
           ", \"last_row\": " + std::to_string(r.lastRow) +
           ", \"first_column\": " + std::to_string(r.firstColumn) +
           ", \"last_column\": " + std::to_string(r.lastColumn) + ",\n \"scene\": " +
           quoted(r.scene) + ", \"options\": " + quoted(r.options) +
           ",\n \"checksum\": " + quoted(r.checksum) + "}\n";
}

PartRecord parsePartRecord(const std::string& text) {
    const FlatObject object(text);
    if (object.text("format") != FORMAT) {
        throw PartRecordError("not a part record of this program's form (" + std::string(FORMAT) +
                              ")");
    }
    PartRecord r;
    r.width = object.whole("width", 1, INT_MAX);
    r.height = object.whole("height", 1, INT_MAX);
    r.firstRow = object.whole("first_row", 1, r.height);
    r.lastRow = object.whole("last_row", r.firstRow, r.height);
    r.firstColumn = object.whole("first_column", 1, r.width);
    r.lastColumn = object.whole("last_column", r.firstColumn, r.width);
    r.scene = object.text("scene");
    r.options = object.text("options");
    r.checksum = object.text("checksum");
    return r;
}

// The block-wise token scan against a byte-by-byte reading of the same text:
// the same tokens at the same places, whatever bytes the text holds (nulls,
// carriage returns, comments) and wherever the blocks of the stream end.
#include "scene_lexer.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Token {
    std::string text;
    std::size_t offset;
    std::size_t line;
    std::size_t column;

    bool operator==(const Token& other) const {
        return text == other.text && offset == other.offset && line == other.line &&
               column == other.column;
    }
};

std::ostream& operator<<(std::ostream& out, const Token& token) {
    return out << token.line << ":" << token.column << " @" << token.offset << " \""
               << token.text << "\" (" << token.text.size() << " bytes)";
}

// One byte at a time, as the separators and comments are defined.
std::vector<Token> readByBytes(const std::string& text) {
    const std::string separators(" \n\t<>,{}");
    std::vector<Token> tokens;
    std::size_t line = 1;
    std::size_t lineStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (separators.find(text[i]) != std::string::npos) {
            if (text[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && separators.find(text[i]) == std::string::npos) {
            ++i;
        }
        if (text.compare(start, 2, "//") == 0) {
            i = std::min(text.find('\n', start), text.size());
            continue;
        }
        tokens.push_back({text.substr(start, i - start), start, line, start - lineStart + 1});
    }
    return tokens;
}

std::vector<Token> readByLexer(const std::string& text) {
    std::istringstream in(text);
    SceneLexer lexer(in);
    std::vector<Token> tokens;
    std::string_view token;
    TokenPlace place;
    while (lexer.next(token, place)) {
        tokens.push_back({std::string(token), place.offset, place.line, place.column()});
    }
    return tokens;
}

}  // namespace

TEST(SceneLexer, ReadsEveryTextAsTheByteByByteScan) {
    using namespace std::string_literals;
    for (const std::string& text :
         {""s, "\0"s, "a\0b c"s, "\0\0 \0"s, " \n\n x"s, "<1,2>\r\n3"s, "// all\n//\nx//y z"s,
          "a //b\n c"s, "/"s, "x\n// to the end"s, "\t{}\0"s}) {
        ASSERT_EQ(readByLexer(text), readByBytes(text)) << text;
    }
    // Texts of up to several blocks from the bytes that matter to the scan,
    // and long tokens, separator runs and comments across the block ends.
    std::mt19937_64 random(3);
    const std::string alphabet("ab1.-/ \n\t<>,{}\r\0", 16);
    for (int i = 0; i < 60; ++i) {
        std::string text;
        const std::size_t size = random() % 300000;
        while (text.size() < size) {
            const auto kind = random() % 16;
            const auto run = 1 + (kind == 0 ? random() % 100000 : random() % 12);
            text.append(run, alphabet[random() % alphabet.size()]);
        }
        ASSERT_EQ(readByLexer(text), readByBytes(text)) << "text " << i;
    }
}

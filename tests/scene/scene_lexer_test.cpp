// The block-wise token scan against a byte-by-byte reading of the same text:
// the same tokens at the same places, whatever bytes the text holds (nulls,
// carriage returns, comments) and wherever the blocks of the stream end.
#include "scene/scene_lexer.h"

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

// In batches of what lies in the text read so far, and next for the token
// that stops a batch, as the streaming reader takes them.
std::vector<Token> readInBatches(const std::string& text, std::size_t batch) {
    std::istringstream in(text);
    SceneLexer lexer(in);
    std::vector<Token> tokens;
    std::vector<std::string_view> views(batch);
    std::vector<TokenPlace> places(batch);
    for (;;) {
        const std::size_t moves = lexer.textMoves();
        const std::size_t got = lexer.nextInBuffer(views.data(), places.data(), batch);
        EXPECT_EQ(lexer.textMoves(), moves) << "a batch read from the stream";
        for (std::size_t i = 0; i < got; ++i) {
            tokens.push_back({std::string(views[i]), places[i].offset, places[i].line,
                              places[i].column()});
        }
        if (got == 0) {
            if (!lexer.next(views[0], places[0])) {
                return tokens;
            }
            tokens.push_back({std::string(views[0]), places[0].offset, places[0].line,
                              places[0].column()});
        }
    }
}

}  // namespace

TEST(SceneLexer, ReadsEveryTextAsTheByteByByteScan) {
    using namespace std::string_literals;
    for (const std::string& text :
         {""s, "\0"s, "a\0b c"s, "\0\0 \0"s, " \n\n x"s, "<1,2>\r\n3"s, "// all\n//\nx//y z"s,
          "a //b\n c"s, "/"s, "x\n// to the end"s, "\t{}\0"s}) {
        ASSERT_EQ(readByLexer(text), readByBytes(text)) << text;
        ASSERT_EQ(readInBatches(text, 3), readByBytes(text)) << text;
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
        const std::vector<Token> expected = readByBytes(text);
        ASSERT_EQ(readByLexer(text), expected) << "text " << i;
        ASSERT_EQ(readInBatches(text, 1 + i % 70), expected) << "text " << i;
    }
}

TEST(SceneLexer, BatchesTakeOnlyWhatTheTextReadSoFarHolds) {
    using namespace std::string_literals;
    std::istringstream in("a b // c\nd\0e f"s);
    SceneLexer lexer(in);
    std::string_view views[8];
    TokenPlace places[8];
    // Nothing read yet: no batch, and the stream untouched.
    EXPECT_EQ(lexer.nextInBuffer(views, places, 8), 0u);
    EXPECT_EQ(in.tellg(), 0);
    ASSERT_TRUE(lexer.next(views[0], places[0]));
    EXPECT_EQ(views[0], "a");
    // Up to the comment, which the general scan skips.
    ASSERT_EQ(lexer.nextInBuffer(views, places, 8), 1u);
    EXPECT_EQ(views[0], "b");
    EXPECT_EQ(lexer.nextInBuffer(views, places, 8), 0u);
    ASSERT_TRUE(lexer.next(views[0], places[0]));
    // The token with a null in it is the general scan's too.
    EXPECT_EQ(views[0], std::string_view("d\0e", 3));
    EXPECT_EQ(places[0].line, 2u);
    // The last token ends the text: the scan must see whether more follows.
    EXPECT_EQ(lexer.nextInBuffer(views, places, 8), 0u);
    ASSERT_TRUE(lexer.next(views[0], places[0]));
    EXPECT_EQ(views[0], "f");
    EXPECT_EQ(lexer.lastEnd().offset, 14u);
    EXPECT_FALSE(lexer.next(views[0], places[0]));
}

// The braces between two tokens: how far they take the depth and how low it
// goes on the way; those in a comment do not count.
TEST(SceneLexer, BracesBetweenTokensCountOutsideComments) {
    const auto steps = [](const std::string& between) {
        const BraceSteps counted = braceSteps(between);
        return std::to_string(counted.net) + " " + std::to_string(counted.lowest);
    };
    EXPECT_EQ(steps(" "), "0 0");
    EXPECT_EQ(steps(" { <"), "1 0");
    EXPECT_EQ(steps(">, } } {\n\t{ "), "0 -2");
    EXPECT_EQ(steps("} {"), "0 -1");
    EXPECT_EQ(steps(" // } } {\n } "), "-1 -1");
    EXPECT_EQ(steps(" { //{ } with no line feed"), "1 0");
    EXPECT_EQ(steps("{ //a\n//b }\n{"), "2 0");
}

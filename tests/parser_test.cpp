#include "parser.h"

#include <gtest/gtest.h>

#include "test_support.h"

using testing_support::tokensOf;
using testing_support::writeFile;
using Tokens = std::deque<std::string>;

TEST(Tokenizer, SeparatorsAreDroppedWhateverTheSpacing) {
    const Tokens expected = {"sphere", "0", "0", "0", "1"};
    EXPECT_EQ(tokensOf("sphere{<0,0,0>,1}"), expected);
    EXPECT_EQ(tokensOf("sphere { < 0 , 0 , 0 > , 1 }"), expected);
    EXPECT_EQ(tokensOf("\tsphere\n{\n<0,\n0, 0>,\t1\n}\n"), expected);
    EXPECT_TRUE(tokensOf("  \t<>{},,\n\n").empty());
}

TEST(Tokenizer, CommentsStartOnlyAtTheBeginningOfAToken) {
    EXPECT_TRUE(tokensOf("// a whole line\n//another").empty());
    EXPECT_EQ(tokensOf("sphere // a ball 1 2 3\nplane"), (Tokens{"sphere", "plane"}));
    EXPECT_EQ(tokensOf("1.0//note sphere//note / x"), (Tokens{"1.0//note", "sphere//note", "/", "x"}));
    EXPECT_EQ(tokensOf("/* block */"), (Tokens{"/*", "block", "*/"}));
    // Carriage return is no separator: CR LF files keep it on the last token.
    EXPECT_EQ(tokensOf("sphere\r\n1\r\n"), (Tokens{"sphere\r", "1\r"}));
}

TEST(Tokenizer, ReadsWholeFilesAndReportsUnreadableOnes) {
    Tokens tokens;
    tokenize_file(writeFile("t.pov", "camera {\nlocation <1, 2, 3>}\n// end"), tokens);
    EXPECT_EQ(tokens, (Tokens{"camera", "location", "1", "2", "3"}));
    tokens.clear();
    tokenize_file(writeFile("no_newline.pov", "a b"), tokens);
    EXPECT_EQ(tokens, (Tokens{"a", "b"}));
    tokens.clear();
    tokenize_file(writeFile("empty.pov", ""), tokens);
    EXPECT_TRUE(tokens.empty());

    try {
        tokenize_file(testing_support::tempDir() + "/missing.pov", tokens);
        FAIL() << "a missing file must not read as an empty scene";
    } catch (const SceneError& e) {
        EXPECT_STREQ(e.what(), "cannot open scene file: No such file or directory");
    }
    try {
        tokenize_file(testing_support::tempDir(), tokens);
        FAIL() << "a directory must not read as an empty scene";
    } catch (const SceneError& e) {
        EXPECT_STREQ(e.what(), "cannot read scene file: Is a directory");
    }
}

TEST(Parser, NumbersFollowStreamExtraction) {
    EXPECT_EQ(Parser::parse_double(std::string("1e2")), 100);
    EXPECT_EQ(Parser::parse_double(std::string("-.5")), -0.5);
    EXPECT_EQ(Parser::parse_double(std::string("+3")), 3);
    EXPECT_EQ(Parser::parse_double(std::string("2abc")), 2);
    EXPECT_EQ(Parser::parse_double(std::string("1.0//note")), 1.0);
    EXPECT_EQ(Parser::parse_double(std::string("7\r")), 7);
    for (const char* bad : {"x2", "sphere", "", ".", "-", "nan", "inf", "1e999", "1e"}) {
        try {
            Parser::parse_double(std::string(bad));
            FAIL() << "accepted " << bad;
        } catch (const SceneError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("expected a number, found \"") + bad + "\" (condition 'ss')");
        }
    }
}

TEST(Parser, QueueReadersConsumeFromTheFront) {
    Tokens tokens = {"1", "2", "3", "4", "rest"};
    EXPECT_EQ(Parser::parse_vector(tokens), Vector3(1, 2, 3));
    EXPECT_EQ(Parser::parse_double(tokens), 4);
    EXPECT_EQ(tokens, Tokens{"rest"});

    testing::internal::CaptureStdout();
    tokens = {"color", "rgb", "1", "0.5", "0", "next"};
    const Color c = Parser::parse_color(tokens);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "parsed color: <1, 0.5, 0>\n");
    EXPECT_EQ(c.r, 1);
    EXPECT_EQ(c.g, 0.5);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(tokens, Tokens{"next"});
}

TEST(Parser, AnEmptyQueueIsASceneErrorNotACrash) {
    const std::string message =
        "expected a number, found the end of the file (condition '!tokens.empty()')";
    Tokens tokens;
    EXPECT_THROW(Parser::parse_double(tokens), SceneError);
    tokens = {"1", "2"};
    try {
        Parser::parse_vector(tokens);
        FAIL();
    } catch (const SceneError& e) {
        EXPECT_EQ(e.what(), message);
    }
    for (const Tokens& shortColor : {Tokens{}, Tokens{"color"}, Tokens{"color", "rgb", "1"}}) {
        tokens = shortColor;
        EXPECT_THROW(Parser::parse_color(tokens), SceneError);
    }
}

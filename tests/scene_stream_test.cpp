// The streaming reader against the whole token queue: the same output, the
// same scene and the same error at the same place, on generated and
// adversarial scenes and windows from the smallest up; and the places and
// words of errors as the user sees them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "main.h"
#include "scene_differential.h"
#include "scene_file.h"

namespace {

void expectSameReading(const SceneReading& seen, const SceneReading& whole, std::size_t window,
                       const std::string& text) {
    ASSERT_EQ(seen.out, whole.out) << window << ": " << text;
    ASSERT_EQ(seen.scene, whole.scene) << window << ": " << text;
    ASSERT_EQ(seen.error, whole.error) << window << ": " << text;
    ASSERT_EQ(seen.line, whole.line) << window << ": " << text;
    ASSERT_EQ(seen.column, whole.column) << window << ": " << text;
}

// Window 0 stands for the queue.
void expectSameReadings(const std::string& text) {
    const SceneReading whole = readWhole(text);
    for (const std::size_t window : {17, 18, 23, 64}) {
        expectSameReading(readStreaming(text, window), whole, window, text);
    }
    if (!readsBraces(text)) {
        expectSameReading(readQueue(text), whole, 0, text);
    }
}

// Scene text from the statements, modifiers and keywords of the language,
// with tokens dropped, stray keywords put anywhere and the end cut off.
class SceneWriter {
public:
    explicit SceneWriter(unsigned seed) : m_random(seed) {}

    std::string scene() {
        std::string text;
        const int statements = 1 + below(30);
        for (int i = 0; i < statements; ++i) {
            statement(text);
            text += below(4) == 0 ? "\r\n" : below(3) == 0 ? " // note x 1\n" : "\n";
        }
        return below(4) == 0 ? text.substr(0, below(static_cast<int>(text.size()) + 1)) : text;
    }

private:
    int below(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    void word(std::string& text, const std::string& token) {
        static const char* const stray[] = {
            "sphere",   "camera",       "box",   "pigment", "finish",  "ambient",
            "location", "up",           "color", "rgbf",    "x",       "1e",
            "7",        "light_source", "phong", "-0",      "look_at", "refraction"};
        if (below(40) == 0) {
            return;  // dropped
        }
        if (below(40) == 0) {
            text += std::string(stray[below(sizeof stray / sizeof *stray)]) + " ";
        }
        text += token + (below(6) == 0 ? ", " : below(5) == 0 ? "\n" : " ");
    }
    void number(std::string& text) {
        const char* const numbers[] = {"0", "1", "-2.5", "0.25", "1e-3", "3"};
        word(text, numbers[below(6)]);
    }
    void vector(std::string& text) {
        for (int i = 0; i < 3; ++i) number(text);
    }
    void modifiers(std::string& text) {
        static const char* const items[] = {"ambient", "diffuse",    "specular",   "roughness",
                                            "ior",     "reflection", "refraction", "phong"};
        for (int count = below(5); count > 0; --count) {
            if (below(6) == 0) {
                word(text, "pigment { checker color rgb <");
                vector(text);
                word(text, "> color rgb <");
                vector(text);
                transforms(text);
                word(text, "> }");
                transforms(text);
            } else if (below(2) == 0) {
                const bool filter = below(2) == 0;
                word(text, "pigment { color");
                word(text, filter ? "rgbf <" : "rgb <");
                vector(text);
                if (filter) number(text);
                word(text, "> }");
            } else {
                word(text, "finish {");
                for (int item = below(6); item > 0; --item) {
                    word(text, items[below(8)]);
                    number(text);
                }
                word(text, "}");
            }
        }
    }
    // Transforms, inside a pigment's braces or after them.
    void transforms(std::string& text) {
        static const char* const words[] = {"translate <", "rotate <", "scale"};
        for (int count = below(4) == 0 ? below(3) : 0; count > 0; --count) {
            const int which = below(3);
            word(text, words[which]);
            if (which < 2 || below(2) == 0) {
                vector(text);
            } else {
                number(text);
            }
        }
    }
    void lightModifiers(std::string& text) {
        static const char* const flags[] = {"spotlight", "parallel", "shadowless", "jitter"};
        static const char* const numbers[] = {"radius", "falloff", "tightness", "fade_distance",
                                              "fade_power"};
        for (int count = below(4); count > 0; --count) {
            switch (below(4)) {
                case 0:
                    word(text, flags[below(4)]);
                    break;
                case 1:
                    word(text, numbers[below(5)]);
                    number(text);
                    break;
                case 2:
                    word(text, "point_at <");
                    vector(text);
                    break;
                default:
                    word(text, "area_light <");
                    vector(text);
                    vector(text);
                    word(text, below(2) == 0 ? "2, 3" : "1 1");
            }
        }
    }
    void statement(std::string& text) {
        static const char* const keys[] = {"location", "up",       "right",       "look_at",
                                           "angle",    "aperture", "focal_point", "blur_samples"};
        switch (below(7)) {
            case 0:
                word(text, "camera {");
                for (int key = below(7); key > 0; --key) {
                    const int which = below(5) == 0 ? below(8) : below(4);
                    word(text, keys[which]);
                    if (which == 4 || which == 5 || which == 7) {
                        number(text);
                    } else {
                        vector(text);
                    }
                }
                word(text, "}");
                break;
            case 1:
                word(text, "light_source {");
                vector(text);
                word(text, "color rgb");
                vector(text);
                lightModifiers(text);
                word(text, "}");
                break;
            case 2:
                word(text, "sphere {");
                vector(text);
                number(text);
                modifiers(text);
                break;
            case 3:
                word(text, "plane {");
                vector(text);
                number(text);
                modifiers(text);
                break;
            case 4:
                word(text, "triangle {");
                for (int i = 0; i < 3; ++i) vector(text);
                modifiers(text);
                break;
            case 5:
                word(text, "box {");
                vector(text);
                vector(text);
                modifiers(text);
                break;
            default:
                if (below(3) == 0) {
                    word(text, "background { color rgb <");
                    vector(text);
                    word(text, "> }");
                } else if (below(2) == 0) {
                    word(text, "fog { distance");
                    number(text);
                    word(text, "color rgb <");
                    vector(text);
                    word(text, "> }");
                } else {
                    word(text, "global_settings { ambient_light rgb <1, 1, 1> }");
                }
        }
    }

    std::mt19937 m_random;
};

std::string errorLine(const std::string& text) {
    return readStreaming(text, kSceneWindow).report;
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

}  // namespace

TEST(SceneStream, GeneratedScenesReadAsTheWholeQueueReadsThem) {
    for (unsigned seed = 0; seed < 1500; ++seed) {
        expectSameReadings(SceneWriter(seed).scene());
    }
}

TEST(SceneStream, StatementsThatCrossTheWindowReadAsTheWholeQueueReadsThem) {
    const std::string sphere = "sphere { <0, 0, 0>, 1 ";
    for (const std::string& text : std::vector<std::string>{
             // Modifiers and camera keys far longer than any window.
             sphere +
                 repeated("finish { ambient 0.1 diffuse 0.2 } pigment { color rgb <1, 0, 0> } ",
                          40),
             "camera { " + repeated("location <0, 0, 1> up <0, 1, 0> ", 30) + "} sphere",
             // A statement keyword consumed as a value, as words dropped unseen.
             sphere + "pigment sphere rgb <1, 2, 3> } } sphere { <0, 0, 0>, 2 }",
             "light_source { <0, 0, 0> sphere box <1, 1, 1> } camera",
             // Fewer than 17 tokens left at a camera, near and at the end.
             repeated("x ", 30) + "camera { location <0, 0, 1> look_at <0, 0, 0> }",
             repeated("x ", 30) + "camera { location <0, 0, 1> look_at <0, 0, 0> } a b c d e",
             // Cut short in the middle of a long statement.
             sphere + repeated("finish { ambient 1 } ", 30) + "finish { diffuse",
             // A pigment's transforms inside its braces, far more than any
             // window holds, with comments between them.
             sphere + "pigment { checker color rgb <1, 0, 0> color rgb <0, 0, 1> " +
                 repeated("translate <0.5, 0, 0> // }\n scale 1.5 ", 30) + "} scale 2 }",
             // Comments and lines of separators between tokens.
             sphere + repeated("// finish\n{,<>}\t\n", 50) + "finish { ambient 2 }",
         }) {
        expectSameReadings(text);
    }
}

TEST(SceneStream, ScenesOfManyBlocksReadAsTheWholeQueueReadsThem) {
    // Statements across the ends of the stream's blocks, where the text that
    // the window's tokens point into moves: long statements, comments, and
    // errors and cuts far into the file.
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) {
        text += "triangle { <" + std::to_string(i) +
                ", 0, 1>, <0, 1, 0>, <1, 0, 0> pigment { color rgb <1, 0.5, 0> } ";
        if (i % 97 == 0) {
            text += repeated("finish { ambient 0.1 diffuse 0.5 } ", 20);
        }
        if (i % 31 == 0) {
            text += "// a comment { with <1, 2> }\n";
        }
        text += "}\n";
    }
    for (const char* const end : {"", "sphere { <0, 0, x> }", "box { <0, 0, 0>, <1, 1"}) {
        expectSameReadings(text + end);
    }
    for (const std::size_t cut : {65535, 65536, 65537, 131077, 200003}) {
        expectSameReadings(text.substr(0, cut));
    }
}

TEST(SceneStream, ErrorsNameTheLineAndColumnOfTheOffendingToken) {
    // The first line.
    EXPECT_EQ(errorLine("sphere { <0, x, 0>, 1 }"),
              "scene.pov:1:14: expected a number after \"sphere { <0,\", found \"x\" "
              "(condition 'ss')");
    // Mid-file, after statements that were read.
    EXPECT_EQ(errorLine("light_source { <0, 5, 0> color rgb <1, 1, 1> }\n"
                        "sphere { <0, 1, 2>, 0.5 }\n"
                        "  plane { <0, 1, 0>, -1 pigment { color rgb <1, zero, 0> } }\n"),
              "scene.pov:3:49: expected a number after \"color rgb <1,\", found \"zero\" "
              "(condition 'ss')");
    // After comments, which count as lines but not as text before the token.
    EXPECT_EQ(errorLine("// a comment with x 1 2\n// and another\n"
                        "box { <0, 0, 0> // the first corner\n"
                        "  <1, 1, 1> finish { diffuse -1 } }"),
              "scene.pov:4:30: expected a non-negative number after \"1> finish { diffuse\", "
              "found \"-1\" (condition 'diffuse >= 0')");
    // The end of the file: just after the last token, whatever follows it.
    EXPECT_EQ(errorLine("sphere { <0, 0, 0>, 1 }\nbox { <0, 0, 0>, <1, 1,\n\n// the end\n"),
              "scene.pov:2:23: expected a number after \"0>, <1, 1\", found the end of the file "
              "(condition '!tokens.empty()')");
    // Carriage returns are bytes of the line: they count in columns.
    EXPECT_EQ(errorLine("sphere { <0, 0, 0>, 1 }\r\n\r\nsphere { <0, 1, y> }\r\n"),
              "scene.pov:3:17: expected a number after \"sphere { <0, 1,\", found \"y\" "
              "(condition 'ss')");
    // The camera's count is checked at its keyword.
    EXPECT_EQ(errorLine("sphere { <0, 0, 0>, 1 }\n\tcamera { location <0, 0, 5> }"),
              "scene.pov:2:2: expected at least 17 tokens from \"camera\" to the end of the file, "
              "found 5 (condition 'tokens.size() >= tokensLeft')");
    EXPECT_EQ(errorLine("sphere { <0, 0, 0>, 1 }\n"), "no error");
}

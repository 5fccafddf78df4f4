#include <gtest/gtest.h>

#include "main.h"
#include "program_exit.h"
#include "state.h"
#include "test_support.h"

using testing_support::resetGlobals;
using testing_support::writeFile;

namespace {

class Startup : public testing::Test {
protected:
    void SetUp() override { resetGlobals(); }
    void TearDown() override { resetGlobals(); }

    std::string parseArgs(std::vector<const char*> args) {
        testing::internal::CaptureStdout();
        parse_args(static_cast<int>(args.size()), args.data());
        return testing::internal::GetCapturedStdout();
    }

    // The ProgramExit that ends reading the arguments.
    ProgramExit endOf(std::vector<const char*> args) {
        testing::internal::CaptureStdout();
        try {
            parse_args(static_cast<int>(args.size()), args.data());
        } catch (const ProgramExit& end) {
            testing::internal::GetCapturedStdout();
            return end;
        }
        testing::internal::GetCapturedStdout();
        ADD_FAILURE() << "parse_args returned";
        return ProgramExit("", -1);
    }

    std::string initializeWith(const std::string& scene) {
        gInputFileName = writeFile("startup.pov", scene);
        testing::internal::CaptureStdout();
        initialize();
        return testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST_F(Startup, ArgumentsMatchByPrefixAndLaterValuesWin) {
    EXPECT_EQ(parseArgs({"+W640", "+W320", "+H200", "+Iscene.pov"}),
              "Int portion: 640\nInt portion: 320\nInt portion: 200\n");
    EXPECT_EQ(gPixelWidth, 320);
    EXPECT_EQ(gPixelHeight, 200);
    EXPECT_EQ(gInputFileName, "scene.pov");
    EXPECT_FALSE(gInteractive);

    parseArgs({"+interactiveX", "-shadowsXYZ"});
    EXPECT_TRUE(gInteractive);
    EXPECT_TRUE(shadowsOff);
    EXPECT_EQ(gDrawMode, RAYTRACER);
    parseArgs({"+opengl"});
    EXPECT_EQ(gDrawMode, OPENGL);
    // "+I" is tested before "+interactive", case-sensitively.
    parseArgs({"+Interactive"});
    EXPECT_EQ(gInputFileName, "nteractive");
    EXPECT_EQ(parseArgs({"+Wabc", "+H12px"}), "Int portion: abc\nInt portion: 12px\n");
    EXPECT_EQ(gPixelWidth, 0);
    EXPECT_EQ(gPixelHeight, 12);
}

TEST_F(Startup, UnknownArgumentEndsWithStatus255) {
    const ProgramExit end = endOf({"+W4", "-x", "+H3"});
    EXPECT_EQ(end.status(), 255);
    EXPECT_EQ(end.stream(), ProgramExit::Stream::Out);
    EXPECT_STREQ(end.what(), "Unknown argument: -x");  // no line break
    EXPECT_EQ(gPixelWidth, 4);
    EXPECT_EQ(gPixelHeight, 96);  // nothing after it is read
}

TEST_F(Startup, NewOptionsComeAfterTheOldOnesAndRefuseBadValues) {
    EXPECT_EQ(parseArgs({"+Ofirst.ppm", "+A4", "+Oout.PNG", "+A16"}), "");
    EXPECT_EQ(gOutputName, "out.PNG");
    EXPECT_EQ(gAntialias, 16);
    // Still the input file "nteractive", not an option.
    parseArgs({"+Interactive"});
    EXPECT_EQ(gInputFileName, "nteractive");

    for (const char* bad : {"+A0", "+A17", "+A", "+A4x", "+A-2", "+A 4", "+A99999999999999999999"}) {
        const ProgramExit end = endOf({bad});
        EXPECT_EQ(end.status(), 255) << bad;
        EXPECT_EQ(std::string(end.what()), std::string("Invalid argument: ") + bad +
                                               " (+A<n> takes a whole number from 1 to 16)\n");
    }
    EXPECT_EQ(gAntialias, 16);
    EXPECT_STREQ(endOf({"+O"}).what(), "Invalid argument: +O (+O<file> needs a file name)\n");

    // --help, -h and --version are whole words.
    for (const char* word : {"--help", "-h"}) {
        const ProgramExit help = endOf({word, "-x"});
        EXPECT_EQ(help.status(), 0);
        const std::string text = help.what();
        for (const char* option : {"+I<file>", "+W<int>", "+H<int>", "+O<file>", "+A<n>",
                                   "-shadows", "+interactive", "+opengl", "--version"}) {
            EXPECT_NE(text.find(std::string("\n  ") + option + " "), std::string::npos) << option;
        }
    }
    EXPECT_EQ(endOf({"--version"}).status(), 0);
    for (const char* near : {"--helpx", "-hx", "--version2"}) {
        EXPECT_EQ(std::string(endOf({near}).what()), std::string("Unknown argument: ") + near);
    }
}

TEST_F(Startup, HierarchyHoldsLeafCopiesThenInnerBoxes) {
    gInteractive = true;  // only a window can show the boxes
    const std::string printed = initializeWith(
        "sphere { <4, 0, 0>, 1 }\nplane { <0, 1, 0>, 0 }\n"
        "sphere { <0, 0, 0>, 1 }\ntriangle { <8, 0, 0>, <9, 0, 0>, <8, 1, 0> }\n");
    EXPECT_NE(printed.find("... done initializing.\nCreating bounding volume hierarchy...done.\n"),
              std::string::npos);
    EXPECT_EQ(printed.rfind("Initializing...\n", 0), 0u);
    // Three bounded objects: three leaf copies in scene order, then (P, Q)
    // over the two left-most by maximum x, then the root.
    ASSERT_EQ(gNodeList.size(), 5u);
    EXPECT_EQ(gNodeList[0]->getCorner1(), Vector3(3, -1, -1));
    EXPECT_EQ(gNodeList[1]->getCorner1(), Vector3(-1, -1, -1));
    EXPECT_EQ(gNodeList[2]->getCorner2(), Vector3(9, 1, 0));
    EXPECT_EQ(gNodeList[3]->getCorner1(), Vector3(-1, -1, -1));
    EXPECT_EQ(gNodeList[3]->getCorner2(), Vector3(5, 1, 1));
    EXPECT_EQ(gNodeList[4]->getCorner2(), Vector3(9, 1, 1));
    for (GeomObject* box : gNodeList) {
        EXPECT_EQ(box->leftChild, nullptr);
        EXPECT_EQ(box->finish.filter, 0.5);
    }
    for (int x = 0; x < gPixelWidth; ++x) {
        EXPECT_EQ(gImage[x][gPixelHeight - 1].r, 0);
    }
}

// Nothing shows the boxes in batch mode: none are made, and the output is
// the same as a window's.
TEST_F(Startup, BatchModeMakesNoDisplayBoxes) {
    const std::string scene = "sphere { <4, 0, 0>, 1 }\nsphere { <0, 0, 0>, 1 }\n";
    const std::string batch = initializeWith(scene);
    EXPECT_TRUE(gNodeList.empty());
    resetGlobals();
    gInteractive = true;
    EXPECT_EQ(initializeWith(scene), batch);
    EXPECT_EQ(gNodeList.size(), 3u);
}

TEST_F(Startup, SceneWithoutBoundedObjectsSkipsTheHierarchy) {
    gInteractive = true;
    EXPECT_NE(initializeWith("plane { <0, 1, 0>, 0 }").find("hierarchy...done.\n"),
              std::string::npos);
    EXPECT_TRUE(gNodeList.empty());
    initializeWith("");
    EXPECT_TRUE(gNodeList.empty());
}

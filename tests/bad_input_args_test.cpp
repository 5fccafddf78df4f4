// Catalogue of bad command lines, run through the built program: each row is
// a set of arguments, the exit status and the exact output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "main.h"
#include "test_support.h"

using testing_support::fileExists;
using testing_support::runRaytracer;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const char* const kScene =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1, 0, 0> look_at <0, 0, 0> }\n"
    "sphere { <0, 0, 0>, 1 }\n";

const std::string kUsage =
    std::string("Usage: ") + RT_BINARY + " +W<int> +H<int> +I<pov input file>\n";

std::string tooLarge(const std::string& scene, const std::string& width,
                     const std::string& height) {
    return scene + ": not enough memory for a " + width + " x " + height + " image and its scene\n";
}

// The side of a square image whose buffers need a little more than the
// machine's physical memory.
long sideBeyondMemory() {
    const double memory =
        static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
    return static_cast<long>(std::sqrt(memory / (sizeof(Color) + sizeof(ByteColor))) * 1.05) + 1;
}

}  // namespace

TEST(BadInputArgs, EveryRowEndsWithItsStatusAndMessage) {
    const std::string scene = writeFile("args.pov", kScene);
    const std::string side = std::to_string(sideBeyondMemory());
    const std::string longName = tempDir() + "/" + std::string(5000, 'n') + ".pov";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;  // the whole standard output, or its end after "..."
        std::string err;
    } rows[] = {
        {{"+W-5", "+I" + scene},
         255,
         "Int portion: -5\n" + kUsage,
         R"(raytracer: "+W-5": the width takes a whole number from 1 to 65535)"
         "\n"},
        {{"+H-99999999999", "+I" + scene},
         255,
         "Int portion: -99999999999\n" + kUsage,
         R"(raytracer: "+H-99999999999": the height takes a whole number from 1 to 65535)"
         "\n"},
        // Beyond the largest side: refused by the command line, not by the
        // memory (4294967297 once gave a width of 1).
        {{"+W4294967297", "+H1", "+I" + scene},
         255,
         "Int portion: 4294967297\nInt portion: 1\n" + kUsage,
         R"(raytracer: "+W4294967297": the width takes a whole number from 1 to 65535)"
         "\n"},
        // Not whole numbers: once read as 100, 64 and 64 pixels without a word.
        {{"+W1e2", "+I" + scene},
         255,
         "Int portion: 1e2\n" + kUsage,
         R"(raytracer: "+W1e2": the width takes a whole number from 1 to 65535)"
         "\n"},
        {{"+W64x", "+H64.5", "+I" + scene},
         255,
         "Int portion: 64x\nInt portion: 64.5\n" + kUsage,
         R"(raytracer: "+W64x": the width takes a whole number from 1 to 65535)"
         "\n"},
        // Refused before any allocation, where Linux could grant the address
        // space and then end the process while the buffer is zeroed.
        {{"+W" + side, "+H" + side, "+I" + scene},
         1,
         "...Initializing...\n",
         tooLarge(scene, side, side)},
        {{"+I" + longName},
         1,
         "...Initializing...\n",
         longName + ": cannot open scene file: File name too long\n"},
        {{"+W4", "-\x01\x7f", "+I" + scene},
         255,
         "Int portion: 4\nUnknown argument: -\x01\x7f",
         R"(raytracer: "-\x01\x7f": unknown argument (raytracer --help lists the options))"
         "\n"},
        {{"+W4", "+A17", "+I" + scene},
         255,
         "Int portion: 4\nInvalid argument: +A17 (+A<n> takes a whole number from 1 to 16)\n",
         R"(raytracer: "+A17": +A<n> takes a whole number from 1 to 16)"
         "\n"},
        {{"+I" + scene, "+O"},
         255,
         "Invalid argument: +O (+O<file> needs a file name)\n",
         R"(raytracer: "+O": +O<file> needs a file name)"
         "\n"},
        {{"+W4", "+H3"},
         255,
         "Int portion: 4\nInt portion: 3\n" + kUsage,
         "raytracer: no scene file given (+I<file>)\n"},
        {{"+I" + scene, "--threads", "0"},
         255,
         "Invalid argument: --threads 0\n",
         R"(raytracer: "--threads 0": --threads takes a whole number from 1 to 1024)"
         "\n"},
        {{"+I" + scene, "--threads"},
         255,
         "Invalid argument: --threads \n",
         R"(raytracer: "--threads ": --threads takes a whole number from 1 to 1024)"
         "\n"},
    };
    for (const auto& row : rows) {
        const auto run = runRaytracer(row.args, tempDir());
        const std::string& first = row.args.front();
        EXPECT_EQ(run.status, row.status) << first;
        if (row.out.rfind("...", 0) == 0) {
            const std::string end = row.out.substr(3);
            ASSERT_GE(run.out.size(), end.size()) << first;
            EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end) << first;
        } else {
            EXPECT_EQ(run.out, row.out) << first;
        }
        EXPECT_EQ(run.err, row.err) << first;
        EXPECT_FALSE(fileExists(tempDir() + "/args.ppm")) << first;
    }
}

TEST(BadInputArgs, ThousandsOfArgumentsAreReadInALoop) {
    const std::string scene = writeFile("many.pov", kScene);
    std::vector<std::string> args(5000, "-shadows");
    args.push_back("+W2");
    args.push_back("+H2");
    args.push_back("+I" + scene);
    const auto run = runRaytracer(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(tempDir() + "/many.ppm"));
}

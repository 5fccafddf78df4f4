// The image file as users get it from the built program: a PNG or a PPM
// under the name they choose, and an old image that survives every failed or
// interrupted write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

using testing_support::entriesOf;
using testing_support::linesOf;
using testing_support::readFile;
using testing_support::runRaytracer;
using testing_support::runShell;
using testing_support::tempDir;
using testing_support::withoutWarnings;

namespace {

const char* const kScene =
    "camera { location <0, 0, 10> up <0, 1, 0> right <1.33, 0, 0> look_at <0, 0, 0> }\n"
    "light_source { <5, 5, 10> color rgb <1, 1, 1> }\n"
    "sphere { <0, 0, 0>, 3 pigment { color rgb <1, 0.4, 0.2> }\n"
    "  finish { ambient 0.1 diffuse 0.5 specular 0.3 } }\n"
    "plane { <0, 1, 0>, -3 pigment { color rgb <0.2, 0.8, 0.3> } }\n";

// A fresh folder under the test's temporary one, holding the scene.
std::string folderWithScene(const std::string& name) {
    const std::string dir = tempDir() + "/" + name;
    EXPECT_EQ(mkdir(dir.c_str(), 0700), 0);
    testing_support::writeFile(name + "/scene.pov", kScene);
    return dir;
}

// The pixel bytes of a PPM the program wrote.
std::string ppmPixels(const std::string& ppm) { return ppm.substr(ppm.find("\n255\n") + 5); }

struct Unmount {
    std::string dir;
    ~Unmount() { umount(dir.c_str()); }
};

}  // namespace

TEST(ImageOutput, PngHoldsThePpmPixelsWhateverTheCaseOfItsEnding) {
    const std::string dir = folderWithScene("png");
    const std::string scene = dir + "/scene.pov";
    // Odd sizes: no row of either format is a multiple of 4 bytes long.
    auto r = runRaytracer({"+W37", "+H23", "+I" + scene});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string ppm = readFile(dir + "/scene.ppm");

    const std::string png = dir + "/OUT.PnG";
    r = runRaytracer({"+W37", "+H23", "+O" + png, "+I" + scene});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(linesOf(r.out).back(), "Output filename: " + png);
    // A PNG by its signature, not one that ImageMagick guesses from the bytes.
    EXPECT_EQ(readFile(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    // Decoded by ImageMagick, not by the writer's own library.
    const auto decoded = runShell("convert '" + png + "' -depth 8 rgb:-");
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    EXPECT_EQ(decoded.out, ppmPixels(ppm));
    EXPECT_EQ(decoded.out.size(), 37u * 23 * 3);

    // Any other name gets the PPM, byte for byte.
    r = runRaytracer({"+W37", "+H23", "+O" + dir + "/other.png.ppm", "+I" + scene});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir + "/other.png.ppm"), ppm);
}

TEST(ImageOutput, StreamsAreWrittenDirectlyAndFoldersRefused) {
    const std::string dir = folderWithScene("streams");
    const std::string scene = dir + "/scene.pov";
    auto r = runRaytracer({"+W5", "+H4", "+I" + scene});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string ppm = readFile(dir + "/scene.ppm");

    // Into a pipe: the image follows the line that names it.
    r = runShell("{ '" RT_BINARY "' +W5 +H4 +O/dev/stdout '+I" + scene + "' | cat; }");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string line = "Output filename: /dev/stdout\n";
    ASSERT_NE(r.out.find(line), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(r.out.find(line) + line.size()), ppm);

    // A folder by the name: refused, and left as it was.
    ASSERT_EQ(mkdir((dir + "/taken.ppm").c_str(), 0700), 0);
    r = runRaytracer({"+W5", "+H4", "+O" + dir + "/taken.ppm", "+I" + scene});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, "draw_image(): " + dir + "/taken.ppm: Is a directory\n");
    EXPECT_TRUE(entriesOf(dir + "/taken.ppm").empty());
    EXPECT_EQ(entriesOf(dir), (std::vector<std::string>{"scene.pov", "scene.ppm", "taken.ppm"}));
}

TEST(ImageOutput, AFullOrReadOnlyFileSystemKeepsTheOldImage) {
    const std::string dir = folderWithScene("full");
    const std::string disk = dir + "/disk";
    ASSERT_EQ(mkdir(disk.c_str(), 0700), 0);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=16k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    const Unmount unmount{disk};
    const std::string image = disk + "/image.ppm";
    auto r = runRaytracer({"+W4", "+H4", "+O" + image, "+I" + dir + "/scene.pov"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string old = readFile(image);

    // 30000 bytes of pixels do not fit in 16 KiB.
    r = runRaytracer({"+W100", "+H100", "+O" + image, "+I" + dir + "/scene.pov"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(withoutWarnings(r.err), "draw_image(): " + image + ": No space left on device\n");
    EXPECT_EQ(readFile(image), old);
    EXPECT_EQ(entriesOf(disk), std::vector<std::string>{"image.ppm"});

    ASSERT_EQ(mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    r = runRaytracer({"+W2", "+H2", "+O" + image, "+I" + dir + "/scene.pov"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(withoutWarnings(r.err), "draw_image(): " + image + ": Read-only file system\n");
    EXPECT_EQ(readFile(image), old);
}

// SIGTERM or SIGINT while the image is traced: the program ends by the
// signal, and the image it would have replaced is still there, alone.
TEST(ImageOutput, SignalsDuringALongRenderKeepTheOldImage) {
    const std::string dir = folderWithScene("signals");
    // Many lights and a mirror: seconds of tracing on any machine.
    std::string scene = "camera { location <0, 0, 10> up <0, 1, 0> right <1.33, 0, 0> "
                        "look_at <0, 0, 0> }\n";
    for (int i = 0; i < 60; ++i) {
        scene += "light_source { <" + std::to_string(i - 30) + ", 8, 10> color rgb <0.02, "
                 "0.02, 0.02> }\n";
    }
    scene += "sphere { <0, 0, 0>, 3 pigment { color rgb <1, 1, 1> } finish { reflection 0.5 } }\n"
             "plane { <0, 1, 0>, -3 pigment { color rgb <1, 1, 1> } finish { reflection 0.5 } }\n";
    testing_support::writeFile("signals/long.pov", scene);
    const std::string image = dir + "/long.ppm";
    testing_support::writeFile("signals/long.ppm", "the old image");

    const std::string input = "+I" + dir + "/long.pov";
    for (const int signal : {SIGTERM, SIGINT}) {
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            setenv("OMP_NUM_THREADS", "2", 1);
            execl(RT_BINARY, RT_BINARY, "+W1600", "+H1200", input.c_str(), nullptr);
            _exit(127);
        }
        // The tracing threads exist once the render has begun.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (entriesOf("/proc/" + std::to_string(pid) + "/task").size() < 2 &&
               std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(pid, signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "signal " << signal << ": the render was not interrupted (status " << status << ")";
        EXPECT_EQ(readFile(image), "the old image");
        EXPECT_EQ(entriesOf(dir),
                  (std::vector<std::string>{"long.pov", "long.ppm", "scene.pov"}));
    }
}

#include "image/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "test_support.h"

using testing_support::entriesOf;
using testing_support::readFile;

namespace {

// A fresh folder holding one file, "image", with the text "old".
std::string folderWithOldFile(const std::string& name) {
    const std::string dir = testing_support::tempDir() + "/" + name;
    EXPECT_EQ(mkdir(dir.c_str(), 0700), 0);
    testing_support::writeFile(name + "/image", "old");
    return dir;
}

void writeNew(std::FILE* file) { std::fputs("new", file); }

}  // namespace

TEST(SafeWrite, ReplacesTheFileOnlyWithACompleteNewOne) {
    const std::string dir = folderWithOldFile("replace");
    const std::string image = dir + "/image";
    ASSERT_EQ(chmod(image.c_str(), 0640), 0);
    // A write that fails half-way, as on a full disk: the old file, alone.
    try {
        writeFileSafely(image, [](std::FILE* file) {
            std::fputs("half", file);
            throw std::system_error(ENOSPC, std::generic_category());
        });
        ADD_FAILURE() << "the failed write was not reported";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code().value(), ENOSPC);
    }
    EXPECT_EQ(readFile(image), "old");
    EXPECT_EQ(entriesOf(dir), std::vector<std::string>{"image"});

    // Through a symbolic link the file it leads to is replaced, keeping its
    // permissions; the link stays a link.
    ASSERT_EQ(symlink("image", (dir + "/link").c_str()), 0);
    writeFileSafely(dir + "/link", writeNew);
    EXPECT_EQ(readFile(image), "new");
    struct stat info;
    ASSERT_EQ(lstat((dir + "/link").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(image.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(entriesOf(dir), (std::vector<std::string>{"image", "link"}));
}

// A background job's ignored SIGINT stays ignored, and the handlers are put
// back once the file is written.
TEST(SafeWrite, LeavesSignalDispositionsAsItFoundThem) {
    const std::string dir = folderWithOldFile("ignored");
    std::signal(SIGINT, SIG_IGN);
    writeFileSafely(dir + "/image", [](std::FILE* file) {
        std::raise(SIGINT);
        writeNew(file);
    });
    EXPECT_EQ(readFile(dir + "/image"), "new");
    struct sigaction action;
    sigaction(SIGINT, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
    sigaction(SIGTERM, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

// A signal while the temporary file exists removes it and still ends the
// program by that signal, on whichever thread it arrives (raise() on another
// thread signals that thread alone).
TEST(SafeWriteDeathTest, SignalsWhileWritingLeaveTheOldFileAlone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Each child runs the test again from its start. It takes the parent's
    // folder from the environment, so that the folder checked below is the
    // one the children wrote in, and makes no temporary folder of its own
    // (which, killed by the signal, it could never remove).
    const char* const variable = "RT_SAFE_WRITE_SIGNAL_DIR";
    const char* const given = std::getenv(variable);
    const bool child = given != nullptr;
    const std::string dir = child ? std::string(given) : folderWithOldFile("signals");
    if (!child) {
        ASSERT_EQ(setenv(variable, dir.c_str(), 1), 0);
    }
    const std::string image = dir + "/image";
    for (const bool otherThread : {false, true}) {
        for (const int signal : {SIGTERM, SIGINT}) {
            EXPECT_EXIT(writeFileSafely(image,
                                        [=](std::FILE* file) {
                                            std::fputs("half", file);
                                            std::fflush(file);
                                            if (otherThread) {
                                                std::thread([=] { std::raise(signal); }).join();
                                            } else {
                                                std::raise(signal);
                                            }
                                            writeNew(file);
                                        }),
                        testing::KilledBySignal(signal), "")
                << otherThread;
        }
    }
    unsetenv(variable);
    EXPECT_EQ(readFile(image), "old");
    EXPECT_EQ(entriesOf(dir), std::vector<std::string>{"image"});
}

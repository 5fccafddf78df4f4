#include "safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "test_support.h"

using testing_support::entriesOf;
using testing_support::readFile;
using testing_support::tempDir;

namespace {

// A fresh folder holding one file, "image", with the text "old".
std::string folderWithOldFile(const std::string& name) {
    const std::string dir = tempDir() + "/" + name;
    EXPECT_EQ(mkdir(dir.c_str(), 0700), 0);
    testing_support::writeFile(name + "/image", "old");
    return dir;
}

void writeNew(std::FILE* file) { std::fputs("new", file); }

// The errno that writeFileSafely reports for the name.
int failure(const std::string& name,
            const std::function<void(std::FILE*)>& write = writeNew) {
    try {
        writeFileSafely(name, write);
    } catch (const std::system_error& error) {
        return error.code().value();
    }
    return 0;
}

mode_t modeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

}  // namespace

TEST(SafeWrite, ReplacesTheFileOnlyWithACompleteNewOne) {
    const std::string dir = folderWithOldFile("replace");
    const std::string image = dir + "/image";
    ASSERT_EQ(chmod(image.c_str(), 0640), 0);

    // A write that fails half-way (a full disk, as the writer meets it), and
    // one that fails otherwise: the old file, and nothing else.
    EXPECT_EQ(failure(image,
                      [](std::FILE* file) {
                          std::fputs("half", file);
                          throw std::system_error(ENOSPC, std::generic_category());
                      }),
              ENOSPC);
    EXPECT_THROW(writeFileSafely(image, [](std::FILE*) { throw std::runtime_error("no"); }),
                 std::runtime_error);
    EXPECT_EQ(readFile(image), "old");
    EXPECT_EQ(entriesOf(dir), std::vector<std::string>{"image"});

    writeFileSafely(image, writeNew);
    EXPECT_EQ(readFile(image), "new");
    EXPECT_EQ(modeOf(image) & 07777, 0640u);  // the replaced file's permissions
    EXPECT_EQ(entriesOf(dir), std::vector<std::string>{"image"});

    // A new file gets what the umask leaves of 0666, as fopen gives it.
    const mode_t mask = umask(027);
    writeFileSafely(dir + "/fresh", writeNew);
    umask(mask);
    EXPECT_EQ(modeOf(dir + "/fresh") & 07777, 0640u);
}

TEST(SafeWrite, LinksFoldersAndDevices) {
    const std::string dir = folderWithOldFile("kinds");
    // Through a symbolic link the file it leads to is replaced; the link stays.
    ASSERT_EQ(symlink("image", (dir + "/link").c_str()), 0);
    writeFileSafely(dir + "/link", writeNew);
    EXPECT_EQ(readFile(dir + "/image"), "new");
    EXPECT_TRUE(S_ISLNK([&] {
        struct stat info;
        lstat((dir + "/link").c_str(), &info);
        return info.st_mode;
    }()));

    EXPECT_EQ(failure(dir), EISDIR);
    EXPECT_EQ(failure(dir + "/missing/image"), ENOENT);
    EXPECT_EQ(entriesOf(dir), (std::vector<std::string>{"image", "link"}));

    // Devices are written in place and never replaced.
    EXPECT_EQ(failure("/dev/null"), 0);
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));
    EXPECT_EQ(failure("/dev/full"), ENOSPC);
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/full")));
}

TEST(SafeWrite, IgnoredSignalsStayIgnoredAndHandlersAreRestored) {
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
// program by the signal, whichever thread receives it.
TEST(SafeWriteDeathTest, SignalsWhileWritingLeaveTheOldFileAlone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = folderWithOldFile("signals");
    const std::string image = dir + "/image";
    for (const int signal : {SIGTERM, SIGINT}) {
        EXPECT_EXIT(writeFileSafely(image,
                                    [signal](std::FILE* file) {
                                        std::fputs("half", file);
                                        std::fflush(file);
                                        std::raise(signal);
                                        writeNew(file);
                                    }),
                    testing::KilledBySignal(signal), "");
    }
    // raise() on another thread sends the signal to that thread only.
    EXPECT_EXIT(writeFileSafely(image,
                                [](std::FILE* file) {
                                    std::fputs("half", file);
                                    std::thread([] { std::raise(SIGTERM); }).join();
                                    writeNew(file);
                                }),
                testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(readFile(image), "old");
    EXPECT_EQ(entriesOf(dir), std::vector<std::string>{"image"});
}

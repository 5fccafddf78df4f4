#pragma once

// The built program in its window modes, driven like a user would: keys and
// mouse through xdotool, the picture read back with ImageMagick's import.
// Every window is killed by its test; every wait is bounded.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"
#include "vector3.h"

namespace window_driver {

const std::string PREVIEW = RT_SOURCE_DIR "/preview";
const auto TIMEOUT = std::chrono::seconds(20);

struct Rgb {
    int r, g, b;
};

// A window's picture, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::string bytes;
    // (-1, -1, -1) outside the picture, also for an empty one (a failed read).
    Rgb at(const Vector3& pixel) const {
        if (pixel.x < 0 || pixel.x >= width || pixel.y < 0 || pixel.y >= height) {
            return {-1, -1, -1};
        }
        const std::size_t i =
            3 * (static_cast<std::size_t>(pixel.y) * width + static_cast<std::size_t>(pixel.x));
        return {static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1]),
                static_cast<unsigned char>(bytes[i + 2])};
    }
};

// The pixel bytes of a binary PPM with maximum value 255.
inline Picture readPpm(const std::string& path) {
    Picture picture;
    const std::string file = testing_support::readFile(path);
    std::size_t pos = 0;
    int fields[3] = {0, 0, 0};
    if (file.compare(0, 2, "P6") != 0) return picture;
    pos = 2;
    for (int& field : fields) {
        while (pos < file.size() && std::isspace(static_cast<unsigned char>(file[pos]))) ++pos;
        const std::size_t start = pos;
        while (pos < file.size() && std::isdigit(static_cast<unsigned char>(file[pos]))) ++pos;
        field = std::atoi(file.substr(start, pos - start).c_str());
    }
    ++pos;  // the single white space after the maximum value
    if (fields[2] != 255 || file.size() < pos + 3u * fields[0] * fields[1]) return picture;
    picture.width = fields[0];
    picture.height = fields[1];
    picture.bytes = file.substr(pos, 3u * fields[0] * fields[1]);
    return picture;
}

template <typename Condition>
bool waitUntil(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + TIMEOUT;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

inline int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos;
         pos = text.find(part, pos + 1))
        ++count;
    return count;
}

// The raytracer running in a window, in the preview folder, its standard
// output and error going to one file; killed when the test is done with it.
class Window {
public:
    // Runs in dir, the preview folder unless a test says otherwise.
    explicit Window(const std::vector<std::string>& args, const std::string& dir = PREVIEW) {
        const std::string out = out_;
        std::vector<std::string> argv = {RT_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> raw;
        for (std::string& arg : argv) raw.push_back(&arg[0]);
        raw.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || chdir(dir.c_str()) != 0) _exit(127);
            dup2(fd, 1);
            dup2(fd, 2);
            execv(raw[0], raw.data());
            _exit(127);
        }
        const bool found = waitUntil([this] {
            id_ = testing_support::runShell("xdotool search --name '^3D Ray Tracer$'").out;
            return !id_.empty() || exited();
        });
        while (!id_.empty() && std::isspace(static_cast<unsigned char>(id_.back()))) id_.pop_back();
        EXPECT_TRUE(found && id_.find('\n') == std::string::npos) << "one window expected: " << id_;
    }
    ~Window() {
        if (!exited()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool exited() {
        if (status_ < 0 && waitpid(pid_, &status_, WNOHANG) != pid_) status_ = -1;
        return status_ >= 0;
    }
    // The wait status once the program has ended, else -1.
    int status() { return exited() ? status_ : -1; }
    const std::string& id() const { return id_; }
    std::string output() const { return testing_support::readFile(out_); }
    // Waits until the output holds text at least count times.
    bool waitFor(const std::string& text, int count = 1) const {
        const bool seen = waitUntil([&] { return occurrences(output(), text) >= count; });
        EXPECT_TRUE(seen) << "waiting for \"" << text << "\" x" << count << "; output:\n"
                          << output();
        return seen;
    }
    void xdotool(const std::string& commands) const {
        const auto run = testing_support::runShell("timeout 10 xdotool " + commands);
        EXPECT_EQ(run.status, 0) << commands << ": " << run.err;
    }
    void key(const std::string& keys) const { xdotool("key --window " + id_ + " " + keys); }
    void moveTo(int x, int y) const {
        xdotool("mousemove --window " + id_ + " " + std::to_string(x) + " " + std::to_string(y));
    }
    void resize(int width, int height) const {
        xdotool("windowsize " + id_ + " " + std::to_string(width) + " " + std::to_string(height));
    }
    Picture picture() const {
        const std::string path = testing_support::tempDir() + "/window.ppm";
        testing_support::runShell("timeout 10 import -window " + id_ + " -depth 8 ppm:'" + path +
                                  "'");
        return readPpm(path);
    }

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string out_ = testing_support::tempDir() + "/window.out";
    std::string id_;
};

// Writes a picture to the test's working directory; returns its name.
inline std::string keep(const Picture& picture, const std::string& name) {
    const std::string file = "window_test_" + name + ".ppm";
    std::ofstream(file, std::ios::binary) << "P6\n"
                                          << picture.width << " " << picture.height << "\n255\n"
                                          << picture.bytes;
    return file;
}

// Waits for the window to show the picture; keeps what it showed last in
// the test's working directory under name when it never does.
inline bool showsPicture(const Window& window, const Picture& expected, const std::string& name) {
    Picture shown;
    const bool same = waitUntil([&] {
        shown = window.picture();
        return shown.width == expected.width && shown.bytes == expected.bytes;
    });
    EXPECT_TRUE(same) << "the window (" << shown.width << " x " << shown.height
                      << ") differs from the " << expected.width << " x " << expected.height
                      << " batch image: " << keep(shown, name);
    return same;
}

}  // namespace window_driver

#include "test_support.h"

#include <png.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "main.h"
#include "parser.h"

namespace testing_support {

std::string tempDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/rt_test_XXXXXX";
        const char* made = mkdtemp(pattern);
        const std::string path = made != nullptr ? made : "/tmp";
        static const std::string removal = "rm -rf '" + path + "'";
        std::atexit([] { (void)std::system(removal.c_str()); });
        return path;
    }();
    return dir;
}

std::string writeFile(const std::string& name, const std::string& content) {
    const std::string path = tempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* folder = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void resetGlobals() {
    gObjects.clear();
    lights.clear();
    gNodeList.clear();
    camera = Camera(Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), 0, 0);
    gInputFileName.clear();
    gPixelWidth = 128;
    gPixelHeight = 96;
    gInteractive = false;
    gDrawMode = RAYTRACER;
    shadowsOff = false;
    gBvhStep = 0;
    gOutputName.clear();
    gAntialias = 1;
    gRotate = 0;
}

std::string allBytes() {
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    return bytes;
}

std::deque<std::string> tokensOf(const std::string& text) {
    std::deque<std::string> tokens;
    std::istringstream in(text);
    tokenize_stream(in, tokens);
    return tokens;
}

RunResult runShell(const std::string& command) {
    const std::string out = tempDir() + "/run.out";
    const std::string err = tempDir() + "/run.err";
    const int raw = std::system((command + " >'" + out + "' 2>'" + err + "' </dev/null").c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
}

RunResult runRaytracer(const std::vector<std::string>& args, const std::string& dir) {
    std::string command = "cd '" + dir + "' && '" RT_BINARY "'";
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    return runShell(command);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::string withoutWarnings(const std::string& err) {
    std::string kept;
    for (const std::string& line : linesOf(err)) {
        if (line.find(": warning: ") == std::string::npos) {
            kept += line + "\n";
        }
    }
    return kept;
}

int farApart(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        count += std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i])) > 1;
    }
    return count;
}

std::string writeQuadPng(const std::string& name) {
    const std::string path = tempDir() + "/" + name;
    const unsigned char bytes[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 2;
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, bytes, 0, nullptr) == 0) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

}  // namespace testing_support

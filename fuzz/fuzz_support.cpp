#include "fuzz_support.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fuzz_support {

void silenceOutput() {
    // On failure stdout is closed, which silences it just as well.
    static_cast<void>(std::freopen("/dev/null", "w", stdout));
    // A stream without a buffer formats nothing at all.
    std::cout.rdbuf(nullptr);
    std::cerr.rdbuf(nullptr);
}

const std::string& privateDir() {
    static const std::string dir = [] {
        const std::string base = std::filesystem::temp_directory_path() / "rt_fuzz_XXXXXX";
        std::string pattern = base;
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    static const struct Remover {
        ~Remover() {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    } remover;
    return dir;
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

}  // namespace fuzz_support

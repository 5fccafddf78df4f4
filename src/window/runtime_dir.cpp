#include "window/runtime_dir.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool holdsRuntimeFiles(const std::string& dir) {
    static const char* const FILES[] = {
        "VNormalMap.glsl",         "FNormalMap.glsl",   "VPhong.glsl",
        "FPhong.glsl",             "texture/PLANE_1.bmp", "texture/BOX_1.bmp",
        "texture/brick-normal.bmp", "Data/TyraNormals.bmp", "Data/Tyra.obj"};
    for (const char* file : FILES) {
        std::error_code error;
        if (fs::exists(fs::path(dir) / file, error)) return true;
    }
    return false;
}

std::string firstRuntimeDir(const std::vector<std::string>& candidates) {
    for (const std::string& dir : candidates) {
        if (holdsRuntimeFiles(dir)) return dir;
    }
    return "";
}

std::vector<std::string> runtimeDirCandidates() {
    std::vector<std::string> candidates = {"."};
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back((executable.parent_path() / "../share/raytracer/preview").string());
    }
    candidates.emplace_back(RT_SOURCE_PREVIEW_DIR);
    return candidates;
}

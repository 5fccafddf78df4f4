#pragma once

#include <string>
#include <vector>

// Where the window modes find their runtime files: the shaders, textures and
// mesh that they read at fixed names relative to the working directory.

// True when dir holds any of the runtime files: it is then the runtime
// folder, and a file missing from it is named by its loader.
bool holdsRuntimeFiles(const std::string& dir);

// The first of the candidates that holds runtime files, or "" when none does.
std::string firstRuntimeDir(const std::vector<std::string>& candidates);

// The places to look, in order: the working directory ("."), the installed
// data folder beside the executable's bin/ (bin/../share/raytracer/preview)
// and the source tree's preview/.
std::vector<std::string> runtimeDirCandidates();

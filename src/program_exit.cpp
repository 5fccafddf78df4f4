#include "program_exit.h"

#include <cstdio>
#include <iostream>

void printErrorLine(const std::string& line) {
    std::cout << std::flush;
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

std::string ProgramExit::errorLine() const {
    if (m_status == 0) {
        return std::string();
    }
    if (!m_errorLine.empty()) {
        return m_errorLine;
    }
    std::string line = what();
    while (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    return m_stream == Stream::Err ? line : "raytracer: " + line;
}

#include "GLSL_helper.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "program_exit.h"

int NormalMapShader = 0;
int DiffuseShader = 0;
int ShadeProg = 0;

int printOglError(const char* file, int line) {
    int retCode = 0;
    GLenum glErr = glGetError();
    while (glErr != GL_NO_ERROR) {
        printErrorLine(std::string("glError in file ") + file + " @ line " + std::to_string(line) +
                       ": " + reinterpret_cast<const char*>(gluErrorString(glErr)));
        retCode = 1;
        glErr = glGetError();
    }
    return retCode;
}

namespace {

// The two info logs differ only in their queries and heading.
template <typename GetIv, typename GetLog>
void printInfoLog(GLuint object, GetIv getIv, GetLog getLog, const char* heading) {
    GLint infologLength = 0;
    printOpenGLError();
    getIv(object, GL_INFO_LOG_LENGTH, &infologLength);
    printOpenGLError();
    if (infologLength > 0) {
        auto* infoLog = static_cast<GLchar*>(std::malloc(infologLength));
        if (infoLog == nullptr) {
            throw ProgramExit("ERROR: Could not allocate InfoLog buffer\n", 1);
        }
        GLsizei charsWritten = 0;
        getLog(object, infologLength, &charsWritten, infoLog);
        std::cout << heading << ":\n" << infoLog << "\n\n";
        std::free(infoLog);
    }
    printOpenGLError();
}

}  // namespace

void printShaderInfoLog(GLuint shader) {
    printInfoLog(shader, glGetShaderiv, glGetShaderInfoLog, "Shader InfoLog");
}

void printProgramInfoLog(GLuint program) {
    printInfoLog(program, glGetProgramiv, glGetProgramInfoLog, "Program InfoLog");
}

GLint getUniLoc(GLuint program, const GLchar* name) {
    const GLint loc = glGetUniformLocation(program, name);
    if (loc == -1) {
        std::cout << "No such uniform named " << name << "\n";
    }
    printOpenGLError();
    return loc;
}

void getGLversion() {
    int major = 0;
    int minor = 0;
    const char* verstr = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (verstr == nullptr || std::sscanf(verstr, "%d.%d", &major, &minor) != 2) {
        std::cout << "Invalid GL_VERSION format " << major << " " << minor << "\n";
    }
    if (major <= 1) {
        // Nothing can be shown without shaders: a failure, not a normal end.
        throw ProgramExit("This shader example will not work due to opengl version, which is " +
                              std::to_string(major) + " " + std::to_string(minor) + " (" +
                              (verstr != nullptr ? verstr : "no version string") + ")\n",
                          1);
    }
}

char* textFileRead(const char* fn) {
    if (fn == nullptr) {
        return nullptr;
    }
    FILE* fp = std::fopen(fn, "rt");
    if (fp == nullptr) {
        return nullptr;
    }
    char* content = nullptr;
    if (std::fseek(fp, 0, SEEK_END) == 0) {
        const long count = std::ftell(fp);
        std::rewind(fp);
        if (count > 0) {
            content = static_cast<char*>(std::malloc(static_cast<std::size_t>(count) + 1));
            if (content != nullptr) {
                const std::size_t read = std::fread(content, 1, static_cast<std::size_t>(count), fp);
                content[read] = '\0';
            }
        }
    }
    std::fclose(fp);
    return content;
}

int textFileWrite(const char* fn, const char* s) {
    if (fn == nullptr || s == nullptr) {
        return 0;
    }
    FILE* fp = std::fopen(fn, "w");
    if (fp == nullptr) {
        return 0;
    }
    const std::size_t length = std::strlen(s);
    const std::size_t written = std::fwrite(s, 1, length, fp);
    std::fclose(fp);
    return written == length ? 1 : 0;
}

#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES
#endif
#include <GL/gl.h>
#include <GL/glext.h>

// The preview's two shader programs and the one in use (0: none), handles
// as glCreateProgram gives them; set up by the window's start-up.
extern int NormalMapShader;
extern int DiffuseShader;
extern int ShadeProg;

// Writes every pending OpenGL error to standard error with the place that
// checked; returns 1 when there was one.
int printOglError(const char* file, int line);
#define printOpenGLError() printOglError(__FILE__, __LINE__)

// Both throw ProgramExit (status 1) when the log cannot be buffered.
void printShaderInfoLog(GLuint shader);
void printProgramInfoLog(GLuint program);
// The uniform's location, -1 (reported) when the program has none of that name.
GLint getUniLoc(GLuint program, const GLchar* name);
// Throws ProgramExit (status 1) when the OpenGL version is below 2.
void getGLversion();
// The whole file, NUL-terminated, in a buffer the caller free()s; null when the
// file is missing or empty.
char* textFileRead(const char* fn);
int textFileWrite(const char* fn, const char* s);

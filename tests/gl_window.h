#pragma once

// An OpenGL context for in-process tests: one small GLUT window per test
// process, opened on first use and kept current. The test runs under a
// display (rt_add_gl_test).

#include <GL/glut.h>

inline void openTestWindow() {
    static const bool opened = [] {
        int argc = 1;
        char name[] = "gl_test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(64, 48);
        glutCreateWindow("gl_test");
        return true;
    }();
    (void)opened;
}

// What the window does besides drawing and following the input: it watches
// the scene file for saves, and it can be left so that main returns.
#include <GL/freeglut.h>

#include <cstdio>

#include "main.h"
#include "trace/render_job.h"
#include "viewer.h"
#include "window/scene_reload.h"

namespace {

// A save shows within two periods: one to see it, one to see it hold still.
const unsigned int POLL_MILLISECONDS = 250;

// GLUT's timer carries only an int, so the one watch of the window lives
// here. The first call, at start-up, takes the camera as the file gave it
// and the strictness of the run.
SceneWatch& sceneWatch(bool strict = false) {
    static SceneWatch watch(camera, strict);
    return watch;
}

void pollScene(int) {
    if (sceneWatch().poll()) {
        tracingIndex().clear();
        glutPostRedisplay();
    }
    // The reader's lines appear as they are printed, also when stdout is a file.
    std::fflush(stdout);
    glutTimerFunc(POLL_MILLISECONDS, pollScene, 0);
}

}  // namespace

void startWindowSession(bool strict) {
    sceneWatch(strict);
    glutTimerFunc(POLL_MILLISECONDS, pollScene, 0);
}

void leaveWindow() {
    glutLeaveMainLoop();
}

// Keyboard and mouse of the preview window. Every change posts a redisplay;
// messages go to standard output, flushed at once so that they can be
// followed while the window is open.
#include <GL/glut.h>

#include <cstdio>
#include <iostream>

#include "GLSL_helper.h"
#include "main.h"
#include "viewer.h"
#include "window/view_snapshot.h"
#include "window/view_statement.h"

namespace {

// Eye movement per pixel of a drag.
const double DRAG_STEP = 0.01;
const unsigned char ESCAPE = 27;

void switchShader(int program) {
    ShadeProg = program;
    std::cout << "Switching to shader " << ShadeProg << "\n";
}

// Moves the first light for one of the keys l, h, i, u, j, k. A scene
// without lights has nothing to move; returns whether anything moved.
bool moveFirstLight(unsigned char key) {
    if (lights.empty()) {
        return false;
    }
    Point& light = lights[0]->location;
    switch (key) {
        case 'l':
            light.x += LIGHT_MOVE;
            break;
        case 'h':
            light.x -= LIGHT_MOVE;
            break;
        case 'i':
            light.y += LIGHT_MOVE;
            break;
        case 'u':
            light.y -= LIGHT_MOVE;
            break;
        case 'j':
            light.z += LIGHT_MOVE;
            break;
        case 'k':
            light.z -= LIGHT_MOVE;
            break;
        default:
            return false;
    }
    return true;
}

}  // namespace

void keyCallback(unsigned char key, int, int) {
    switch (key) {
        case '1':
            // Steps through 0 .. gNodeList.size() boxes shown by the ray tracer.
            std::cout << "Adding bvh node " << gBvhStep << "\n";
            gBvhStep = (gBvhStep + 1) % (static_cast<int>(gNodeList.size()) + 1);
            break;
        case 'w':
            camera.zoom(0.1);
            break;
        case 's':
            camera.zoom(-0.1);
            break;
        case 'a':
            gRotate += 1;
            break;
        case 'd':
            gRotate -= 1;
            break;
        case 'm':
            switchShader(NormalMapShader);
            break;
        case 'n':
            switchShader(0);
            break;
        case 'b':
            switchShader(DiffuseShader);
            break;
        case 'c':
            // The view as scene text. Nothing changes, so nothing is redrawn.
            std::cout << viewStatements();
            std::fflush(stdout);
            return;
        case 'p':
            // The view saved as a picture; the window shows what it showed.
            saveViewPicture(tracingIndex());
            return;
        case 'q':
        case ESCAPE:
            leaveWindow();
            return;
        case 'l':
        case 'h':
        case 'i':
        case 'u':
        case 'j':
        case 'k':
            if (!moveFirstLight(key)) {
                return;
            }
            break;
        default:
            return;
    }
    std::fflush(stdout);
    glutPostRedisplay();
}

void mouseCallback(int button, int state, int x, int y) {
    if (state == GLUT_DOWN) {
        if (button == GLUT_LEFT_BUTTON) {
            std::cout << "Posting redisplay\n";
            glutPostRedisplay();
        } else if (button == GLUT_RIGHT_BUTTON) {
            zoomState = true;
            lastPos[1] = static_cast<float>(y);
        } else if (button == GLUT_MIDDLE_BUTTON) {
            shiftState = true;
            lastPos[0] = static_cast<float>(x);
            lastPos[1] = static_cast<float>(y);
        }
    } else if (state == GLUT_UP) {
        if (button == GLUT_RIGHT_BUTTON) {
            zoomState = false;
        } else if (button == GLUT_MIDDLE_BUTTON) {
            // The shift ends where the drag left the eye: the release adds no
            // move of its own, which would depend on where the pointer stops.
            shiftState = false;
            glutPostRedisplay();
        }
    }
    std::cout << "Mouse: (" << x << "," << y << ")\n";
    std::fflush(stdout);
}

// Right drag: vertical motion moves the eye along world z. Middle drag: the
// eye follows the pointer sideways and up (screen y grows downwards). The
// look-at point stays, so a shift also turns the view.
void mouseMotion(int x, int y) {
    if (zoomState) {
        const float dz = static_cast<float>(y) - lastPos[1];
        if (dz != 0) {
            camera.eye.z += dz * DRAG_STEP;
            lastPos[1] = static_cast<float>(y);
        }
    } else if (shiftState) {
        const float dx = static_cast<float>(x) - lastPos[0];
        const float dy = static_cast<float>(y) - lastPos[1];
        if (dx != 0) {
            camera.eye.x += dx * DRAG_STEP;
            lastPos[0] = static_cast<float>(x);
        }
        if (dy != 0) {
            camera.eye.y += dy * -DRAG_STEP;
            lastPos[1] = static_cast<float>(y);
        }
    }
    glutPostRedisplay();
}

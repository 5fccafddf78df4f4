// The preview window: interactive start-up, shader installation and the
// frame (ray-traced or rasterised).
#include "viewer.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <new>
#include <system_error>

#include "GLSL_helper.h"
#include "image/image_output.h"
#include "lighting/light_markers.h"
#include "main.h"
#include "program_exit.h"
#include "render.h"
#include "state.h"
#include "tex.h"
#include "trace/render_job.h"
#include "window/runtime_dir.h"

namespace {

// Compiles one shader, reporting errors and its info log; returns its status.
GLint compileShader(GLuint shader) {
    glCompileShader(shader);
    printOpenGLError();
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    printShaderInfoLog(shader);
    return compiled;
}

// A missing or empty shader file is named here; its null text then fails
// the installation.
char* readShaderFile(const char* file) {
    char* text = textFileRead(file);
    if (text == nullptr) {
        printErrorLine(std::string(file) + ": shader file missing or empty");
    }
    return text;
}

// The fragment text is read first, then the vertex text.
int installShaderFiles(int* handle, const char* vertexFile, const char* fragmentFile) {
    char* fragmentText = readShaderFile(fragmentFile);
    char* vertexText = readShaderFile(vertexFile);
    const int installed = InstallShader(handle, vertexText, fragmentText);
    std::free(vertexText);
    std::free(fragmentText);
    return installed;
}

void loadTextures() {
    const struct {
        const char* file;
        int name;
    } textures[] = {{"texture/PLANE_1.bmp", PLANE_TEX_NAME},
                    {"texture/BOX_1.bmp", CUBE_TEX_NAME},
                    {"texture/brick-normal.bmp", BRICK_TEX_NAME},
                    {"Data/TyraNormals.bmp", TYRA_TEX_ID}};
    for (const auto& texture : textures) {
        LoadTexture(texture.file, texture.name);
        // Repeating and linearly filtered, replacing LoadTexture's filters.
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
}

void drawRayTraced() {
    // The camera basis is checked when the first frame is traced: a scene
    // error leaves the window (see guarded) and ends the program.
    render(tracingIndex());
    fillPixelBuffer(gImage, pixelBuffer, gPixelWidth, gPixelHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The buffer's rows are packed: a row of 3 * width bytes has no padding
    // whatever the width, so OpenGL must not expect 4-byte aligned rows.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(gPixelWidth, gPixelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixelBuffer);
    glutSwapBuffers();
}

void vertex(const Point& p) {
    glVertex3f(static_cast<GLfloat>(p.x), static_cast<GLfloat>(p.y), static_cast<GLfloat>(p.z));
}

void drawLightMarker(const LightMarker& marker) {
    glColor3f(static_cast<GLfloat>(marker.color.r), static_cast<GLfloat>(marker.color.g),
              static_cast<GLfloat>(marker.color.b));
    if (marker.aimed || marker.area) {
        glBegin(GL_LINES);
        if (marker.aimed) {
            vertex(marker.at);
            vertex(marker.aimAt);
        }
        if (marker.area) {
            for (int i = 0; i < 4; ++i) {
                vertex(marker.corners[i]);
                vertex(marker.corners[(i + 1) % 4]);
            }
        }
        glEnd();
    }
    glPushMatrix();
    glTranslatef(static_cast<GLfloat>(marker.at.x), static_cast<GLfloat>(marker.at.y),
                 static_cast<GLfloat>(marker.at.z));
    const int slices = marker.radius < 0.5 ? 12 : 20;
    glutSolidSphere(marker.radius, slices, slices);
    glPopMatrix();
}

void drawPreview() {
    glUseProgram(static_cast<GLuint>(ShadeProg));
    if (ShadeProg != 0 && (ShadeProg == NormalMapShader || ShadeProg == DiffuseShader)) {
        const auto program = static_cast<GLuint>(ShadeProg);
        // Texture units; the plane, the boxes and the mesh bind theirs to unit 0.
        glUniform1i(getUniLoc(program, "planeTex"), 0);
        glUniform1i(getUniLoc(program, "cubeTex"), 1);
        glUniform1i(getUniLoc(program, "brickTex"), 1);
        if (!lights.empty()) {
            const Point& light = lights[0]->location;
            glUniform3f(getUniLoc(program, "LightPosition"), static_cast<GLfloat>(light.x),
                        static_cast<GLfloat>(light.y), static_cast<GLfloat>(light.z));
        }
        printOpenGLError();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glPushMatrix();
    gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.lookAt.x, camera.lookAt.y,
              camera.lookAt.z, camera.up.x, camera.up.y, camera.up.z);
    // After the view transform: the scene turns about the world y axis.
    glRotated(gRotate, 0, 1, 0);
    for (const GeomObject* object : gObjects) {
        object->glDraw();
    }
    printOpenGLError();
    gTyra.glDraw();
    // The lights' markers, in whatever state the objects left.
    for (const LightMarker& marker : lightMarkers(lights)) {
        drawLightMarker(marker);
    }
    glPopMatrix();
    glutSwapBuffers();
}

// Started outside the runtime folder, the window works in the installed or
// the source tree's one; the scene's name is made absolute first, so that it
// keeps naming the same file. Without any, nothing changes and the loaders
// name the files they miss.
void enterRuntimeDir() {
    const std::string dir = firstRuntimeDir(runtimeDirCandidates());
    if (dir.empty() || dir == ".") {
        return;
    }
    std::error_code error;
    const std::filesystem::path scene = std::filesystem::absolute(gInputFileName, error);
    if (error) {
        return;
    }
    std::filesystem::current_path(dir, error);
    if (!error) {
        gInputFileName = scene.string();
    }
}

// No exception may unwind through GLUT's C main loop. A callback's exception
// is kept, the loop is left, and runInteractive throws it again; callbacks
// that GLUT still delivers on the way out do nothing.
std::exception_ptr callbackFailure;

void guarded(const std::function<void()>& callback) {
    if (callbackFailure) {
        return;
    }
    try {
        callback();
    } catch (...) {
        callbackFailure = std::current_exception();
        glutLeaveMainLoop();
    }
}

void registerCallbacks() {
    glutDisplayFunc([] { guarded(display); });
    glutReshapeFunc([](int w, int h) { guarded([=] { reshapeCallback(w, h); }); });
    glutKeyboardFunc(
        [](unsigned char key, int x, int y) { guarded([=] { keyCallback(key, x, y); }); });
    glutMouseFunc([](int button, int state, int x, int y) {
        guarded([=] { mouseCallback(button, state, x, y); });
    });
    glutMotionFunc([](int x, int y) { guarded([=] { mouseMotion(x, y); }); });
}

}  // namespace

int InstallShader(int* ShaderHandlePtr, const GLchar* vShaderText, const GLchar* fShaderText) {
    if (vShaderText == nullptr || fShaderText == nullptr) {
        return 0;
    }
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(vertex, 1, &vShaderText, nullptr);
    glShaderSource(fragment, 1, &fShaderText, nullptr);
    const GLint vCompiled = compileShader(vertex);
    const GLint fCompiled = compileShader(fragment);
    // The caller's message completes these lines.
    if (!vCompiled || !fCompiled) {
        std::cout << "Error compiling the shader vertex: " << vCompiled << " frag: " << fCompiled;
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = glCreateProgram();
    *ShaderHandlePtr = static_cast<int>(program);
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    printOpenGLError();
    printProgramInfoLog(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::cout << "Error linking the shader program\n";
        return 0;
    }
    std::cout << "sucessfully installed shader\n";
    return 1;
}

int glInit() {
    glClearColor(0, 0, 0, 0.5f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    return 1;
}

int runInteractive(int* argc, char** argv, bool strict) {
    enterRuntimeDir();
    glutInit(argc, argv);
    // Leaving the loop (a failed callback, a closed window, the quit keys)
    // returns from it rather than ending the process there.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(gPixelWidth, gPixelHeight);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("3D Ray Tracer");
    // Through std::cout, as all standard output, so that -q silences it.
    std::cout << "Interaction directions:\n\n"
                 "Left mouse button: hold down and drag to change orientation\n"
                 "Middle mouse button: hold down and drag to shift horizontally or vertically\n"
                 "Right mouse button: hold down and drag vertically to move in and out of the "
                 "screen\n";

    loadTextures();
    getGLversion();
    printOpenGLError();
    if (!installShaderFiles(&NormalMapShader, "VNormalMap.glsl", "FNormalMap.glsl") ||
        !installShaderFiles(&DiffuseShader, "VPhong.glsl", "FPhong.glsl")) {
        // Nothing can be previewed without both programs: a failed start.
        throw ProgramExit("Error installing shader!\n", 1);
    }
    ShadeProg = NormalMapShader;
    glInit();

    registerCallbacks();
    startWindowSession(strict);
    std::fflush(stdout);
    glutMainLoop();
    if (callbackFailure) {
        std::rethrow_exception(callbackFailure);
    }
    return 0;
}

TraceIndexCache& tracingIndex() {
    static TraceIndexCache cache;
    return cache;
}

void display() {
    if (gDrawMode == RAYTRACER) {
        drawRayTraced();
    } else {
        drawPreview();
    }
    // Progress lines appear frame by frame, also when stdout is a file.
    std::fflush(stdout);
}

void reshapeCallback(int w, int h) {
    // The ray-traced view follows the window. The buffers are replaced before
    // the size globals change, so every walk over the image stays inside them;
    // when they cannot be had, the view keeps its previous size.
    const bool resized = gImage == nullptr || w != gPixelWidth || h != gPixelHeight;
    if (w > 0 && h > 0 && resized) {
        try {
            allocateImage(w, h);
            gPixelWidth = w;
            gPixelHeight = h;
        } catch (const std::bad_alloc&) {
            printErrorLine("not enough memory for a " + std::to_string(w) + " x " +
                           std::to_string(h) + " image; the view stays " +
                           std::to_string(gPixelWidth) + " x " + std::to_string(gPixelHeight));
        }
    }
    // The pixel step too: the window shows what a batch render of its size would.
    camera.xRes = gPixelWidth;
    camera.yRes = gPixelHeight;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A window shrunk to no height keeps a finite aspect.
    gluPerspective(60.0, static_cast<double>(w) / (h > 0 ? h : 1), 0.1, 50.0);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, w, h);
    glutPostRedisplay();
}

void fillPixelBuffer(Color* const* image, ByteColor* buffer, int width, int height) {
    // Every frame of the ray-traced view passes through here on the way to
    // the screen: the columns are split among the render's threads.
#pragma omp parallel for schedule(static)
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const Color& c = image[x][y];
            // The same bytes the PPM file gets.
            ByteColor& out = buffer[static_cast<std::size_t>(height - 1 - y) * width + x];
            out.r = channelByte(c.r);
            out.g = channelByte(c.g);
            out.b = channelByte(c.b);
        }
    }
}

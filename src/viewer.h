#pragma once

// The preview window: its start-up pieces and GLUT callbacks (viewer.cpp for
// the start-up and the frame, window/viewer_input.cpp for the keyboard and
// mouse, window/viewer_session.cpp for the scene file's live reload and for
// leaving), tied together by runInteractive.

#include "color.h"

class TraceIndexCache;

// Runs the interactive start-up and the GLUT loop, in the runtime folder
// (window/runtime_dir.h). Throws ProgramExit when a texture or the shaders
// cannot be set up; an exception of a window callback (a scene error found
// at the first frame) closes the window and comes out of it. strict: a
// reloaded scene that warns is refused as one that does not read.
int runInteractive(int* argc, char** argv, bool strict = false);

// Step of the light keys, in the single precision the keys move lights by.
const float LIGHT_MOVE = 0.4f;

// Compiles both shaders and links them into a program whose handle goes to
// *ShaderHandlePtr. Returns 1, or 0 when a text is missing (null), a shader
// does not compile or the program does not link; OpenGL never sees a null text.
int InstallShader(int* ShaderHandlePtr, const char* vShaderText, const char* fShaderText);

// The fixed OpenGL state of the window; returns 1.
int glInit();

// Draws the ray-traced view (RAYTRACER) or the rasterised preview (OPENGL).
void display();
// Makes the image buffers and the size globals follow the window.
void reshapeCallback(int w, int h);
void keyCallback(unsigned char key, int x, int y);
void mouseCallback(int button, int state, int x, int y);
void mouseMotion(int x, int y);

// Called once before the GLUT loop: watches the scene file (scene_reload.h)
// for saves. runInteractive calls it after registering the callbacks.
void startWindowSession(bool strict = false);
// Ends the GLUT loop, after which main returns.
void leaveWindow();
// The window's tracing index, kept from frame to frame: redraws that only
// move the camera or the lights reuse it, the box key changes the render
// list and so rebuilds it, and a reload clears it (the new objects may sit
// at the addresses of the freed ones, so an unchanged list of pointers does
// not mean unchanged objects).
TraceIndexCache& tracingIndex();

// Converts the top-row-first image (image[x][y]) into width * height byte
// triples with the bottom row first, as glDrawPixels reads them.
void fillPixelBuffer(Color* const* image, ByteColor* buffer, int width, int height);

#pragma once

// The program-wide state, defined in state.cpp: the scene, the image buffers,
// the command line's choices and the window's. Start-up (state.h), the scene
// reader (scene_file.h), the renderer (render.h), the image file
// (image/image_output.h) and the window (viewer.h) each declare their own
// entry points; main.cpp holds only main().

#include <string>
#include <vector>

#include "Tyra.h"
#include "camera.h"
#include "color.h"
#include "geom.h"
#include "light.h"

enum DrawMode { RAYTRACER = 0, OPENGL = 1 };

extern Tyra gTyra;
extern std::vector<GeomObject*> gNodeList;  // display copies of the hierarchy boxes
extern std::string gInputFileName;
extern Camera camera;
extern std::vector<GeomObject*> gObjects;  // scene objects in file order
extern std::vector<Light*> lights;

// gImage[x][y]: gPixelWidth columns of gPixelHeight colours, row 0 at the top.
extern Color** gImage;
// gPixelWidth x gPixelHeight bytes triples, bottom row first (OpenGL order).
extern ByteColor* pixelBuffer;
extern int gPixelWidth;
extern int gPixelHeight;
extern bool gInteractive;
extern DrawMode gDrawMode;
extern bool shadowsOff;
extern int gBvhStep;     // how many gNodeList boxes the renderer adds
extern std::string gOutputName;  // "+O": where the image goes; empty: next to the scene
extern int gAntialias;           // "+A": an n x n grid of rays per pixel, 1 to 16
extern double gRotate;   // preview rotation about y, degrees
extern bool zoomState;   // right button held
extern bool shiftState;  // middle button held
extern float lastPos[3];

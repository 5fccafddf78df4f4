#pragma once

// Program-wide state and the entry points of the ray tracer's driver: start-up
// (state.cpp), the scene file reader (scene_file.cpp), the renderer and PPM
// writer (render.cpp) and the window (viewer.cpp). main.cpp holds only main().

#include <cstddef>
#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

#include "camera.h"
#include "color.h"
#include "geom.h"
#include "light.h"
#include "Tyra.h"

enum DrawMode { RAYTRACER = 0, OPENGL = 1 };

// Fixed OpenGL texture object names of the preview's textures.
const int PLANE_TEX_NAME = 0;
const int CUBE_TEX_NAME = 1;
const int BRICK_TEX_NAME = 2;
const int TYRA_TEX_ID = 66;

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
extern int NormalMapShader;
extern int DiffuseShader;
extern int ShadeProg;

// Start-up (state.cpp).
int parse_int(const char* arg);
// Throws ProgramExit for an unknown or invalid argument (status 255) and for
// --help, -h and --version (status 0).
void parse_args(int argc, const char** argv);
// Allocates gImage and pixelBuffer for width x height (both at least 1),
// zeroed, and releases the previous ones. Throws std::bad_alloc, keeping the
// previous buffers, when the new ones cannot be had or would need more than
// the machine's physical memory.
void allocateImage(int width, int height);
// Appends a display copy of every bounded object's box and of every inner box
// of the hierarchy over them to gNodeList.
void buildHierarchy();
void initialize();
// Everything main() does; returns its exit status. Prints the text of a
// ProgramExit thrown on the way and returns its status.
int raytracerMain(int argc, char** argv);

// Scene reading (scene_file.cpp). parse_statements consumes a token queue
// whole; parse_file reads gInputFileName through read_scene, which gives the
// same output and scene as tokenizing the whole text and parse_statements,
// holding only a window of tokens (at least `window`, 17 or more) around the
// statement it reads. All append in file order and throw SceneError on input
// they cannot use, parse_file and read_scene with the error's place in the
// file; what was appended before the error stays in the lists.
constexpr std::size_t kSceneWindow = 64;
void parse_file(std::vector<GeomObject*>& objects, std::vector<Light*>& lights, Camera* camera);
void read_scene(std::istream& in, std::vector<GeomObject*>& objects, std::vector<Light*>& lights,
                Camera* camera, std::size_t window = kSceneWindow);
void parse_statements(std::deque<std::string>& tokens, std::vector<GeomObject*>& objects,
                      std::vector<Light*>& lights, Camera* camera);

// Rendering (render.cpp) and the image file (image_output.cpp).
struct RenderJob;
class TraceIndexCache;
// The render that the program-wide state describes (render_job.h); computes
// the camera basis with camera.vectorTransform(), which prints it and throws
// SceneError when it is not orthogonal.
RenderJob currentRenderJob();
// The same render seen through another camera whose rotation is toWorld.
RenderJob currentRenderJob(const Camera& view, const Matrix4x4& toWorld);
// Renders currentRenderJob() into gImage and scales it, printing the report
// on standard output; the index over the render list comes from the cache.
void render(TraceIndexCache& indexCache);
// The same with an index of its own.
void render();
Color raycast(const Ray& ray, const std::vector<GeomObject*>& objects,
              const std::vector<Light*>& lights, int recursionDepth);
Vector3 reflect(Vector3 d, Vector3 n);
Vector3 refract(Vector3 d, Vector3 n, double iorIn, double iorOut, bool* tir);
void scaleValues(Color** image);
// The output file name: the first ".pov" replaced by ".ppm", else ".ppm" appended.
std::string outputFileName(const std::string& inputFileName);
// A channel as written: c * 255 truncated to 16 bits, low byte; NaN gives 0.
unsigned char channelByte(double c);
// Writes the image to gOutputName, or next to the scene when it is empty: a
// PNG for a name ending in .png (any case), else a binary PPM. The file that
// held the name is replaced only by a complete image (see safe_write.h).
// Throws ProgramExit ("draw_image(): " and the system's reason, status 255).
void draw_image(Color** image);
// Writes the image to the file name as draw_image does, without its line on
// standard output; throws ProgramExit likewise.
void writeImageFile(const std::string& name, Color** image);

// The window (viewer.cpp): runs the interactive start-up and the GLUT loop,
// in the runtime folder (runtime_dir.h). Throws ProgramExit when a texture or
// the shaders cannot be set up; an exception of a window callback (a scene
// error found at the first frame) closes the window and comes out of it.
int runInteractive(int* argc, char** argv);

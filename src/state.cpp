#include "state.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>

#include "image/image_output.h"
#include "main.h"
#include "parser.h"
#include "program_exit.h"
#include "render.h"
#include "scene_file.h"
#include "viewer.h"

// Constructed in this order before main runs.
Tyra gTyra;
std::vector<GeomObject*> gNodeList;
std::string gInputFileName;
Camera camera;
std::vector<GeomObject*> gObjects;
std::vector<Light*> lights;

Color** gImage = nullptr;
ByteColor* pixelBuffer = nullptr;
int gPixelWidth = 128;
int gPixelHeight = 96;
bool gInteractive = false;
DrawMode gDrawMode = RAYTRACER;
bool shadowsOff = false;
int gBvhStep = 0;
std::string gOutputName;
int gAntialias = 1;
double gRotate = 0;
bool zoomState = false;
bool shiftState = false;
float lastPos[3] = {0, 0, 0};

int parse_int(const char* arg) {
    std::printf("Int portion: %s\n", arg + 2);
    // As atoi reads, but a number beyond the int range gives the nearest
    // int rather than undefined behaviour (atoi's) or a wrapped size.
    const long value = std::strtol(arg + 2, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

namespace {

bool startsWith(const char* arg, const char* prefix) {
    return std::strncmp(arg, prefix, std::strlen(prefix)) == 0;
}

const char* const HELP_TEXT =
    "Usage: raytracer +I<scene.pov> [options]\n"
    "Ray-traces the scene into an image file, or shows it in a window.\n"
    "  +I<file>      the scene to read (required)\n"
    "  +W<int>       image width in pixels (default 128)\n"
    "  +H<int>       image height in pixels (default 96)\n"
    "  +O<file>      the image file (default: the scene's name with .ppm); *.png writes a PNG\n"
    "  +A<n>         anti-aliasing: n x n rays per pixel, n from 1 to 16 (default 1)\n"
    "  -shadows      every light reaches every surface\n"
    "  +interactive  show the ray-traced image in a window\n"
    "  +opengl       show an OpenGL preview in a window\n"
    "  -h, --help    print this text and exit\n"
    "  --version     print the version and exit\n";

// A new option with a value it cannot take: named with what it needs.
ProgramExit invalidArgument(const char* arg, const char* need) {
    return ProgramExit(std::string("Invalid argument: ") + arg + " (" + need + ")\n", 255);
}

// "+A<n>": only the digits of a whole number from 1 to 16, nothing else.
int parseAntialias(const char* arg) {
    const char* digits = arg + 2;
    const std::size_t count = std::strspn(digits, "0123456789");
    // strtol gives LONG_MAX for more digits than a long holds: refused too.
    const long value =
        count > 0 && digits[count] == '\0' ? std::strtol(digits, nullptr, 10) : 0;
    if (value < 1 || value > 16) {
        throw invalidArgument(arg, "+A<n> takes a whole number from 1 to 16");
    }
    return static_cast<int>(value);
}

}  // namespace

void parse_args(int argc, const char** argv) {
    // One argument at a time, left to right; a loop rather than recursion so
    // that no argument count can exhaust the stack. The six prefix tests come
    // first: every argument one of them matches is theirs ("+Interactive" is
    // the input file "nteractive"), and the options below take the rest.
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (startsWith(arg, "+H")) {
            gPixelHeight = parse_int(arg);
        } else if (startsWith(arg, "+W")) {
            gPixelWidth = parse_int(arg);
        } else if (startsWith(arg, "+I")) {
            gInputFileName = arg + 2;
        } else if (startsWith(arg, "+interactive")) {
            gInteractive = true;
        } else if (startsWith(arg, "-shadows")) {
            shadowsOff = true;
        } else if (startsWith(arg, "+opengl")) {
            gInteractive = true;
            gDrawMode = OPENGL;
        } else if (startsWith(arg, "+O")) {
            if (arg[2] == '\0') {
                throw invalidArgument(arg, "+O<file> needs a file name");
            }
            gOutputName = arg + 2;
        } else if (startsWith(arg, "+A")) {
            gAntialias = parseAntialias(arg);
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            throw ProgramExit(HELP_TEXT, 0);
        } else if (std::strcmp(arg, "--version") == 0) {
            throw ProgramExit("raytracer " RT_VERSION "\n", 0);
        } else {
            // No line break follows the name.
            throw ProgramExit(std::string("Unknown argument: ") + arg, 255);
        }
    }
}

namespace {

// Linux may grant more address space than there is memory and then end the
// process while the buffers are zeroed, so an image whose buffers would need
// more than the machine's physical memory is refused before any allocation.
bool fitsInMemory(std::size_t columns, std::size_t rows) {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) {
        return true;  // unknown: the allocation itself decides
    }
    // In double: the exact product of two int sizes may not fit 64 bits.
    // The column pointers add less than a third to this; they are left out.
    const double needed = static_cast<double>(columns) * static_cast<double>(rows) *
                          static_cast<double>(sizeof(Color) + sizeof(ByteColor));
    return needed <= static_cast<double>(pages) * static_cast<double>(pageSize);
}

}  // namespace

void allocateImage(int width, int height) {
    const std::size_t columns = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t rows = static_cast<std::size_t>(std::max(height, 0));
    if (!fitsInMemory(columns, rows)) {
        throw std::bad_alloc();
    }
    // One block for all columns, so that releasing it needs no size; column 0
    // always exists to hold it.
    std::unique_ptr<Color[]> pixels(new Color[columns * rows]);  // black
    std::unique_ptr<Color*[]> image(new Color*[std::max<std::size_t>(columns, 1)]);
    image[0] = pixels.get();
    for (std::size_t x = 1; x < columns; ++x) {
        image[x] = pixels.get() + x * rows;
    }
    std::unique_ptr<ByteColor[]> bytes(new ByteColor[columns * rows]());
    if (gImage != nullptr) {
        delete[] gImage[0];
        delete[] gImage;
    }
    delete[] pixelBuffer;
    pixels.release();
    gImage = image.release();
    pixelBuffer = bytes.release();
}

void buildHierarchy() {
    std::vector<GeomObject*> bounded;
    for (GeomObject* object : gObjects) {
        if (object->isBounded()) {
            Box* leaf = new Box(object->getCorner1(), object->getCorner2());
            leaf->leftChild = object;
            bounded.push_back(leaf);
            gNodeList.push_back(new Box(object->getCorner1(), object->getCorner2()));
        }
    }
    // Equal keys may end in any order; a stable sort keeps them in scene order
    // and stays within the list whatever the keys are.
    std::stable_sort(bounded.begin(), bounded.end(), xSort);
    // Only the display copies in gNodeList are kept: nothing traces the tree.
    if (!bounded.empty()) {
        destroyBvhTree(buildBvhTree(bounded, gNodeList));
    }
}

void initialize() {
    std::cout << "Initializing...\n";
    allocateImage(gPixelWidth, gPixelHeight);
    parse_file(gInputFileName, {gPixelWidth, gPixelHeight}, gObjects, lights, &camera);
    std::cout << "... done initializing.\n";

    std::cout << "Creating bounding volume hierarchy..." << std::flush;
    // Only a window can show the hierarchy's boxes (the box key); a batch
    // render has no use for them.
    if (gInteractive) {
        buildHierarchy();
    }
    std::cout << "done.\n";
}

namespace {

// Prints the text of a ProgramExit after everything printed before it.
int reportExit(const ProgramExit& exit) {
    std::fflush(stdout);
    std::fputs(exit.what(), exit.stream() == ProgramExit::Stream::Err ? stderr : stdout);
    std::fflush(stdout);
    return exit.status();
}

}  // namespace

int raytracerMain(int argc, char** argv) {
    try {
        parse_args(argc - 1, const_cast<const char**>(argv + 1));
        if (gPixelWidth <= 0 || gPixelHeight <= 0 || gInputFileName.empty()) {
            const std::string program = argc > 0 ? argv[0] : "raytracer";
            throw ProgramExit("Usage: " + program + " +W<int> +H<int> +I<pov input file>\n", 255);
        }
        std::printf("Valid args accepted\n");
        std::printf("Width: %d\n", gPixelWidth);
        std::printf("Height: %d\n", gPixelHeight);
        std::printf("Input file: %s\n", gInputFileName.c_str());
        initialize();
        if (!gInteractive) {
            render();
            draw_image({gImage, gPixelWidth, gPixelHeight});
            return 0;
        }
        // Its scene errors (a camera checked at the first frame) end up below.
        return runInteractive(&argc, argv);
    } catch (const SceneError& error) {
        std::cout << std::flush;
        std::fprintf(stderr, "%s\n", sceneErrorLine(gInputFileName, error).c_str());
        return 1;
    } catch (const std::bad_alloc&) {
        std::cout << std::flush;
        std::fprintf(stderr, "%s: not enough memory for a %d x %d image and its scene\n",
                     gInputFileName.c_str(), gPixelWidth, gPixelHeight);
        return 1;
    } catch (const ProgramExit& exit) {
        return reportExit(exit);
    }
}

#include "state.h"

#include <omp.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "image/image_output.h"
#include "main.h"
#include "parser.h"
#include "program_exit.h"
#include "render.h"
#include "scene/scene_warnings.h"
#include "scene_file.h"
#include "split/assemble.h"
#include "split/part_output.h"
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
    std::cout << "Int portion: " << (arg + 2) << "\n";
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
    "  +W<int>       image width in pixels, 1 to 65535 (default 128)\n"
    "  +H<int>       image height in pixels, 1 to 65535 (default 96)\n"
    "  +O<file>      the image file (default: the scene's name with .ppm); *.png writes a PNG,\n"
    "                any other name a PPM; +O- writes the PPM to standard output (and implies -q)\n"
    "  +A<n>         anti-aliasing: n x n rays per pixel, n from 1 to 16 (default 1)\n"
    "  +SR<n> +ER<n> render only rows n to m (from 1) into a part, +O<name>.pfm\n"
    "  +SC<n> +EC<n> the same for columns; *.pfm alone writes the unscaled image\n"
    "  -shadows      every light reaches every surface\n"
    "  +interactive  show the ray-traced image in a window\n"
    "  +opengl       show an OpenGL preview in a window\n"
    "  -q, --quiet   no progress lines on standard output; warnings and errors still\n"
    "                go to standard error\n"
    "  --strict      treat every scene warning as an error: status 1 and no image\n"
    "  --threads N   trace with N threads, as OMP_NUM_THREADS=N does\n"
    "  -h, --help    print this text and exit\n"
    "  --version     print the version and exit\n"
    "Scene warnings go to standard error as scene.pov:LINE:COL: warning: ...\n"
    "raytracer --assemble +O<image> <part.pfm>... puts parts of an image together.\n";

// A usage error: the line that goes to standard output (as it always has),
// and the line that names the argument on standard error.
ProgramExit usageError(const std::string& outText, const std::string& arg,
                       const std::string& problem) {
    return ProgramExit(outText, 255, ProgramExit::Stream::Out,
                       "raytracer: " + SceneError::quoted(arg) + ": " + problem);
}

// A new option with a value it cannot take: named with what it needs.
ProgramExit invalidArgument(const char* arg, const char* need) {
    return usageError(std::string("Invalid argument: ") + arg + " (" + need + ")\n", arg, need);
}

// Only the digits of a whole number from 1 to most, nothing else; 0 when
// the text is no such number.
long wholeNumber(const char* digits, long most) {
    const std::size_t count = std::strspn(digits, "0123456789");
    // strtol gives LONG_MAX for more digits than a long holds: refused too.
    const long value = count > 0 && digits[count] == '\0' ? std::strtol(digits, nullptr, 10) : 0;
    return value >= 1 && value <= most ? value : 0;
}

// "+A<n>": a whole number from 1 to 16.
int parseAntialias(const char* arg) {
    const long value = wholeNumber(arg + 2, 16);
    if (value == 0) {
        throw invalidArgument(arg, "+A<n> takes a whole number from 1 to 16");
    }
    return static_cast<int>(value);
}

// "+W<int>" or "+H<int>": read by parse_int, and
// remembered when they are no whole number from 1 to kMaxImageSide.
int parseSide(const char* arg, std::string& badSize) {
    const int value = parse_int(arg);
    if (wholeNumber(arg + 2, kMaxImageSide) == 0 && badSize.empty()) {
        badSize = arg;
    }
    return value;
}

}  // namespace

RunOptions parse_args(int argc, const char** argv) {
    RunOptions options;
    // One argument at a time, left to right; a loop rather than recursion so
    // that no argument count can exhaust the stack. The six prefix tests come
    // first: every argument one of them matches is theirs ("+Interactive" is
    // the input file "nteractive"), and the options below take the rest.
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (startsWith(arg, "+H")) {
            gPixelHeight = parseSide(arg, options.badSize);
        } else if (startsWith(arg, "+W")) {
            gPixelWidth = parseSide(arg, options.badSize);
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
            // The image itself is the standard output.
            options.quiet = options.quiet || gOutputName == "-";
        } else if (startsWith(arg, "+A")) {
            gAntialias = parseAntialias(arg);
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            throw ProgramExit(HELP_TEXT, 0);
        } else if (std::strcmp(arg, "--version") == 0) {
            throw ProgramExit("raytracer " RT_VERSION "\n", 0);
        } else if (std::strcmp(arg, "-q") == 0 || std::strcmp(arg, "--quiet") == 0) {
            options.quiet = true;
        } else if (std::strcmp(arg, "--strict") == 0) {
            options.strict = true;
        } else if (std::strcmp(arg, "--threads") == 0 || startsWith(arg, "--threads=")) {
            const bool joined = arg[9] == '=';
            const char* value = joined ? arg + 10 : (i + 1 < argc ? argv[++i] : "");
            options.threads = static_cast<int>(wholeNumber(value, kMaxThreads));
            if (options.threads == 0) {
                const std::string text = joined ? arg : std::string(arg) + " " + value;
                throw usageError(
                    "Invalid argument: " + text + "\n", text,
                    "--threads takes a whole number from 1 to " + std::to_string(kMaxThreads));
            }
        } else {
            // No line break follows the name.
            throw usageError(std::string("Unknown argument: ") + arg, arg,
                             "unknown argument (raytracer --help lists the options)");
        }
    }
    return options;
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

void initialize(bool strict) {
    initialize(gPixelWidth, gPixelHeight, strict);
}

void initialize(int imageWidth, int imageHeight, bool strict) {
    std::cout << "Initializing...\n";
    allocateImage(imageWidth, imageHeight);
    SceneWarnings warnings;
    // The camera is made for the whole image, also when a part of it is traced.
    parse_file(gInputFileName, {gPixelWidth, gPixelHeight}, gObjects, lights, &camera, &warnings);
    warnings.print(gInputFileName);
    if (strict && !warnings.empty()) {
        throw ProgramExit(gInputFileName + ": error: " + std::to_string(warnings.all().size()) +
                              (warnings.all().size() == 1 ? " warning" : " warnings") +
                              " and --strict: no image\n",
                          1, ProgramExit::Stream::Err);
    }
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

// Prints the text of a ProgramExit after everything printed before it, and
// a failure's line on standard error.
int reportExit(const ProgramExit& exit) {
    if (exit.status() == 0) {
        // --help and --version: asked for, so printed even with -q.
        std::cout << std::flush;
        std::fputs(exit.what(), stdout);
        std::fflush(stdout);
    } else if (exit.stream() == ProgramExit::Stream::Out) {
        std::cout << exit.what() << std::flush;
    }
    const std::string line = exit.errorLine();
    if (!line.empty()) {
        printErrorLine(line);
    }
    return exit.status();
}

// -q, --quiet and +O- silence standard output from the first argument on;
// parse_args would see them only after the +W and +H lines.
bool quietRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-q") == 0 || std::strcmp(argv[i], "--quiet") == 0 ||
            std::strcmp(argv[i], "+O-") == 0) {
            return true;
        }
    }
    return false;
}

// Standard output as it was before, once the run is over: a quiet run only
// sets the stream's state, which the next run in the same process must not
// inherit.
struct QuietOutput {
    explicit QuietOutput(bool quiet) {
        if (quiet) {
            std::cout << std::flush;
            std::cout.setstate(std::ios::badbit);
        }
    }
    ~QuietOutput() { std::cout.clear(); }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;
};

}  // namespace

int raytracerMain(int argc, char** argv) {
    const QuietOutput quiet(quietRequested(argc, argv));
    try {
        if (argc > 1 && std::strcmp(argv[1], "--assemble") == 0) {
            return assembleParts(argc - 2, argv + 2);
        }
        std::vector<const char*> args;
        if (argc > 1) args.assign(argv + 1, argv + argc);
        const PartOptions partOptions = takePartOptions(args);
        const RunOptions options = parse_args(static_cast<int>(args.size()), args.data());
        if (gPixelWidth <= 0 || gPixelHeight <= 0 || gInputFileName.empty() ||
            !options.badSize.empty()) {
            const std::string program = argc > 0 ? argv[0] : "raytracer";
            const std::string usage = "Usage: " + program + " +W<int> +H<int> +I<pov input file>\n";
            if (!options.badSize.empty()) {
                throw ProgramExit(usage, 255, ProgramExit::Stream::Out,
                                  "raytracer: " + SceneError::quoted(options.badSize) + ": " +
                                      (options.badSize[1] == 'W' ? "the width" : "the height") +
                                      " takes a whole number from 1 to " +
                                      std::to_string(kMaxImageSide));
            }
            throw ProgramExit(usage, 255, ProgramExit::Stream::Out,
                              gInputFileName.empty()
                                  ? "raytracer: no scene file given (+I<file>)"
                                  : "raytracer: the image size must be at least 1 x 1");
        }
        checkImageName(gOutputName);
        if (!gInteractive) {
            checkImageTarget(gOutputName.empty() ? outputFileName(gInputFileName) : gOutputName);
        }
        if (options.threads > 0) {
            omp_set_num_threads(options.threads);
        }
        // A part, or the image unscaled: a float map, traced at its own size.
        const std::optional<FloatRender> floatImage =
            floatRender(partOptions, gPixelWidth, gPixelHeight, gOutputName, gInteractive);
        std::cout << "Valid args accepted\n";
        std::cout << "Width: " << gPixelWidth << "\n";
        std::cout << "Height: " << gPixelHeight << "\n";
        std::cout << "Input file: " << gInputFileName << "\n";
        if (floatImage) {
            initialize(floatImage->width, floatImage->height, options.strict);
            renderPart(floatImage->left, floatImage->top, floatImage->width, floatImage->height,
                       gImage);
            writeFloatRender(*floatImage, gImage);
            return 0;
        }
        initialize(options.strict);
        if (!gInteractive) {
            render();
            draw_image({gImage, gPixelWidth, gPixelHeight});
            return 0;
        }
        // Its scene errors (a camera checked at the first frame) end up below.
        return runInteractive(&argc, argv, options.strict);
    } catch (const SceneError& error) {
        printErrorLine(sceneErrorLine(gInputFileName, error));
        return 1;
    } catch (const std::bad_alloc&) {
        printErrorLine(gInputFileName + ": not enough memory for a " + std::to_string(gPixelWidth) +
                       " x " + std::to_string(gPixelHeight) + " image and its scene");
        return 1;
    } catch (const ProgramExit& exit) {
        return reportExit(exit);
    }
}

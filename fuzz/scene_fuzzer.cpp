// The scene reader on arbitrary text: tokenizer, statement dispatcher and
// statement readers, then the hierarchy and a 4 x 3 render of whatever scene
// was accepted. Input the reader refuses must end in SceneError; anything
// else that escapes, and every sanitizer report, is a fault. The streaming
// reader must read the text with the smallest window and the usual one
// exactly as with all of it in view, and so must the whole token queue where
// braces cannot matter to it; a difference aborts.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "main.h"
#include "parser.h"
#include "render.h"
#include "scene_differential.h"
#include "scene_file.h"
#include "state.h"
#include "window/scene_reload.h"

namespace {

// A camera that sees something, so that scenes without a camera statement
// are traced too.
Camera startCamera() {
    return Camera(Vector3(0, 0, 10), Vector3(0, 1, 0), Vector3(1.33, 0, 0), Vector3(0, 0, 0),
                  gPixelWidth, gPixelHeight);
}

void releaseScene() {
    deleteObjects(gObjects);
    deleteObjects(gNodeList);
    deleteLights(lights);
    camera = startCamera();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        fuzz_support::silenceOutput();
        gPixelWidth = 4;
        gPixelHeight = 3;
        allocateImage(gPixelWidth, gPixelHeight);
        camera = startCamera();
        return true;
    }();
    static_cast<void>(ready);

    const std::string text(reinterpret_cast<const char*>(data), size);
    const SceneReading whole = readWhole(text);
    for (const std::size_t window : {std::size_t{17}, kSceneWindow}) {
        if (!(readStreaming(text, window) == whole)) {
            std::fprintf(stderr, "the window of %zu tokens reads the scene differently\n", window);
            std::abort();
        }
    }
    if (!readsBraces(text) && !(readQueue(text) == whole)) {
        std::fprintf(stderr, "the whole token queue reads the scene differently\n");
        std::abort();
    }

    std::istringstream in(text);
    std::deque<std::string> tokens;
    try {
        tokenize_stream(in, tokens);
        parse_statements(tokens, {gPixelWidth, gPixelHeight}, gObjects, lights, &camera);
        buildHierarchy();
        // Every hierarchy box is traced as well, as the window's box key shows them.
        gBvhStep = static_cast<int>(gNodeList.size());
        render();
    } catch (const SceneError&) {
        // Refused with a message: the expected way out for bad input.
    }
    releaseScene();
    return 0;
}

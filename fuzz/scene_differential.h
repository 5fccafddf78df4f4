#pragma once

// The ways of reading a scene text, for comparing them: read_scene's window
// of tokens, the same with all of them in view, and the whole token queue
// through parse_statements. The harness and the tests require the same
// reading from all, but from the queue only where braces cannot matter.

#include <cstddef>
#include <string>

struct SceneReading {
    std::string out;       // what the readers printed
    std::string scene;     // every object, light and the camera, numbers exact
    std::string error;     // the SceneError's message; empty when there was none
    std::size_t line = 0;  // the error's place; 0 when it has none
    std::size_t column = 0;
    // The error as the program reports it for "scene.pov" ("no error" when
    // none); the whole queue knows no text before the error to quote, so
    // readings compare without it.
    std::string report = "no error";
};

inline bool operator==(const SceneReading& a, const SceneReading& b) {
    return a.out == b.out && a.scene == b.scene && a.error == b.error && a.line == b.line &&
           a.column == b.column;
}

// read_scene with a window that holds the whole text from the start.
SceneReading readWhole(const std::string& text);
// read_scene with the given smallest window (17 or more).
SceneReading readStreaming(const std::string& text, std::size_t window);
// Tokenizes the whole text, then parse_statements; the error is placed at
// the token it points at, counted in the whole queue.
SceneReading readQueue(const std::string& text);
// Whether the queue, which knows no braces, may read the text otherwise
// than read_scene: a transform word lies deeper in braces than the pigment
// before it.
bool readsBraces(const std::string& text);

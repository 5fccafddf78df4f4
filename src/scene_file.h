#pragma once

// Scene reading. parse_statements consumes a token queue whole; parse_file
// reads the named file through read_scene, which gives the same output and
// scene as tokenizing the whole text and parse_statements, holding only a
// window of tokens (at least `window`, 17 or more) around the statement it
// reads. The one difference: a queue of tokens knows no braces, so it reads
// a transform inside a pigment's braces as the object's, as it comes after
// the pigment. All append in file order and throw SceneError on input they
// cannot use, parse_file and read_scene with the error's place in the file,
// parse_statements leaving the offending token at the front of the queue;
// what was appended before the error stays in the lists. A camera statement
// replaces *camera with a camera made for an image of the given size.

#include <cstddef>
#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

struct Camera;
class GeomObject;
struct Light;
class SceneWarnings;

// What a scene is read for: the image, in pixels, that its camera is made
// for, and the scene file's name, against whose folder the files that the
// scene names (models, image maps) are found; empty for text of no file.
struct SceneContext {
    int width;
    int height;
    std::string fileName = {};
};

// With warnings, parse_file and read_scene also collect what in the scene
// will not show as its writer meant (scene/scene_warnings.h); they print
// nothing of it.
constexpr std::size_t kSceneWindow = 64;
void parse_file(const std::string& fileName, const SceneContext& size,
                std::vector<GeomObject*>& objects, std::vector<Light*>& lights, Camera* camera,
                SceneWarnings* warnings = nullptr);
void read_scene(std::istream& in, const SceneContext& size, std::vector<GeomObject*>& objects,
                std::vector<Light*>& lights, Camera* camera, std::size_t window = kSceneWindow,
                SceneWarnings* warnings = nullptr);
void parse_statements(std::deque<std::string>& tokens, const SceneContext& size,
                      std::vector<GeomObject*>& objects, std::vector<Light*>& lights,
                      Camera* camera);

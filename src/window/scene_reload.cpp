#include "window/scene_reload.h"

#include <sys/stat.h>

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <iostream>
#include <new>
#include <utility>

#include "main.h"
#include "parser.h"
#include "program_exit.h"
#include "scene/scene_warnings.h"
#include "scene_file.h"
#include "shapes/shape.h"
#include "state.h"

namespace {

long long nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

// Two readings of the camera statement; the resolution is the window's, not
// the file's.
bool sameStatement(const Camera& a, const Camera& b) {
    return a.eye == b.eye && a.up == b.up && a.right == b.right && a.lookAt == b.lookAt &&
           a.lens == b.lens;
}

void deleteObject(GeomObject* object) { deleteSceneObject(object); }

}  // namespace

SceneLists::~SceneLists() {
    deleteObjects(objects);
    deleteLights(lights);
}

bool FileStamp::operator==(const FileStamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

FileStamp fileStamp(const std::string& path) {
    FileStamp stamp;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return stamp;
    }
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modifiedNs = nanoseconds(info.st_mtim);
    stamp.changedNs = nanoseconds(info.st_ctim);
    return stamp;
}

void printSceneError(const std::string& scene, const SceneError& error) {
    printErrorLine(sceneErrorLine(scene, error));
}

void deleteObjects(std::vector<GeomObject*>& objects) {
    for (GeomObject* object : objects) {
        deleteObject(object);
    }
    objects.clear();
}

void deleteLights(std::vector<Light*>& owned) {
    for (const Light* light : owned) {
        delete light;
    }
    owned.clear();
}

SceneWatch::SceneWatch(const Camera& readCamera, bool strict)
    : m_seen(fileStamp(gInputFileName)),
      m_read(m_seen),
      m_fileCamera(readCamera),
      m_strict(strict) {}

bool SceneWatch::poll() {
    const FileStamp now = fileStamp(gInputFileName);
    const bool still = now == m_seen;
    m_seen = now;
    if (!still || now == m_read) {
        return false;
    }
    m_read = now;
    try {
        reload();
        return true;
    } catch (const SceneError& error) {
        printSceneError(gInputFileName, error);
    } catch (const std::bad_alloc&) {
        printErrorLine(gInputFileName + ": not enough memory to read the scene");
    }
    return false;
}

void SceneWatch::reload() {
    SceneLists read;
    // As the global camera starts: a file without a camera statement leaves it so.
    Camera fileCamera(Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 0),
                      gPixelWidth, gPixelHeight);
    SceneWarnings warnings;
    parse_file(gInputFileName, {gPixelWidth, gPixelHeight}, read.objects, read.lights, &fileCamera,
               &warnings);
    warnings.print(gInputFileName);
    if (m_strict && !warnings.empty()) {
        throw SceneError("the scene warns and --strict is on: it is not shown");
    }
    const bool newCamera = !sameStatement(fileCamera, m_fileCamera);
    if (newCamera) {
        // A basis the renderer would refuse is refused here, before it can
        // end the window.
        fileCamera.vectorTransform();
    }
    // From here on nothing can fail but memory; the old lists go with read.
    std::swap(gObjects, read.objects);
    std::swap(lights, read.lights);
    deleteObjects(gNodeList);
    buildHierarchy();
    gBvhStep = std::min(gBvhStep, static_cast<int>(gNodeList.size()));
    if (newCamera) {
        // The file's view replaces the one the keys made, turn included.
        camera = fileCamera;
        gRotate = 0;
    }
    // The background and fog follow the file whatever the view.
    camera.atmosphere = fileCamera.atmosphere;
    m_fileCamera = fileCamera;
}

#pragma once

// Live reload of the scene file while a window is open: the file named by
// gInputFileName is looked at now and then, and a save that reads replaces the
// scene's objects, lights and hierarchy boxes.

#include <string>
#include <vector>

#include "camera.h"
#include "geom.h"
#include "light.h"

class SceneError;

// One version of a file. A save changes its size or times; an editor that
// writes a new file and renames it over the old one changes the inode; the
// status-change time also catches a copy that keeps the old modification time.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;

    bool operator==(const FileStamp& other) const;
};
FileStamp fileStamp(const std::string& path);

// A scene that does not read, as start-up reports it (sceneErrorLine), one
// line on standard error once standard output is flushed.
void printSceneError(const std::string& scene, const SceneError& error);

// Deletes objects the scene reader or the hierarchy made (spheres, planes,
// triangles, boxes) and empties the list. GeomObject has no virtual
// destructor, so each is deleted as its own type.
void deleteObjects(std::vector<GeomObject*>& objects);
void deleteLights(std::vector<Light*>& owned);

// Lists that own what the scene reader put in them: whatever they hold when
// they go is deleted.
struct SceneLists {
    std::vector<GeomObject*> objects;
    std::vector<Light*> lights;

    SceneLists() = default;
    SceneLists(const SceneLists&) = delete;
    SceneLists& operator=(const SceneLists&) = delete;
    ~SceneLists();
};

class SceneWatch {
public:
    // readCamera: the camera as the file's current version gave it. strict:
    // a version that warns is refused as one that does not read.
    explicit SceneWatch(const Camera& readCamera, bool strict = false);

    // Looks at the file. A version that has held still since the previous
    // call (so that a save caught half-written is not read) and differs from
    // the last one read is read into fresh lists. When it reads, it replaces
    // gObjects, lights and gNodeList (freeing the old ones), keeps gBvhStep
    // within the new boxes, and replaces the camera, dropping the preview's
    // rotation, only when the file's camera statement changed; returns true.
    // The version's warnings are printed once, as it is read. When it does
    // not read, the error is printed once for that version and the scene
    // stays as it was; returns false.
    bool poll();

private:
    // Reads the file and installs it; throws SceneError, leaving the scene as
    // it was, when it does not read.
    void reload();

    FileStamp m_seen;     // at the previous call
    FileStamp m_read;     // the version last read, good or bad
    Camera m_fileCamera;  // the camera statement of the last good version
    bool m_strict;
};

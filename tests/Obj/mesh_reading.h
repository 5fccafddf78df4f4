#pragma once

// Reading a mesh in a test: the reader's log is captured so that it neither
// clutters the test output nor survives an exception.

#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>
#include <string>

#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"

namespace mesh_reading {

// Reads the OBJ file; its log goes to *log when given.
inline boost::shared_ptr<CMesh> readMeshFile(const std::string& path, std::string* log = nullptr) {
    boost::shared_ptr<CMesh> mesh(new CMesh);
    testing::internal::CaptureStderr();
    try {
        CObjMeshParser::parse(mesh, path);
    } catch (...) {
        testing::internal::GetCapturedStderr();
        throw;
    }
    const std::string captured = testing::internal::GetCapturedStderr();
    if (log != nullptr) *log = captured;
    return mesh;
}

// How many faces drawing may use.
inline int validFaces(const CMesh& mesh) {
    int valid = 0;
    for (int i = 0; i < mesh.getNumFaces(); ++i) {
        valid += mesh.hasValidIndices(mesh.getFace(i)) ? 1 : 0;
    }
    return valid;
}

}  // namespace mesh_reading

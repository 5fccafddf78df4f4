#pragma once

#include <boost/shared_ptr.hpp>

class CMesh;

// The preview's mesh, read once from Data/Tyra.obj (relative to the working
// directory) with its texture image, and kept until the program ends.
class TyraMesh {
public:
    // Loads on the first call. The mesh library's exceptions propagate, and a
    // later call tries again.
    static CMesh* get();

    TyraMesh(const TyraMesh&) = delete;
    TyraMesh& operator=(const TyraMesh&) = delete;

private:
    TyraMesh();

    boost::shared_ptr<CMesh> mesh;
};

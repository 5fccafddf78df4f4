#include "TyraMesh.h"

#include <string>

#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"

CMesh* TyraMesh::get() {
    static TyraMesh instance;
    return instance.mesh.get();
}

// The image is decoded but never registered with OpenGL: the preview draws
// with the texture that the window's start-up loads into TYRA_TEX_ID.
TyraMesh::TyraMesh() : mesh(new CMesh) {
    CObjMeshParser::parse(mesh, "Data/Tyra.obj");
    mesh->setTexture(std::string("Data/TyraNormals.bmp"));
}

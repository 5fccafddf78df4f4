// objinfo FILE.obj: reads a mesh through the mesh library the way the preview
// does, the reader's log on standard error, and prints one summary line.
#include <boost/shared_ptr.hpp>
#include <iostream>

#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: objinfo FILE.obj" << std::endl;
        return 2;
    }
    const std::string fileName = argv[1];
    boost::shared_ptr<CMesh> mesh(new CMesh);
    try {
        CObjMeshParser::parse(mesh, fileName);
    } catch (const CException& e) {
        std::cerr << e.getMessage() << std::endl;
        return 1;
    }
    const std::string& material = mesh->getMaterial().strName;
    std::cout << fileName << ": " << mesh->getNumVertices() << " vertices, "
              << mesh->getNumTextureCoords() << " texture coords, " << mesh->getNumNormals()
              << " normals, " << mesh->getNumFaces() << " faces, "
              << (material.empty() ? std::string("default material")
                                   : "material \"" + material + "\"")
              << std::endl;
    return 0;
}

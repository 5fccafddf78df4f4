// The OBJ reader on arbitrary text, read from a file of the harness's own
// next to a small material library, so that mtllib statements have something
// to read. Refusal must be a CException; the faces the mesh then calls valid
// must address elements that exist.
#include <boost/shared_ptr.hpp>
#include <cstdlib>
#include <string>

#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"
#include "fuzz_support.h"

namespace {

const char kLibrary[] =
    "# a library for the fuzzed meshes\n"
    "newmtl red\nKa 0.1 0 0\nKd 1 0 0\nKs 0.5 0.5 0.5\nNs 10\nmap_Kd red.png\n"
    "newmtl blue\nKd 0 0 1\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        fuzz_support::silenceOutput();
        const std::string dir = fuzz_support::privateDir();
        if (!fuzz_support::writeFile(dir + "/lib.mtl",
                                     reinterpret_cast<const std::uint8_t*>(kLibrary),
                                     sizeof kLibrary - 1)) {
            std::abort();
        }
        return dir + "/input.obj";
    }();
    if (!fuzz_support::writeFile(path, data, size)) {
        std::abort();
    }
    boost::shared_ptr<CMesh> mesh(new CMesh());
    try {
        CObjMeshParser::parse(mesh, path);
    } catch (const CException&) {
        // Refused with a message: the expected way out for bad input.
    }
    // Every index of every face the mesh calls valid, as drawing uses them.
    mesh->generateFlatNormals();
    float sum = 0;
    for (int f = 0; f < mesh->getNumFaces(); ++f) {
        const SPolygonFace& face = mesh->getFace(f);
        if (mesh->hasValidIndices(face)) {
            for (std::size_t i = 0; i < face.v.size(); ++i) {
                sum += mesh->getVertex(face.v[i]).x + mesh->getTextureCoord(face.vt[i]).x +
                       mesh->getNormal(face.vn[i]).x;
            }
        }
    }
    volatile float kept = sum;
    static_cast<void>(kept);
    return 0;
}

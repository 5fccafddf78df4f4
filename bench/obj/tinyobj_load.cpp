// Reads an OBJ file with tinyobj::LoadObj and prints its triangle count: the
// peer of our mesh library's reading in bench/obj/obj_mesh_bench.py, built
// by that script only when Debian's libtinyobjloader-dev is installed.
#include <tiny_obj_loader.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tinyobj_load MODEL.obj\n");
        return 2;
    }
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warning, error;
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warning, &error, argv[1])) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::size_t triangles = 0;
    for (const auto& shape : shapes) triangles += shape.mesh.num_face_vertices.size();
    std::printf("%zu triangles\n", triangles);
    return 0;
}

// obj_load_bench [MEGABYTES]: writes an OBJ file of about that size (40 by
// default) to a temporary folder, reads it through the mesh library three
// times and prints the best load speed in MB/s (1 MB = 10^6 bytes). The
// reader's log goes to standard error as usual.
#include <boost/filesystem.hpp>
#include <boost/shared_ptr.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"

namespace fs = boost::filesystem;

namespace {

// A wavy n x n grid with texture coordinates and normals, two triangles per
// square, corners written p/t/n: the usual shape of exported meshes.
void writeGrid(const std::string& path, int n) {
    std::ofstream out(path);
    out << "# obj_load_bench grid, " << n << " x " << n << " vertices\n";
    char line[128];
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", i * 0.01, j * 0.01,
                          0.05 * ((i * 7 + j * 3) % 11));
            out << line;
        }
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            std::snprintf(line, sizeof line, "vt %.6f %.6f\n", i / (n - 1.0), j / (n - 1.0));
            out << line;
        }
    }
    for (int k = 0; k < n * n; ++k) {
        std::snprintf(line, sizeof line, "vn %.6f %.6f %.6f\n", 0.0, 0.6, 0.8);
        out << line;
    }
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            const int a = j * n + i + 1, b = a + 1, c = a + n, d = c + 1;
            out << "f " << a << '/' << a << '/' << a << ' ' << b << '/' << b << '/' << b << ' ' << d
                << '/' << d << '/' << d << "\nf " << a << '/' << a << '/' << a << ' ' << d << '/'
                << d << '/' << d << ' ' << c << '/' << c << '/' << c << '\n';
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 40;
    // About 190 bytes of file per grid vertex.
    const int n = static_cast<int>(std::sqrt(megabytes * 1e6 / 190));
    const fs::path dir = fs::temp_directory_path() / fs::unique_path("obj_load_bench_%%%%%%");
    fs::create_directories(dir);
    const std::string path = (dir / "grid.obj").string();
    writeGrid(path, n);
    const double bytes = static_cast<double>(fs::file_size(path));

    double best = 0;
    for (int run = 0; run < 3; ++run) {
        boost::shared_ptr<CMesh> mesh(new CMesh);
        const auto start = std::chrono::steady_clock::now();
        CObjMeshParser::parse(mesh, path);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const double speed = bytes / 1e6 / took.count();
        best = speed > best ? speed : best;
        std::printf("run %d: %.1f MB in %.2f s, %.1f MB/s (%d faces)\n", run + 1, bytes / 1e6,
                    took.count(), speed, mesh->getNumFaces());
    }
    std::printf("obj_load_bench: %.1f MB/s\n", best);
    fs::remove_all(dir);
    return 0;
}

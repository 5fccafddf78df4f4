// Catalogue of bad OBJ files: each row is a malformed file and either the
// exception it must end in or the mesh it must leave, counted element by
// element, with the faces that drawing may use.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <boost/shared_ptr.hpp>
#include <cmath>
#include <string>

#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "Obj/ObjMeshParser.h"
#include "mesh_reading.h"
#include "test_support.h"

using mesh_reading::readMeshFile;
using mesh_reading::validFaces;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

typedef boost::shared_ptr<CMesh> MeshPtr;

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

}  // namespace

TEST(BadInputObj, EveryRowLeavesItsMesh) {
    std::string junk;
    for (int c = 0; c < 256; ++c) junk += static_cast<char>(c);
    const struct {
        const char* name;
        std::string text;
        int vertices, texCoords, normals, faces, valid;
    } rows[] = {
        // Indices are stored as read; only the face within range may be drawn.
        {"out_of_range", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\nf 0 1 2\nf -1 -2 -3\nf 1 2 3\n", 3, 0,
         0, 4, 1},
        {"texture_index_out_of_range", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/2 3/1\n", 3, 1,
         0, 1, 0},
        // An index beyond int ends the face at that corner: two corners are
        // no face to draw.
        {"index_beyond_int", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 99999999999\n", 3, 0, 0, 1, 0},
        // A coordinate beyond float does not read: the vertex is kept as
        // (0, 0, 0) and the rest of its line skipped.
        {"huge_coordinate", std::string("v 1e999 2 3\n") + kTriangle, 4, 0, 0, 1, 1},
        {"nan_words", std::string("v nan inf -inf\n") + kTriangle, 4, 0, 0, 1, 1},
        {"crlf", "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nvt 0 0\r\nvn 0 0 1\r\nf 1/1/1 2/1/1 3/1/1\r\n",
         3, 1, 1, 1, 1},
        {"binary_junk", junk + "\n" + kTriangle, 3, 0, 0, 1, 1},
        {"deep_comments", repeated("# comment\n", 100000) + kTriangle, 3, 0, 0, 1, 1},
        {"enormous_token", std::string(1 << 20, 'k') + " 1 2 3\n" + kTriangle, 3, 0, 0, 1, 1},
        {"face_without_vertices", "f 1 2 3\nf\n", 0, 0, 0, 2, 0},
        // Cut inside the last corner: the face keeps the two corners before it.
        {"truncated_face", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/", 3, 1, 0, 1, 0},
    };
    for (const auto& row : rows) {
        const MeshPtr mesh = readMeshFile(writeFile(std::string(row.name) + ".obj", row.text));
        EXPECT_EQ(mesh->getNumVertices(), row.vertices) << row.name;
        EXPECT_EQ(mesh->getNumTextureCoords(), row.texCoords) << row.name;
        EXPECT_EQ(mesh->getNumNormals(), row.normals) << row.name;
        EXPECT_EQ(mesh->getNumFaces(), row.faces) << row.name;
        EXPECT_EQ(validFaces(*mesh), row.valid) << row.name;
    }
}

TEST(BadInputObj, HugeAndDegenerateGeometryGivesFiniteOrZeroNormals) {
    // The huge coordinate reads as (0, 0, 0), a collinear face keeps the zero
    // normal; neither yields NaN.
    const MeshPtr mesh =
        readMeshFile(writeFile("degenerate.obj", "v 1e999 0 0\nv 1 1 1\nv 2 2 2\nf 1 2 3\n"));
    const SVertex& first = mesh->getVertex(1);
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 0);
    EXPECT_EQ(first.z, 0);
    mesh->generateFlatNormals();
    const SVertex& normal = mesh->getNormal(mesh->getFace(0).vn[0]);
    EXPECT_EQ(normal.x, 0);
    EXPECT_EQ(normal.y, 0);
    EXPECT_EQ(normal.z, 0);
}

TEST(BadInputObj, UnreadableFilesThrowNamingTheFile) {
    const std::string folder = tempDir() + "/folder.obj";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const struct {
        std::string path;
        std::string message;
    } rows[] = {
        {writeFile("empty.obj", ""), "empty file"},
        {folder, "file \"" + folder + "\" not found"},
        {writeFile("missing_library.obj", "mtllib nowhere.mtl\n"),
         "file \"" + tempDir() + "/nowhere.mtl\" not found"},
        {writeFile("junk_library.obj", "mtllib junk.mtl\n"),
         "parse error in file \"" + tempDir() + "/junk.mtl\" (line -1)"},
    };
    writeFile("junk.mtl", std::string("\x01\x02\x03", 3));
    for (const auto& row : rows) {
        try {
            readMeshFile(row.path);
            ADD_FAILURE() << row.path << " was read";
        } catch (const CException& e) {
            EXPECT_EQ(e.getMessage(), row.message);
        }
    }
}

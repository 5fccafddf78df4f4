#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>
#include <cmath>
#include <map>
#include <string>

#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "Obj/MtlParser.h"
#include "Obj/ObjMeshParser.h"
#include "mesh_reading.h"
#include "test_support.h"

using mesh_reading::readMeshFile;
using mesh_reading::validFaces;
using testing_support::linesOf;
using testing_support::RunResult;
using testing_support::runShell;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

const std::string DATA = RT_OBJ_TEST_DATA;

RunResult objinfo(const std::string& arguments) {
    return runShell("'" RT_OBJINFO "' " + arguments);
}

}  // namespace

TEST(Objinfo, UsageWithoutExactlyOneFile) {
    for (const std::string& arguments : {std::string(), std::string("a.obj b.obj")}) {
        const RunResult run = objinfo(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "usage: objinfo FILE.obj\n");
        EXPECT_EQ(run.out, "");
    }
}

TEST(Objinfo, SummaryOnOutputAndTheLogOnErrors) {
    writeFile("info.mtl", "# lib\nnewmtl skin\n");
    const std::string path =
        writeFile("info.obj",
                  "mtllib info.mtl\nusemtl skin\nv 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 1/1/1\n");
    const RunResult run = objinfo("'" + path + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              path + ": 1 vertices, 1 texture coords, 1 normals, 1 faces, material \"skin\"\n");
    const auto log = linesOf(run.err);
    ASSERT_EQ(log.size(), 9u) << run.err;
    EXPECT_EQ(log[1], "  Parsing mtllib \"info.mtl\"...");
    EXPECT_EQ(log[4], "  Total vertices: 1.");
}

TEST(Objinfo, LibraryFailuresExitWithOne) {
    const std::string missing = tempDir() + "/missing.obj";
    const std::string badLib = writeFile("badlib.obj", "mtllib bad.mtl\n");
    writeFile("bad.mtl", "newmtl m\n");
    const std::map<std::string, std::string> failures = {
        {missing, "file \"" + missing + "\" not found\n"},
        {writeFile("empty.obj", ""), "empty file\n"},
        {badLib, "parse error in file \"" + tempDir() + "/bad.mtl\" (line -1)\n"}};
    for (const auto& failure : failures) {
        const RunResult run = objinfo("'" + failure.first + "'");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        ASSERT_GE(run.err.size(), failure.second.size());
        EXPECT_EQ(run.err.substr(run.err.size() - failure.second.size()), failure.second);
    }
}

// Files written by other people (see data/README.md).
TEST(RealWorldFiles, ObjFilesReadAsTheGrammarSays) {
    const std::map<std::string, std::string> summaries = {
        {"malformed.obj", "8 vertices, 0 texture coords, 0 normals, 6 faces"},
        {"box_without_lineending.obj", "8 vertices, 0 texture coords, 0 normals, 6 faces"},
        {"box_longline.obj", "8 vertices, 0 texture coords, 0 normals, 6 faces"},
        {"number_formats.obj", "15 vertices, 0 texture coords, 0 normals, 1 faces"},
        {"torch_floor.obj", "16 vertices, 12 texture coords, 5 normals, 8 faces"}};
    for (const auto& summary : summaries) {
        const RunResult run = objinfo("'" + DATA + "/" + summary.first + "'");
        EXPECT_EQ(run.status, 0) << summary.first;
        EXPECT_EQ(run.out,
                  DATA + "/" + summary.first + ": " + summary.second + ", default material\n");
    }

    // Faces with index 12, -1 or 0 can never be drawn.
    EXPECT_EQ(validFaces(*readMeshFile(DATA + "/malformed.obj")), 3);
    EXPECT_EQ(readMeshFile(DATA + "/box_without_lineending.obj")->getFace(5).v,
              std::vector<int>({6, 7, 8, 5}));
    EXPECT_EQ(readMeshFile(DATA + "/box_longline.obj")->getFace(0).v.size(), 10u);
    const auto numbers = readMeshFile(DATA + "/number_formats.obj");
    const float expected[][3] = {{1, 2, 3}, {100, 20, 310}, {100, 20, 3.1f}, {1e10f, 20, 3.1e10f}};
    const int index[] = {2, 5, 8, 14};
    for (int i = 0; i < 4; ++i) {
        const SVertex& v = numbers->getVertex(index[i]);
        EXPECT_EQ(std::vector<float>({v.x, v.y, v.z}),
                  std::vector<float>(expected[i], expected[i] + 3))
            << index[i];
    }
    const auto torch = readMeshFile(DATA + "/torch_floor.obj");
    EXPECT_EQ(validFaces(*torch), 8);
    EXPECT_EQ(torch->getFace(7).vn, std::vector<int>({5, 5, 5, 5}));
}

TEST(RealWorldFiles, MtlFilesReadAsTheGrammarSays) {
    std::map<std::string, SMaterial> materials;
    CMtlParser::parse(materials, DATA + "/spider.mtl");
    EXPECT_EQ(materials.size(), 5u);
    EXPECT_EQ(materials["Skin"].Kd[0], 0.827451f);
    EXPECT_EQ(materials["Skin"].map_Kd, DATA + "/.\\wal67ar_small.jpg");

    // A name with blanks ends the first material's name at the blank; the
    // rest of the line is no statement.
    materials.clear();
    EXPECT_THROW(CMtlParser::parse(materials, DATA + "/box_spaces.mtl"), CParseErrorException);
    EXPECT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials.count("Material"), 1u);

    materials.clear();
    EXPECT_THROW(CMtlParser::parse(materials, DATA + "/cube_usemtl.mtl"), CParseErrorException);
    EXPECT_TRUE(materials.empty());
}

// The preview's own mesh, made by tools/make_tyra_mesh.py.
TEST(PreviewMesh, IsCompleteAndDrawable) {
    const auto mesh = readMeshFile(RT_SOURCE_DIR "/preview/Data/Tyra.obj");
    EXPECT_GE(mesh->getNumFaces(), 2000);
    EXPECT_LE(mesh->getNumFaces(), 10000);
    EXPECT_EQ(validFaces(*mesh), mesh->getNumFaces());
    EXPECT_EQ(mesh->getMaterial().strName, "tyra_skin");
    for (int i = 1; i <= mesh->getNumTextureCoords(); ++i) {
        const SVertex& t = mesh->getTextureCoord(i);
        ASSERT_TRUE(t.x >= 0 && t.x <= 1 && t.y >= 0 && t.y <= 1) << i;
    }
    for (int i = 1; i <= mesh->getNumNormals(); ++i) {
        const SVertex& n = mesh->getNormal(i);
        ASSERT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1, 1e-3) << i;
    }
    // Standing on z = 0, z up, longer than high, higher than wide.
    const SVertex size(mesh->m_maxVert.x - mesh->m_minVert.x, mesh->m_maxVert.y - mesh->m_minVert.y,
                       mesh->m_maxVert.z - mesh->m_minVert.z);
    EXPECT_NEAR(mesh->m_minVert.z, 0, 0.02);
    EXPECT_GT(size.x, size.z);
    EXPECT_GT(size.z, size.y);
}

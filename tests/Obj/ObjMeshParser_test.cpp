#include "Obj/ObjMeshParser.h"

#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>
#include <cstdio>
#include <cstring>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "mesh_reading.h"
#include "test_support.h"

using mesh_reading::readMeshFile;
using testing_support::linesOf;
using testing_support::tempDir;
using testing_support::writeFile;

namespace {

typedef boost::shared_ptr<CMesh> MeshPtr;
typedef std::vector<int> Indices;

// Reads the text as the OBJ file name; the log goes to *log when given.
MeshPtr load(const std::string& text, std::string* log = nullptr,
             const std::string& name = "t.obj") {
    return readMeshFile(writeFile(name, text), log);
}

std::vector<float> xyz(const SVertex& v) { return {v.x, v.y, v.z}; }

const std::string CORNERS = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
const std::string ALL_KINDS = "v 0 0 0\nvt 0 0\nvn 0 0 1\n";

}  // namespace

TEST(ObjMeshParser, LogOfASmallFile) {
    writeFile("small.mtl", "# m\nnewmtl skin\nKd 0.5 0.5 0.5\n");
    const std::string text =
        "# small\nmtllib small.mtl\nusemtl bone\nusemtl skin\n" + CORNERS + "f 1 2 3\n";
    std::string log;
    const MeshPtr mesh = load(text, &log, "small.obj");
    const std::string path = tempDir() + "/small.obj";
    const std::vector<std::string> expected = {
        "Parsing file \"" + path + "\" (file size = " + std::to_string(text.size()) + " bytes)...",
        "  Parsing mtllib \"small.mtl\"...",
        "  \"small.mtl\" fully parsed.",
        "  * Material not found in current mtllib :\"bone\". Ignoring material.",
        "File \"" + path + "\" fully parsed.",
        "  Total vertices: 3.",
        "  Total texture coords: 0.",
        "  Total normals: 0.",
        "  Total faces: 1."};
    std::vector<std::string> lines = linesOf(log);
    ASSERT_EQ(lines.size(), expected.size() + 1) << log;
    // The first figure counts the arrays' growth room, the second is exact.
    const std::string head = "Approximative mesh size: ", middle = " bytes (reduced to ";
    const std::string& last = lines.back();
    const std::size_t reduced = last.find(middle);
    ASSERT_NE(reduced, std::string::npos) << last;
    EXPECT_EQ(last.substr(0, head.size()), head);
    EXPECT_GE(std::stoi(last.substr(head.size())), mesh->getByteSize());
    EXPECT_EQ(last.substr(reduced + middle.size()),
              std::to_string(mesh->getByteSize()) + " bytes).");
    lines.pop_back();
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(mesh->getMaterial().strName, "skin");
    EXPECT_EQ(mesh->getMaterial().Kd[0], 0.5f);
}

TEST(ObjMeshParser, ElementsAreReadAsTokens) {
    // Statements other than v, vt, vn, f, mtllib and usemtl add nothing;
    // keywords are case-sensitive; numbers may run on into the next line.
    const MeshPtr mesh = load(
        "# c\n\n  g a\no b\ns 1\nvp 1 2\nl 1 2\nV 1 2 3\nF 1 2 3\n"
        "v 1 2\n3 # split\nv 4 5 6 7\nvt 0.5 0.25\nvt 1 2 3\nvn a b c\nvn 0 1 0");
    ASSERT_EQ(mesh->getNumVertices(), 2);
    EXPECT_EQ(xyz(mesh->getVertex(1)), xyz(SVertex(1, 2, 3)));
    EXPECT_EQ(xyz(mesh->getVertex(2)), xyz(SVertex(4, 5, 6)));
    ASSERT_EQ(mesh->getNumTextureCoords(), 2);
    EXPECT_EQ(xyz(mesh->getTextureCoord(1)), xyz(SVertex(0.5f, 0.25f, 0)));
    EXPECT_EQ(xyz(mesh->getTextureCoord(2)), xyz(SVertex(1, 2, 3)));
    ASSERT_EQ(mesh->getNumNormals(), 2);
    EXPECT_EQ(xyz(mesh->getNormal(1)), xyz(SVertex(0, 0, 0)));
    EXPECT_EQ(xyz(mesh->getNormal(2)), xyz(SVertex(0, 1, 0)));
    EXPECT_EQ(mesh->getNumFaces(), 0);
}

TEST(ObjMeshParser, CornerSyntaxFollowsTheElementsReadSoFar) {
    const MeshPtr plain = load(CORNERS + "f 1 1 1\nf 1 2\n3\n");
    EXPECT_EQ(plain->getFace(0).v, Indices({1, 1, 1}));
    EXPECT_EQ(plain->getFace(0).vt, Indices({0, 0, 0}));  // the no-index marker
    EXPECT_EQ(plain->getFace(0).vn, Indices({0, 0, 0}));
    EXPECT_EQ(plain->getFace(1).v, Indices({1, 2, 3}));

    const MeshPtr full = load(ALL_KINDS + "f 1/2/3 4/5/6 7/8/9\nf 1 / 2 / 3 4/5/6 7/8/9\n");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(full->getFace(i).v, Indices({1, 4, 7}));
        EXPECT_EQ(full->getFace(i).vt, Indices({2, 5, 8}));
        EXPECT_EQ(full->getFace(i).vn, Indices({3, 6, 9}));
    }
    const MeshPtr normals = load("v 0 0 0\nvn 0 0 1\nf 1//2 3//4 5//6\n");
    EXPECT_EQ(normals->getFace(0).v, Indices({1, 3, 5}));
    EXPECT_EQ(normals->getFace(0).vn, Indices({2, 4, 6}));

    // A corner in another syntax ends the face; the rest of its line is skipped.
    const MeshPtr mixed = load("v 0 0 0\nvt 0 0\nf 1/2 3//4 5/6\nv 1 1 1\n");
    EXPECT_EQ(mixed->getFace(0).v, Indices({1}));
    EXPECT_EQ(mixed->getFace(0).vt, Indices({2}));
    EXPECT_EQ(mixed->getNumVertices(), 2);

    // Ten corners at most; the rest of the line is skipped.
    const MeshPtr twelve = load(CORNERS + "f 1 2 3 1 2 3 1 2 3 1 2 3\nv 9 9 9\n");
    EXPECT_EQ(twelve->getFace(0).v, Indices({1, 2, 3, 1, 2, 3, 1, 2, 3, 1}));
    EXPECT_EQ(twelve->getNumVertices(), 4);
}

// Regression: a "vn" line with too few numbers also discarded the next line.
TEST(ObjMeshParser, ShortNormalLineSkipsOnlyItself) {
    const MeshPtr mesh = load("vn 1 2\nvn 0 0 1\nvn 1 2 x y\nvn 0 1 0\n");
    ASSERT_EQ(mesh->getNumNormals(), 4);
    EXPECT_EQ(xyz(mesh->getNormal(1)), xyz(SVertex(0, 0, 0)));
    EXPECT_EQ(xyz(mesh->getNormal(2)), xyz(SVertex(0, 0, 1)));
    EXPECT_EQ(xyz(mesh->getNormal(3)), xyz(SVertex(0, 0, 0)));
    EXPECT_EQ(xyz(mesh->getNormal(4)), xyz(SVertex(0, 1, 0)));
}

// Regression: a "v" line with an unreadable number ended the reading, and the
// rest of the file was lost while the log said "fully parsed".
TEST(ObjMeshParser, BadVertexLineDoesNotEndTheReading) {
    const MeshPtr mesh = load("v 1 2 nan\nv 4 5\nv 7 8 9\nf 1 2 3\n");
    ASSERT_EQ(mesh->getNumVertices(), 3);
    EXPECT_EQ(xyz(mesh->getVertex(1)), xyz(SVertex(1, 2, 0)));
    EXPECT_EQ(xyz(mesh->getVertex(2)), xyz(SVertex(4, 5, 0)));
    EXPECT_EQ(xyz(mesh->getVertex(3)), xyz(SVertex(7, 8, 9)));
    EXPECT_EQ(mesh->getNumFaces(), 1);
}

// Regression: a number ending exactly at the end of the file was dropped.
TEST(ObjMeshParser, NumberAtTheEndOfTheFileCounts) {
    EXPECT_EQ(load(CORNERS + "f 1 2 3")->getFace(0).v, Indices({1, 2, 3}));
    EXPECT_EQ(load(ALL_KINDS + "f 1/1/1 1/1/1 1/1/1")->getFace(0).vn, Indices({1, 1, 1}));
    EXPECT_EQ(xyz(load("vn 0 0 1")->getNormal(1)), xyz(SVertex(0, 0, 1)));
    EXPECT_EQ(xyz(load("vt 0.5 1")->getTextureCoord(1)), xyz(SVertex(0.5f, 1, 0)));
}

TEST(ObjMeshParser, MaterialsStayKnownAcrossFiles) {
    writeFile("lib.mtl", "# lib\nnewmtl shared\nNs 5\n");
    load("mtllib lib.mtl\n", nullptr, "first.obj");
    std::string log;
    const MeshPtr mesh = load("usemtl shared\n", &log, "second.obj");
    EXPECT_EQ(mesh->getMaterial().Ns, 5);
    EXPECT_EQ(log.find("Material not found"), std::string::npos);
}

TEST(ObjMeshParser, FailuresLeaveWhatWasRead) {
    MeshPtr mesh(new CMesh);
    mesh->addVertex(SVertex(1, 1, 1));
    const std::string missing = tempDir() + "/missing.obj";
    try {
        CObjMeshParser::parse(mesh, missing);
        ADD_FAILURE() << "read";
    } catch (const CFileNotFoundException& e) {
        EXPECT_EQ(e.getMessage(), "file \"" + missing + "\" not found");
    }
    EXPECT_EQ(mesh->getNumVertices(), 1);  // not even cleared

    const std::string path =
        writeFile("nolib.obj", "v 1 2 3\nv 4 5 6\nmtllib nowhere.mtl\nv 7 8 9\n");
    testing::internal::CaptureStderr();
    EXPECT_THROW(CObjMeshParser::parse(mesh, path), CFileNotFoundException);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(mesh->getNumVertices(), 2);
}

TEST(ObjMeshParser, ProgressLinesForFilesOverOneMebibyte) {
    std::string log;
    load(std::string(1048576 - 2, '#') + "\n\n", &log);
    EXPECT_EQ(log.find("% done"), std::string::npos);

    std::string big;
    for (int i = 0; i < 2000000 / 8; ++i) big += "v 1 2 3\n";
    load(big, &log);
    std::vector<std::string> progress, expected;
    for (const std::string& line : linesOf(log))
        if (line.find("% done") != std::string::npos) progress.push_back(line);
    for (int p = 10; p <= 90; p += 10) expected.push_back("  " + std::to_string(p) + " % done...");
    EXPECT_EQ(progress, expected);
}

namespace {

// The file is read straight from its buffer where the text is plain; a
// stream of the same text takes formatted input all the way. Both must give
// the same bits and indices.
void expectSameAsFormattedInput(const std::string& text) {
    const MeshPtr direct = load(text);
    MeshPtr formatted(new CMesh);
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    testing::internal::CaptureStderr();
    while (CObjMeshParser::skipCommentLine(in) && CObjMeshParser::processLine(formatted, in)) {
    }
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(direct->getNumVertices(), formatted->getNumVertices());
    ASSERT_EQ(direct->getNumTextureCoords(), formatted->getNumTextureCoords());
    ASSERT_EQ(direct->getNumNormals(), formatted->getNumNormals());
    ASSERT_EQ(direct->getNumFaces(), formatted->getNumFaces());
    for (int i = 1; i <= direct->getNumVertices(); ++i) {
        ASSERT_EQ(0, std::memcmp(&direct->getVertex(i), &formatted->getVertex(i), sizeof(SVertex)))
            << "vertex " << i << " " << direct->getVertex(i).x << " " << formatted->getVertex(i).x;
    }
    for (int i = 1; i <= direct->getNumTextureCoords(); ++i) {
        ASSERT_EQ(0, std::memcmp(&direct->getTextureCoord(i), &formatted->getTextureCoord(i),
                                 sizeof(SVertex)))
            << "texture coordinate " << i;
    }
    for (int i = 1; i <= direct->getNumNormals(); ++i) {
        ASSERT_EQ(0, std::memcmp(&direct->getNormal(i), &formatted->getNormal(i), sizeof(SVertex)))
            << "normal " << i;
    }
    for (int i = 0; i < direct->getNumFaces(); ++i) {
        ASSERT_EQ(direct->getFace(i).v, formatted->getFace(i).v) << "face " << i;
        ASSERT_EQ(direct->getFace(i).vt, formatted->getFace(i).vt) << "face " << i;
        ASSERT_EQ(direct->getFace(i).vn, formatted->getFace(i).vn) << "face " << i;
    }
}

}  // namespace

// Plain numbers, odd ones that fall back, and tokens cut by the buffer's end
// (the files span several buffers).
TEST(ObjMeshParser, DirectReadingEqualsFormattedInput) {
    std::string text = "v -0.0 1e5 +3\nv .5 1. 1e40\nv 0.";
    text += std::string(60, '0') + "1 -1.5e-3 3.4028235677973366e38\n";
    text += "vn 0.1 0.2 0.3\nf 1//1 -1//1 2//1\nf 1 / 1 2//+1 3//1\nf 1//1 2//12345678901 3//1\n";
    unsigned state = 12345;
    for (int i = 0; i < 6000; ++i) {
        state = state * 1664525u + 1013904223u;
        const double x = static_cast<int>(state >> 8) / 16777216.0 - 0.3;
        char line[160];
        std::snprintf(line, sizeof line,
                      "v %.9f %.17g %.3f\nvn %.6f 0.%u %d\nf %d//%d %u//2 3//3\n", x, x * 7, -x, x,
                      state, static_cast<int>(state % 1000), i + 1, i % 7 + 1, state % 100);
        text += line;
    }
    expectSameAsFormattedInput(text);
}

// The same with texture coordinates of two and three numbers, faces of
// every length that run on into the next line or stop at a comment, and
// numbers whose digits a float cannot hold exactly. A "vt" line with two
// numbers takes a number on the next line for its third.
TEST(ObjMeshParser, DirectReadingEqualsFormattedInputWithTextures) {
    std::string text = "v 1 2 3\nvt 0.5 0.25\nvt 1 0 0\nvn 0 0 1\n";
    const char* const tails[] = {"\n", " # note\n", "\n7/1/1\n", "\r\n", " 2/+1/-1\n", " x\n"};
    unsigned state = 777;
    for (int i = 0; i < 9000; ++i) {
        state = state * 1664525u + 1013904223u;
        const double x = static_cast<int>(state >> 8) / 65536.0 - 100;
        char line[400];
        int used = std::snprintf(line, sizeof line, "v %.6f %.8f %.1f\nvt %.6f %.7f%s", x, x / 3,
                                 x * 1000, x / 100, 1 - x / 1000,
                                 state % 4 == 0   ? " 0.000000\n"
                                 : state % 4 == 1 ? "\n1e-3\n"
                                                  : "\n");
        used += std::snprintf(line + used, sizeof line - used, "f");
        for (unsigned c = 0; c < 1 + state % 12; ++c) {
            used += std::snprintf(line + used, sizeof line - used, " %u/%u/1", c + 1, c % 2 + 1);
        }
        std::snprintf(line + used, sizeof line - used, "%s", tails[(state >> 4) % 6]);
        text += line;
    }
    expectSameAsFormattedInput(text);
}

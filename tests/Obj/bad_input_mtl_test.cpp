// Catalogue of bad MTL files: each row is a malformed library and either the
// exception it must end in or the materials it must leave.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <map>
#include <string>

#include "Obj/Exception.h"
#include "Obj/Material.h"
#include "Obj/MtlParser.h"
#include "test_support.h"

using testing_support::tempDir;
using testing_support::writeFile;

namespace {

typedef std::map<std::string, SMaterial> Materials;

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

}  // namespace

TEST(BadInputMtl, RefusedRowsThrowNamingTheFile) {
    std::string junk;
    for (int c = 0; c < 256; ++c) junk += static_cast<char>(c);
    const std::string folder = tempDir() + "/folder.mtl";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const struct {
        std::string path;
        bool notFound;  // else a parse error
    } rows[] = {
        {writeFile("empty.mtl", ""), true},
        {folder, true},
        {writeFile("junk.mtl", junk), false},
        {writeFile("comments_only.mtl", repeated("# nothing\n", 1000)), false},
        {writeFile("cut_colour.mtl", "# c\nnewmtl a\nKd 1 0"), false},
        {writeFile("junk_after_material.mtl", "# c\nnewmtl a\n" + junk), false},
    };
    for (const auto& row : rows) {
        Materials materials;
        try {
            CMtlParser::parse(materials, row.path);
            ADD_FAILURE() << row.path << " was read";
        } catch (const CException& e) {
            EXPECT_EQ(e.getMessage(), row.notFound
                                          ? "file \"" + row.path + "\" not found"
                                          : "parse error in file \"" + row.path + "\" (line -1)")
                << row.path;
        }
    }
}

TEST(BadInputMtl, AcceptedRowsLeaveTheirMaterials) {
    Materials materials;
    const std::string longName(1 << 20, 'm');
    const struct {
        const char* name;
        std::string text;
        std::string material;
        float kd0;
    } rows[] = {
        {"crlf.mtl", "# c\r\nnewmtl crlf\r\nKd 0.5 0 0\r\n", "crlf", 0.5f},
        {"lone_cr.mtl", "# c\rnewmtl cr\rKd 0.25 0 0\r", "cr", 0.25f},
        {"deep_comments.mtl", repeated("# c\n", 100000) + "newmtl deep\nKd 1 0 0\n", "deep", 1},
        {"enormous_name.mtl", "# c\nnewmtl " + longName + "\nKd 2 0 0\n", longName, 2},
        // Control characters are no white space: they belong to the name.
        {"control_name.mtl", std::string("# c\nnewmtl a\x01\x7f\nKd 3 0 0\n"), "a\x01\x7f", 3},
        // Values are stored as read, without a range.
        {"huge_value.mtl", "# c\nnewmtl huge\nKd 1e30 0 0\n", "huge", 1e30f},
    };
    for (const auto& row : rows) {
        CMtlParser::parse(materials, writeFile(row.name, row.text));
        ASSERT_EQ(materials.count(row.material), 1u) << row.name;
        EXPECT_EQ(materials.at(row.material).Kd[0], row.kd0) << row.name;
    }
    EXPECT_EQ(materials.size(), std::size(rows));

    // A number beyond float, even with an exponent beyond int, is stored as
    // infinity, which drawing passes on.
    for (const char* number : {"1e300", "1e99999999999999999999"}) {
        CMtlParser::parse(
            materials, writeFile("beyond_float.mtl", std::string("# c\nnewmtl inf\nNs ") + number));
        EXPECT_TRUE(std::isinf(materials.at("inf").Ns)) << number;
    }
}

#include "Obj/MtlParser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "Obj/Exception.h"
#include "Obj/MtlMapManager.h"
#include "test_support.h"

using testing_support::tempDir;
using testing_support::writeFile;

namespace {

typedef std::map<std::string, SMaterial> Materials;

void parseText(Materials& materials, const std::string& text, const std::string& name = "t.mtl") {
    CMtlParser::parse(materials, writeFile(name, text));
}

bool accepts(const std::string& text) {
    Materials materials;
    try {
        parseText(materials, text);
        return true;
    } catch (const CParseErrorException&) {
        return false;
    }
}

std::vector<float> rgba(const float* c) { return std::vector<float>(c, c + 4); }

}  // namespace

TEST(MtlParser, SmallestFileAddsAMaterialWithDefaults) {
    Materials materials;
    parseText(materials, "# c\nnewmtl red\nKd 1 0 0\n");
    ASSERT_EQ(materials.size(), 1u);
    const SMaterial& red = materials["red"];
    EXPECT_EQ(red.strName, "red");
    EXPECT_EQ(rgba(red.Kd), std::vector<float>({1, 0, 0, 1}));
    EXPECT_EQ(rgba(red.Ka), rgba(SMaterial().Ka));
    EXPECT_EQ(rgba(red.Ks), rgba(SMaterial().Ks));
    EXPECT_EQ(red.Ns, 32);
    EXPECT_EQ(red.map_Kd, "");
}

TEST(MtlParser, EveryStoredStatementAndTheIgnoredOnes) {
    Materials materials;
    parseText(
        materials,
        "\n  # lib\r\n#\r\n\r\nnewmtl a\r\nKa .5 5. -1e-1\r\nKs\t+2E+1 0 1.5\r\nNs 1000 # shiny\r\n"
        "map_Kd tex.png\r\nnewmtl b\rKd 0 0.25 1\rillum 1\rd 0.5\rNi 1.5\rsharpness 60\r"
        "map_Ka a.png\rmap_Ks b.png\rmap_Bump -bm 2 n.png\rmap_d m.png\rrefl -type sphere r.png\r"
        "disp h.png\rdecal x.png\r# end");
    EXPECT_EQ(rgba(materials["a"].Ka), std::vector<float>({0.5f, 5, -0.1f, 1}));
    EXPECT_EQ(rgba(materials["a"].Ks), std::vector<float>({20, 0, 1.5f, 1}));
    EXPECT_EQ(materials["a"].Ns, 1000);
    EXPECT_EQ(materials["a"].map_Kd, tempDir() + "/tex.png");
    EXPECT_EQ(rgba(materials["b"].Kd), std::vector<float>({0, 0.25f, 1, 1}));
    EXPECT_EQ(materials["b"].illum, 2);
    EXPECT_EQ(materials["b"].d, 1);
}

TEST(MtlParser, AcceptsExactlyTheLanguage) {
    EXPECT_TRUE(accepts("#\nnewmtl\nmap_Kd\n"));  // empty words
    EXPECT_TRUE(accepts("#\nnewmtlx\nKa1 2 3"));  // no blank needed after a keyword
    EXPECT_FALSE(accepts("newmtl red\nKd 1 0 0\n"));
    EXPECT_FALSE(accepts("# c\nKd 1 0 0\nnewmtl red\n"));
    EXPECT_FALSE(accepts("# c\n"));
    // clang-format off
    const char* const rejected[] = {
        "Tr 0.5", "Tf 1 1 1", "Ke 1 1 1", "bump b.png", "map_bump b.png", "map_Ns n.png",
        "Ka 0.1 0.2", "Ka 0.1 0.2 0.3 0.4", "Ka 0.1 0.2\n0.3", "Ns\n3", "Ns x", "Ns nan",
        "newmtl two words", "KD 1 1 1", "map_Kd -s 1 1 1 t.png"};
    // clang-format on
    for (const char* statement : rejected) {
        EXPECT_FALSE(accepts(std::string("# c\nnewmtl m\n") + statement + "\n")) << statement;
    }
}

TEST(MtlParser, FailureNamesTheFileAndKeepsWhatWasStored) {
    Materials materials;
    const std::string path = writeFile("partial.mtl", "# c\nnewmtl m\nKs 0 0 0\nKa 0.1 0.2\n");
    try {
        CMtlParser::parse(materials, path);
        ADD_FAILURE() << "read";
    } catch (const CParseErrorException& e) {
        EXPECT_EQ(e.getMessage(), "parse error in file \"" + path + "\" (line -1)");
    }
    EXPECT_EQ(rgba(materials["m"].Ks), std::vector<float>({0, 0, 0, 1}));
    EXPECT_EQ(rgba(materials["m"].Ka), std::vector<float>({0.1f, 0.2f, 0, 1}));
}

TEST(MtlParser, LaterFilesMergeIntoTheSameMap) {
    Materials materials;
    parseText(materials, "# 1\nnewmtl m\nKa 0.1 0.1 0.1\nKd 0.2 0.2 0.2\nnewmtl n\n", "one.mtl");
    parseText(materials, "# 2\nnewmtl m\nKd 0.3 0.3 0.3\n", "two.mtl");
    EXPECT_EQ(materials.size(), 2u);
    EXPECT_EQ(rgba(materials["m"].Ka), std::vector<float>({0.1f, 0.1f, 0.1f, 1}));
    EXPECT_EQ(rgba(materials["m"].Kd), std::vector<float>({0.3f, 0.3f, 0.3f, 1}));
}

TEST(MtlParser, TexturePathsAreRelativeToTheLibrary) {
    Materials materials;
    EXPECT_EQ(CMtlMapManager(materials, "Data").getFilePath("tex.png"), "Data/tex.png");
    EXPECT_EQ(CMtlMapManager(materials, "").getFilePath("tex.png"), "tex.png");
    mkdir((tempDir() + "/Data").c_str(), 0755);
    parseText(materials, "# c\nnewmtl m\nmap_Kd tex.png\n", "Data/a.mtl");
    EXPECT_EQ(materials["m"].map_Kd, tempDir() + "/Data/tex.png");
    EXPECT_THROW(CMtlParser::parse(materials, tempDir() + "/missing.mtl"), CFileNotFoundException);
}

// The reading that obj_mesh uses: the same grammar, with the values the
// strict one passes over stored and unknown statements skipped.
TEST(MtlParser, LenientReadingStoresAndSkipsWithPlacedWarnings) {
    const std::string text =
        "newmtl glass\n"
        "Kd 0.1 0.2 0.3\n"
        "Ke 0 0 0\n"
        "Ni 1.5\n"
        "d 0.25\n"
        "illum 7\n"
        "map_bump -bm 1 bump.png\n"
        "newmtl film\n"
        "Tr 0.75\n";
    const std::string file = writeFile("lenient.mtl", text);
    Materials materials;
    std::vector<std::string> warnings;
    CMtlParser::parseLenient(materials, file, warnings);
    const SMaterial& glass = materials["glass"];
    EXPECT_FLOAT_EQ(glass.Kd[2], 0.3f);
    EXPECT_FLOAT_EQ(glass.Ni, 1.5f);
    EXPECT_FLOAT_EQ(glass.d, 0.25f);
    EXPECT_EQ(glass.illum, 7);
    EXPECT_FLOAT_EQ(materials["film"].d, 0.25f);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], file + ":3: warning: skipped the statement \"Ke\", which the "
                                  "material reader does not know");
    EXPECT_NE(warnings[1].find(":7: warning: skipped the statement \"map_bump\""),
              std::string::npos);
    // The strict reading keeps rejecting the file, and stores none of these.
    Materials strict;
    EXPECT_THROW(CMtlParser::parse(strict, file), CParseErrorException);
    EXPECT_FALSE(accepts("# c\nnewmtl a\nTr 0.5\n"));
    Materials kept;
    parseText(kept, "# c\nnewmtl a\nd 0.5\nNi 2\nillum 4\n");
    EXPECT_FLOAT_EQ(kept["a"].d, 1.0f);
    EXPECT_FLOAT_EQ(kept["a"].Ni, 1.0f);
    EXPECT_EQ(kept["a"].illum, 2);
}

#include "Obj/Exception.h"

#include <gtest/gtest.h>

#include <limits>

#include "Obj/Logger.h"

TEST(Exception, MessagesNameTheFileAndTheProblem) {
    EXPECT_STREQ(CException("anything").getMessage(), "anything");
    EXPECT_STREQ(CFileNotFoundException("").getMessage(), "file \"\" not found");
    EXPECT_STREQ(CFileNotFoundException("Data/Tyra.obj").getMessage(),
                 "file \"Data/Tyra.obj\" not found");
    EXPECT_STREQ(CEmptyFileException().getMessage(), "empty file");
    EXPECT_STREQ(CParseErrorException("a.mtl", -1).getMessage(),
                 "parse error in file \"a.mtl\" (line -1)");
    EXPECT_STREQ(CParseErrorException("a.mtl", 12).getMessage(),
                 "parse error in file \"a.mtl\" (line 12)");
    EXPECT_STREQ(CImageLoadException("Unsupported image format").getMessage(),
                 "failed to load image (\"Unsupported image format\")");
}

TEST(Exception, LineSurvivesThrowingThroughTheBase) {
    try {
        throw CParseErrorException("b.mtl", 3);
    } catch (const CException& e) {
        EXPECT_STREQ(e.getMessage(), "parse error in file \"b.mtl\" (line 3)");
    }
}

TEST(Logger, WritesValuesBackToBackOnStandardError) {
    EXPECT_EQ(&CLogger::get(), &CLogger::get());
    testing::internal::CaptureStderr();
    CLogger::get() << "a" << 7 << ".\n"
                   << std::string("f=") << 0.1f << ' ' << std::numeric_limits<float>::max()
                   << std::flush;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "a7.\nf=0.1 3.40282e+38");
}

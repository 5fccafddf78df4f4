#include "GLSL_helper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "gl_window.h"
#include "test_support.h"
#include "viewer.h"

using testing_support::writeFile;

// Mesa keeps one error flag, so a real context never has two errors queued.
// The test binary is linked with --wrap=glGetError: errors queued here are
// returned first, then the real flag.
namespace {
std::deque<GLenum> queuedErrors;
}
extern "C" GLenum __real_glGetError();
extern "C" GLenum __wrap_glGetError() {
    if (queuedErrors.empty()) return __real_glGetError();
    const GLenum error = queuedErrors.front();
    queuedErrors.pop_front();
    return error;
}

TEST(GLSLHelper, PrintOglErrorDrainsEveryPendingError) {
    openTestWindow();
    queuedErrors = {GL_INVALID_ENUM, GL_INVALID_VALUE};
    testing::internal::CaptureStderr();
    EXPECT_EQ(printOglError("viewer.cpp", 42), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glError in file viewer.cpp @ line 42: invalid enumerant\n"
              "glError in file viewer.cpp @ line 42: invalid value\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(printOglError("viewer.cpp", 43), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(GLSLHelper, TextFileReadReturnsTheBytesAndANulOrNull) {
    char* text = textFileRead(writeFile("ten.txt", "0123456789").c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::memcmp(text, "0123456789", 11), 0);
    std::free(text);
    EXPECT_EQ(textFileRead(writeFile("empty.txt", "").c_str()), nullptr);
    EXPECT_EQ(textFileRead((testing_support::tempDir() + "/absent.txt").c_str()), nullptr);
    EXPECT_EQ(textFileRead(nullptr), nullptr);

    const std::string written = testing_support::tempDir() + "/written.txt";
    EXPECT_EQ(textFileWrite(written.c_str(), "abc"), 1);
    EXPECT_EQ(testing_support::readFile(written), "abc");
    EXPECT_EQ(textFileWrite(nullptr, "abc"), 0);
    EXPECT_EQ(textFileWrite(written.c_str(), nullptr), 0);
}

TEST(GLSLHelper, GetUniLocReportsOnlyMissingUniforms) {
    openTestWindow();
    testing::internal::CaptureStdout();
    getGLversion();  // Mesa's software renderer is recent enough: silent
    int program = 0;
    ASSERT_EQ(InstallShader(&program,
                            "uniform vec3 Offset;\n"
                            "void main() { gl_Position = ftransform() + vec4(Offset, 0); }\n",
                            "void main() { gl_FragColor = vec4(1.0); }\n"),
              1);
    testing::internal::GetCapturedStdout();

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_GE(getUniLoc(static_cast<GLuint>(program), "Offset"), 0);
    EXPECT_EQ(getUniLoc(static_cast<GLuint>(program), "Missing"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No such uniform named Missing\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

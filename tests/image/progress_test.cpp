// The progress line: silent unless enabled and past its delay, one line
// redrawn in place, erased at the end.
#include "image/progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

TEST(Progress, TextShowsShareRateAndTimeLeft) {
    EXPECT_EQ(progressText(0.42, 1.34e6, 12.2), "Tracing 42%, 1.3M rays/s, 13 s left");
    EXPECT_EQ(progressText(0.999, 2500, 0), "Tracing 99%, 2.5k rays/s, 0 s left");
    EXPECT_EQ(progressText(0, 12, -1), "Tracing 0%, 12 rays/s, time left unknown");
}

TEST(Progress, DisabledOrEarlyLinesWriteNothing) {
    std::ostringstream out;
    {
        ProgressLine off(out, false, 100, 0.0);
        off.advance(50, 1000);
        ProgressLine early(out, true, 100, 3600.0);
        early.advance(50, 1000);
    }
    EXPECT_EQ(out.str(), "");
}

TEST(Progress, OneLineRedrawnInPlaceThenErased) {
    std::ostringstream out;
    ProgressLine line(out, true, 4, 0.0);
    line.advance(1, 10);
    const std::string first = out.str();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], '\r');
    EXPECT_NE(first.find("Tracing 25%"), std::string::npos);
    EXPECT_EQ(first.find('\n'), std::string::npos);
    line.finish();
    const std::string all = out.str();
    // The erasing write: carriage return, spaces over the whole line, carriage return.
    const std::string erase = all.substr(first.size());
    EXPECT_EQ(erase, "\r" + std::string(first.size() - 1, ' ') + "\r");
    line.finish();  // nothing left to erase
    EXPECT_EQ(out.str(), all);
}

// A render whose standard error is not a terminal writes nothing there.
TEST(Progress, NoLineWhenStandardErrorIsNotATerminal) {
    const std::string scene = testing_support::writeFile(
        "quiet.pov", testing_support::readFile(std::string(RT_SOURCE_DIR) + "/scenes/demo.pov"));
    const auto r =
        testing_support::runRaytracer({"+W320", "+H240", "+I" + scene}, testing_support::tempDir());
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

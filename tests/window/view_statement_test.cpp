#include "window/view_statement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "parser.h"

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

// The statements' exact text and the paste back into a scene are checked
// through the c key (viewer_test, window_session_test).
TEST(ViewStatement, NumbersAreShortAndReadBackToTheSameDouble) {
    EXPECT_EQ(exactNumber(12), "12");
    EXPECT_EQ(exactNumber(0.1), "0.1");
    EXPECT_EQ(exactNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(exactNumber(-0.0), "-0");
    EXPECT_EQ(exactNumber(1e-20), "1e-20");
    for (const double value :
         {0.1 + 0.2, 1 / 3.0, -2 / 3.0, 9.9 - 0.1, 8 - 0.4000000059604645, 1e300, -4.9e-324,
          std::numeric_limits<double>::max(), std::numeric_limits<double>::min(), -0.0}) {
        const double back = Parser::parse_double(exactNumber(value));
        EXPECT_TRUE(sameBits(back, value)) << exactNumber(value) << " read back as " << back;
    }
}

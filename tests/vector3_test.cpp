#include "vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "color.h"

namespace {

std::string text(const Vector3& v) {
    std::unique_ptr<const char[]> owned(v.c_str());
    return owned.get();
}

}  // namespace

TEST(Vector3, ArithmeticAndProducts) {
    const Vector3 a(1, 2, 3);
    const Vector3 b(4, -5, 6);
    EXPECT_EQ(a + b, Vector3(5, -3, 9));
    EXPECT_EQ(a - b, Vector3(-3, 7, -3));
    EXPECT_EQ(a * b, 4 - 10 + 18);  // two vectors: the dot product
    EXPECT_EQ(a * 2.0, Vector3(2, 4, 6));
    EXPECT_EQ(2.0 * a, Vector3(2, 4, 6));
    EXPECT_EQ(-a, Vector3(-1, -2, -3));
    EXPECT_EQ(Vector3(1, 0, 0).cross(Vector3(0, 1, 0)), Vector3(0, 0, 1));
    EXPECT_EQ(a.cross(b), Vector3(2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4));
    EXPECT_FALSE(Vector3(1, 2, 3) == Vector3(1, 2, 3.0000000001));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(Vector3(nan, 0, 0) == Vector3(nan, 0, 0));
}

TEST(Vector3, NormalizeAndMagnitude) {
    EXPECT_EQ(Vector3(0, 0, 0).normalize(), Vector3(0, 0, 0));
    const Vector3 unit = Vector3(3, 0, 4).normalize();
    EXPECT_DOUBLE_EQ(unit.x, 0.6);
    EXPECT_EQ(unit.y, 0);
    EXPECT_DOUBLE_EQ(unit.z, 0.8);
    EXPECT_EQ(Vector3(3, 0, 4).magnitude(), 5);
    // Multiplication by the reciprocal, not a division per component.
    const Vector3 v(1, 1, 1);
    const double m = std::sqrt(3.0);
    EXPECT_EQ(v.normalize().x, 1 * (1.0 / m));
}

TEST(Vector3, PointerFormsLeaveOperandsAlone) {
    Vector3 a(1, 2, 3);
    Vector3 b(1, 1, 1);
    std::unique_ptr<Vector3> sum(a.add(&b));
    std::unique_ptr<Vector3> difference(a.subtract(&b));
    std::unique_ptr<Vector3> negation(a.inverse());
    EXPECT_EQ(*sum, Vector3(2, 3, 4));
    EXPECT_EQ(*difference, Vector3(0, 1, 2));
    EXPECT_EQ(*negation, Vector3(-1, -2, -3));
    EXPECT_EQ(a, Vector3(1, 2, 3));
    EXPECT_EQ(b, Vector3(1, 1, 1));
    EXPECT_EQ(a.dot(&b), 6);
    EXPECT_TRUE(a.equals(&a));
    EXPECT_FALSE(a.equals(&b));
}

TEST(Vector3, TextFormUsesSixSignificantDigits) {
    EXPECT_EQ(text(Vector3(1, 2.5, -3)), "<1, 2.5, -3>");
    EXPECT_EQ(text(Vector3(0.1, 123456, 1234567)), "<0.1, 123456, 1.23457e+06>");
    EXPECT_EQ(text(Vector3(1000000, 0.0000001, 0)), "<1e+06, 1e-07, 0>");
    EXPECT_EQ(Vector3(1, 2.5, -3).str(), "<1, 2.5, -3>");
}

TEST(Color, ClampsNegativesOnlyAndAdds) {
    const Color c(-0.5, 0.2, 2.0);
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.g, 0.2);
    EXPECT_EQ(c.b, 2.0);
    const Color sum = Color(0.5, 0.5, 0.5) + Color(0.75, 0, 0);
    EXPECT_EQ(sum.r, 1.25);
    EXPECT_EQ(sum.g, 0.5);
    EXPECT_EQ(sum.b, 0.5);
    const Color scaled = Color(0.5, 1, 2) * 0.5;
    EXPECT_EQ(scaled.r, 0.25);
    EXPECT_EQ(scaled.b, 1);
    const Color black;
    EXPECT_EQ(black.r + black.g + black.b, 0);
    EXPECT_TRUE(std::isnan(Color(std::nan(""), 0, 0).r));
}

TEST(ColorDeathTest, NegativeFactorIsAProgrammingError) {
    EXPECT_DEATH(Color(1, 1, 1) * -1.0, "x >= 0");
}

TEST(Color, ByteColorArraysArePacked) {
    ByteColor pixels[2] = {{1, 2, 3}, {4, 5, 6}};
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(pixels);
    EXPECT_EQ(bytes[3], 4);
    EXPECT_EQ(sizeof pixels, 6u);
}

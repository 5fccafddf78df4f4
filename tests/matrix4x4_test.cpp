#include "matrix4x4.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

Matrix4x4 diagonal(double a, double b, double c, double d) {
    return Matrix4x4(a, 0, 0, 0, 0, b, 0, 0, 0, 0, c, 0, 0, 0, 0, d);
}

}  // namespace

TEST(Matrix4x4, ConstructionAndText) {
    const Matrix4x4 zero;
    EXPECT_EQ(zero.determinant(), 0);
    EXPECT_EQ(diagonal(1, 1, 1, 1).str(), "{{1 0 0 0}{0 1 0 0}{0 0 1 0}{0 0 0 1}}");
    Matrix4x4 half = diagonal(0.5, 0.5, 0.5, 0.5);
    for (auto& row : half.m) {
        for (double& e : row) e = 0.5;
    }
    std::unique_ptr<const char[]> owned(half.c_str());
    EXPECT_STREQ(owned.get(), "{{0.5 0.5 0.5 0.5}{0.5 0.5 0.5 0.5}{0.5 0.5 0.5 0.5}{0.5 0.5 0.5 0.5}}");
    double raw[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    const Matrix4x4 copied(raw);
    EXPECT_EQ(copied.m[1][2], 7);
    EXPECT_EQ(copied.m[3][0], 13);
}

TEST(Matrix4x4, PointTransformHasNoDivisionByW) {
    const Matrix4x4 translation(1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1);
    EXPECT_EQ(translation * Vector3(1, 1, 1), Vector3(6, 7, 8));
    EXPECT_EQ(translation * Vector3(0, 0, 0), Vector3(5, 6, 7));
    EXPECT_EQ(diagonal(1, 1, 1, 2) * Vector3(1, 2, 3), Vector3(1, 2, 3));
}

TEST(Matrix4x4, ArithmeticOperators) {
    Matrix4x4 a = diagonal(1, 2, 3, 4);
    const Matrix4x4 b = diagonal(1, 1, 1, 1);
    const Matrix4x4 sum = a + b;
    EXPECT_EQ(a.m[0][0], 1);  // + leaves its operands alone
    EXPECT_EQ(sum.m[3][3], 5);
    a += b;
    EXPECT_EQ(a.m[0][0], 2);  // += changes its left operand
    a *= 2;
    EXPECT_EQ(a.m[1][1], 6);
    EXPECT_EQ((a * 0.5).m[1][1], 3);
    EXPECT_EQ((0.5 * a).m[1][1], 3);
    const Matrix4x4 product = Matrix4x4(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1) *
                              Matrix4x4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(product.m[0][0], 5);  // the row swap brings row 1 up
    EXPECT_EQ(product.m[1][3], 4);
}

TEST(Matrix4x4, DeterminantAndInverse) {
    EXPECT_EQ(diagonal(2, 4, 5, 10).determinant(), 400);
    const Matrix4x4 inverse = diagonal(2, 4, 5, 10).inverse();
    EXPECT_EQ(inverse.str(), diagonal(0.5, 0.25, 0.2, 0.1).str());
    const Matrix4x4 a(2, 1, 0, 3, 0, 1, 4, 1, 1, 0, 1, 2, 0, 2, 1, 1);
    const Matrix4x4 identity = a * a.inverse();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(identity.m[i][j], i == j ? 1 : 0, 1e-12) << i << "," << j;
        }
    }
    // An odd permutation of rows flips the sign.
    EXPECT_EQ(Matrix4x4(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1).determinant(), -1);
}

TEST(Matrix4x4DeathTest, SingularInverseIsAProgrammingError) {
    EXPECT_DEATH(Matrix4x4().inverse(), "det != 0");
}

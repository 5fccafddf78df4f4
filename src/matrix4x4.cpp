#include "matrix4x4.h"

#include <cassert>
#include <cstring>
#include <sstream>

Matrix4x4::Matrix4x4() : m{} {}

Matrix4x4::Matrix4x4(double A[4][4]) {
    std::memcpy(m, A, sizeof m);
}

Matrix4x4::Matrix4x4(double a, double b, double c, double d, double e, double f, double g,
                     double h, double i, double j, double k, double l, double n, double o,
                     double p, double q)
    : m{{a, b, c, d}, {e, f, g, h}, {i, j, k, l}, {n, o, p, q}} {}

std::string Matrix4x4::str() const {
    std::ostringstream out;
    out << "{";
    for (const auto& row : m) {
        out << "{" << row[0] << " " << row[1] << " " << row[2] << " " << row[3] << "}";
    }
    out << "}";
    return out.str();
}

const char* Matrix4x4::c_str() const {
    const std::string text = str();
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

double Matrix4x4::determinant() const {
    // The 24-term permutation expansion: twelve even permutations added, then
    // twelve odd ones subtracted, each naming the columns of rows 0..3.
    static const int added[12][4] = {{0, 1, 2, 3}, {0, 2, 3, 1}, {0, 3, 1, 2}, {1, 0, 3, 2},
                                     {1, 2, 0, 3}, {1, 3, 2, 0}, {2, 0, 1, 3}, {2, 1, 3, 0},
                                     {2, 3, 0, 1}, {3, 0, 2, 1}, {3, 1, 0, 2}, {3, 2, 1, 0}};
    static const int subtracted[12][4] = {{0, 1, 3, 2}, {0, 2, 1, 3}, {0, 3, 2, 1}, {1, 0, 2, 3},
                                          {1, 2, 3, 0}, {1, 3, 0, 2}, {2, 0, 3, 1}, {2, 1, 0, 3},
                                          {2, 3, 1, 0}, {3, 0, 1, 2}, {3, 1, 2, 0}, {3, 2, 0, 1}};
    double det = 0;
    for (const auto& p : added) {
        det += m[0][p[0]] * m[1][p[1]] * m[2][p[2]] * m[3][p[3]];
    }
    for (const auto& p : subtracted) {
        det -= m[0][p[0]] * m[1][p[1]] * m[2][p[2]] * m[3][p[3]];
    }
    return det;
}

namespace {

// Cofactor of element (row, col): the signed six-term expansion of its 3x3 minor.
double cofactor(const double (&m)[4][4], int row, int col) {
    int r[3] = {};
    int c[3] = {};
    for (int i = 0, k = 0; i < 4; ++i) {
        if (i != row) r[k++] = i;
    }
    for (int j = 0, k = 0; j < 4; ++j) {
        if (j != col) c[k++] = j;
    }
    const double even[3] = {m[r[0]][c[0]] * m[r[1]][c[1]] * m[r[2]][c[2]],
                            m[r[0]][c[1]] * m[r[1]][c[2]] * m[r[2]][c[0]],
                            m[r[0]][c[2]] * m[r[1]][c[0]] * m[r[2]][c[1]]};
    const double odd[3] = {m[r[0]][c[0]] * m[r[1]][c[2]] * m[r[2]][c[1]],
                           m[r[0]][c[1]] * m[r[1]][c[0]] * m[r[2]][c[2]],
                           m[r[0]][c[2]] * m[r[1]][c[1]] * m[r[2]][c[0]]};
    // Three products added and three subtracted, whichever sign the position has.
    const bool positive = (row + col) % 2 == 0;
    const double* plus = positive ? even : odd;
    const double* minus = positive ? odd : even;
    return plus[0] + plus[1] + plus[2] - minus[0] - minus[1] - minus[2];
}

}  // namespace

Matrix4x4 Matrix4x4::inverse() const {
    // The adjugate: b[i][j] is the cofactor of element (j, i).
    Matrix4x4 B;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            B.m[i][j] = cofactor(m, j, i);
        }
    }
    const double det = determinant();
    assert(det != 0);
    B *= 1.0 / det;
    return B;
}

Matrix4x4& operator*=(Matrix4x4& A, double r) {
    for (auto& row : A.m) {
        for (double& e : row) e *= r;
    }
    return A;
}

Matrix4x4& operator+=(Matrix4x4& A, const Matrix4x4& B) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) A.m[i][j] += B.m[i][j];
    }
    return A;
}

Matrix4x4 operator+(const Matrix4x4& A, const Matrix4x4& B) {
    Matrix4x4 C = A;
    return C += B;
}

Matrix4x4 operator*(const Matrix4x4& A, double r) {
    Matrix4x4 C = A;
    return C *= r;
}

Matrix4x4 operator*(double r, const Matrix4x4& A) {
    return A * r;
}

Matrix4x4 operator*(const Matrix4x4& A, const Matrix4x4& B) {
    Matrix4x4 C;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            C.m[i][j] += A.m[i][0] * B.m[0][j] + A.m[i][1] * B.m[1][j] + A.m[i][2] * B.m[2][j] +
                         A.m[i][3] * B.m[3][j];
        }
    }
    return C;
}

Vector3 operator*(const Matrix4x4& A, const Vector3& v) {
    const auto& m = A.m;
    return Vector3(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + m[0][3],
                   m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + m[1][3],
                   m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z + m[2][3]);
}

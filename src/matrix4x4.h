#pragma once

#include "vector3.h"

// Row-major 4x4 matrix, m[row][column]. Points are column vectors multiplied
// from the right with w = 1, so the translation sits in the fourth column.
struct Matrix4x4 {
    double m[4][4];

    Matrix4x4();  // the zero matrix, not the identity
    explicit Matrix4x4(double A[4][4]);
    Matrix4x4(double a, double b, double c, double d, double e, double f, double g, double h,
              double i, double j, double k, double l, double n, double o, double p, double q);

    // "{{a b c d}{...}{...}{...}}" in a newly allocated array the caller delete[]s.
    const char* c_str() const;
    std::string str() const;
    double determinant() const;
    Matrix4x4 inverse() const;  // requires a non-zero determinant
};

Matrix4x4& operator*=(Matrix4x4& A, double r);
Matrix4x4& operator+=(Matrix4x4& A, const Matrix4x4& B);
Matrix4x4 operator+(const Matrix4x4& A, const Matrix4x4& B);
Matrix4x4 operator*(const Matrix4x4& A, double r);
Matrix4x4 operator*(double r, const Matrix4x4& A);
Matrix4x4 operator*(const Matrix4x4& A, const Matrix4x4& B);
// Affine point transform; no division by w.
Vector3 operator*(const Matrix4x4& A, const Vector3& v);

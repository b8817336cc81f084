// Small square matrices of doubles, for the momentum model and the polynomial fits.
//
// Offers: Matrix, Mat2, Mat3, Mat4 (and momentum.h's Mat5 for the mass matrix).
#pragma once

namespace orva {

// N x N matrix stored by rows: element (i, j), both 0-based, at m[N i + j].
template <int N> struct Matrix {
    double m[N * N];
    double& operator()(int i, int j) { return m[N * i + j]; }
    double operator()(int i, int j) const { return m[N * i + j]; }
};

using Mat2 = Matrix<2>;
using Mat3 = Matrix<3>;
using Mat4 = Matrix<4>;

} // namespace orva

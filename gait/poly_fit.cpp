#include "gait/poly_fit.h"

#include "gait/matrix.h"

namespace orva {

double evalPoly(const JointPolynomial& p, double t) {
    double result = p.c[0];
    double power = 1.0;
    for (int k = 1; k <= evalHighestPower; ++k) {
        power = t * power;
        result = result + power * p.c[k];
    }
    return result;
}

double evalPolyDerivative(const JointPolynomial& p, double t, int order) {
    double value = 0, power = 1;
    for (int k = order; k <= evalHighestPower; ++k) {
        const int factor = order == 1 ? k : k * (k - 1);
        value += factor * p.c[k] * power;
        power *= t;
    }
    return value;
}

void derivPoly(const JointPolynomial& in, JointPolynomial& out) {
    for (int i = 0; i <= 9; ++i) out.c[i] = (i + 1) * in.c[i + 1];
    out.c[10] = 0.0;
}

namespace {

double det3(const Mat3& m) {
    return m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
           m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
           m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
}

// Minor of a 4x4 over rows 1..3 and columns p, q, r (in that order), expanded along its first
// row with the 2x2 minors of the last two rows.
double minor3(const Mat4& a, int p, int q, int r) {
    return a(1, p) * (a(2, q) * a(3, r) - a(2, r) * a(3, q)) -
           a(1, q) * (a(2, p) * a(3, r) - a(2, r) * a(3, p)) +
           a(1, r) * (a(2, p) * a(3, q) - a(2, q) * a(3, p));
}

double det4(const Mat4& a) {
    return a(0, 0) * minor3(a, 1, 2, 3) - a(0, 1) * minor3(a, 0, 2, 3) +
           a(0, 2) * minor3(a, 0, 1, 3) - a(0, 3) * minor3(a, 0, 1, 2);
}

// Cramer's rule for a 4x4 system: x[j] = det(a with column j replaced by rhs) / det(a).
void solve4(const Mat4& a, const double rhs[4], double x[4]) {
    const double inv = 1.0 / det4(a);
    for (int j = 0; j < 4; ++j) {
        Mat4 m = a;
        for (int row = 0; row < 4; ++row) m(row, j) = rhs[row];
        x[j] = det4(m) * inv;
    }
}

} // namespace

void fitQuintic(const double start[3], const double end[3], double T, JointPolynomial& out) {
    const double c0 = start[0], c1 = start[1], c2 = start[2] / 2;
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    const Mat3 a = {{T3, T4, T5, 3 * T2, 4 * T3, 5 * T4, 6 * T, 12 * T2, 20 * T3}};
    const double r[3] = {end[0] - (c0 + T * (c1 + c2 * T)), end[1] - (c1 + 2 * c2 * T),
                         end[2] - 2 * c2};

    out.c[0] = c0;
    out.c[1] = c1;
    out.c[2] = c2;
    const double inv = 1.0 / det3(a);
    for (int j = 0; j < 3; ++j) {
        Mat3 m = a;
        for (int row = 0; row < 3; ++row) m(row, j) = r[row];
        out.c[3 + j] = det3(m) * inv;
    }
    for (int k = 6; k < polyCoeffCount; ++k) out.c[k] = 0.0;
}

void fitSextic(const double start[3], const double end[3], double mid, double T,
               JointPolynomial& out) {
    const double c0 = start[0], c1 = start[1], c2 = start[2] / 2;
    const double M = T / 2; // the mid-step instant
    const double M2 = M * M, M3 = M2 * M, M4 = M3 * M, M5 = M4 * M, M6 = M5 * M;
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T, T6 = T5 * T;
    const Mat4 a = {{M3, M4, M5, M6, T3, T4, T5, T6, 3 * T2, 4 * T3, 5 * T4, 6 * T5, 6 * T, 12 * T2,
                     20 * T3, 30 * T4}};
    const double rhs[4] = {mid - (c0 + M * (c1 + c2 * M)), end[0] - (c0 + T * (c1 + c2 * T)),
                           end[1] - (c1 + 2 * c2 * T), end[2] - 2 * c2};
    double x[4];
    solve4(a, rhs, x);

    out.c[0] = c0;
    out.c[1] = c1;
    out.c[2] = c2;
    for (int j = 0; j < 4; ++j) out.c[3 + j] = x[j];
    for (int k = 7; k < polyCoeffCount; ++k) out.c[k] = 0.0;
}

void fitSeptic(const double start[4], const double end[4], double T, JointPolynomial& out) {
    const double c0 = start[0], c1 = start[1], c2 = start[2] / 2,
                 c3 = start[3] * 0.16666666666666666;
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T, T6 = T5 * T, T7 = T6 * T;
    const Mat4 a = {{T4, T5, T6, T7, 4 * T3, 5 * T4, 6 * T5, 7 * T6, 12 * T2, 20 * T3, 30 * T4,
                     42 * T5, 24 * T, 60 * T2, 120 * T3, 210 * T4}};
    const double rhs[4] = {end[0] - (c0 + c1 * T + c2 * T2 + c3 * T3),
                           end[1] - (c1 + 2 * c2 * T + 3 * c3 * T2), end[2] - (2 * c2 + 6 * c3 * T),
                           end[3] - 6 * c3};
    double x[4];
    solve4(a, rhs, x);

    out.c[0] = c0;
    out.c[1] = c1;
    out.c[2] = c2;
    out.c[3] = c3;
    for (int j = 0; j < 4; ++j) out.c[4 + j] = x[j];
    for (int k = 8; k < polyCoeffCount; ++k) out.c[k] = 0.0;
}

} // namespace orva

#include "gait/poly_fit.h"

#include <gtest/gtest.h>

namespace {

// Value, first, second and third derivative of p at t.
void evalDerivatives(const JointPolynomial& p, double t, double out[4]) {
    JointPolynomial d[4];
    d[0] = p;
    for (int k = 1; k < 4; ++k) derivPoly(d[k - 1], d[k]);
    for (int k = 0; k < 4; ++k) out[k] = evalPoly(d[k], t);
}

void expectCoefficients(const JointPolynomial& p, std::initializer_list<double> expected) {
    int k = 0;
    for (double c : expected) {
        EXPECT_NEAR(p.c[k], c, 1e-9 * (1 + std::abs(c))) << "c" << k;
        ++k;
    }
    for (; k < polyCoeffCount; ++k) EXPECT_EQ(p.c[k], 0.0) << "c" << k;
}

TEST(PolyFit, TextbookFitsFromRestToRest) {
    JointPolynomial p;
    const double start[3] = {0, 0, 0}, end[3] = {1, 0, 0};
    fitQuintic(start, end, 1.0, p);
    expectCoefficients(p, {0, 0, 0, 10, -15, 6});
    fitSextic(0, 0, 0, 0, 0, 0, 1, 1.0, 0.5, p);
    expectCoefficients(p, {0, 0, 0, 64, -192, 192, -64});
    fitSeptic(0, 0, 0, 0, 1, 0, 0, 0, 1.0, p);
    expectCoefficients(p, {0, 0, 0, 0, 35, -84, 70, -20});
}

TEST(PolyFit, FitsReproduceBoundaryAndViaValues) {
    // Step-like durations, short and long, with angles, rates and accelerations of a gait.
    for (double T : {0.23, 0.56, 1.4}) {
        const double s[4] = {1.35, 0.08, 0.67, -3.1}, e[4] = {1.62, -0.4, 5.2, 12.0};
        double at0[4], atT[4], atMid[4];
        JointPolynomial p;

        fitQuintic(s, e, T, p);
        evalDerivatives(p, 0, at0);
        evalDerivatives(p, T, atT);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(at0[k], s[k], 1e-9) << "quintic start " << k << " T " << T;
            EXPECT_NEAR(atT[k], e[k], 1e-9) << "quintic end " << k << " T " << T;
        }

        const double via = 2.9;
        fitSextic(s[0], s[1], s[2], e[0], e[1], e[2], via, T, T / 2, p);
        evalDerivatives(p, 0, at0);
        evalDerivatives(p, T, atT);
        evalDerivatives(p, T / 2, atMid);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(at0[k], s[k], 1e-9) << "sextic start " << k << " T " << T;
            EXPECT_NEAR(atT[k], e[k], 1e-8) << "sextic end " << k << " T " << T;
        }
        EXPECT_NEAR(atMid[0], via, 1e-9) << "sextic via, T " << T;

        fitSeptic(s[0], s[1], s[2], s[3], e[0], e[1], e[2], e[3], T, p);
        evalDerivatives(p, 0, at0);
        evalDerivatives(p, T, atT);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(at0[k], s[k], 1e-9) << "septic start " << k << " T " << T;
            EXPECT_NEAR(atT[k], e[k], 1e-7) << "septic end " << k << " T " << T;
        }
    }
}

TEST(PolyFit, EvaluationIgnoresTheLastCoefficientAndDerivativeShifts) {
    JointPolynomial p{};
    p.c[10] = 1;
    EXPECT_EQ(evalPoly(p, 0.7), 0.0);
    EXPECT_EQ(evalPoly(p, -3.0), 0.0);

    JointPolynomial d;
    derivPoly(p, d);
    EXPECT_EQ(d.c[9], 10.0);
    EXPECT_EQ(d.c[10], 0.0);

    // 2 - t + 3 t^9 at t = 2 uses all ten lower coefficients.
    JointPolynomial q{};
    q.c[0] = 2;
    q.c[1] = -1;
    q.c[9] = 3;
    EXPECT_EQ(evalPoly(q, 2.0), 2 - 2 + 3 * 512.0);
}

TEST(PolyFit, Determinants) {
    const Mat3 m = {{1, 2, 3, 0, 4, 5, 1, 0, 6}};
    EXPECT_DOUBLE_EQ(det3(m), 22.0);
    const Mat3 identity = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    EXPECT_EQ(det3(identity), 1.0);
    EXPECT_EQ(m(2, 3), 5.0); // 1-based, by rows

    const double a[16] = {1, 2, 3, 4, 5, 6, 7, 8, 2, 6, 4, 8, 3, 1, 1, 2};
    EXPECT_DOUBLE_EQ(det4(a), 72.0);
    double swapped[16];
    for (int k = 0; k < 16; ++k) swapped[k] = a[(k < 4 ? k + 12 : k >= 12 ? k - 12 : k)];
    EXPECT_DOUBLE_EQ(det4(swapped), -72.0);
    const double diagonal[16] = {2, 9, 9, 9, 0, 3, 9, 9, 0, 0, 5, 9, 0, 0, 0, 7};
    EXPECT_DOUBLE_EQ(det4(diagonal), 210.0);
}

} // namespace

#include "gait/poly_fit.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Value and first three derivatives of p at t.
void derivativesAt(const JointPolynomial& p, double t, double out[4]) {
    JointPolynomial d = p, next;
    for (int k = 0; k < 4; ++k) {
        out[k] = evalPoly(d, t);
        derivPoly(d, next);
        d = next;
    }
}

// How far derivative k misses its boundary values at both ends.
double mismatch(const double at0[4], const double atT[4], const double s[4], const double e[4],
                int k) {
    return std::abs(at0[k] - s[k]) + std::abs(atT[k] - e[k]);
}

TEST(PolyFit, TextbookFitsFromRestToRest) {
    JointPolynomial q, s, p;
    const double start[3] = {0, 0, 0}, end[3] = {1, 0, 0};
    fitQuintic(start, end, 1.0, q);
    fitSextic(0, 0, 0, 0, 0, 0, 1, 1.0, 0.5, s);
    fitSeptic(0, 0, 0, 0, 1, 0, 0, 0, 1.0, p);
    const double quintic[11] = {0, 0, 0, 10, -15, 6}, sextic[11] = {0, 0, 0, 64, -192, 192, -64},
                 septic[11] = {0, 0, 0, 0, 35, -84, 70, -20};
    for (int k = 0; k < 11; ++k) {
        EXPECT_NEAR(q.c[k], quintic[k], 1e-10) << k;
        EXPECT_NEAR(s.c[k], sextic[k], 1e-9) << k;
        EXPECT_NEAR(p.c[k], septic[k], 1e-9) << k;
    }
}

TEST(PolyFit, FitsReproduceTheirBoundaryAndViaValues) {
    const double s[4] = {1.35, 0.08, 0.67, -3.1}, e[4] = {1.62, -0.4, 5.2, 12.0}, via = 2.9;
    for (double T : {0.23, 0.56, 1.4}) { // the shortest and a long step, and beyond
        double at0[4], atT[4], atMid[4];
        JointPolynomial p;
        fitQuintic(s, e, T, p);
        derivativesAt(p, 0, at0);
        derivativesAt(p, T, atT);
        for (int k = 0; k < 3; ++k) EXPECT_LT(mismatch(at0, atT, s, e, k), 1e-9) << T;

        fitSextic(s[0], s[1], s[2], e[0], e[1], e[2], via, T, T / 2, p);
        derivativesAt(p, 0, at0);
        derivativesAt(p, T, atT);
        derivativesAt(p, T / 2, atMid);
        for (int k = 0; k < 3; ++k) EXPECT_LT(mismatch(at0, atT, s, e, k), 1e-8) << T;
        EXPECT_NEAR(atMid[0], via, 1e-9) << T;

        fitSeptic(s[0], s[1], s[2], s[3], e[0], e[1], e[2], e[3], T, p);
        derivativesAt(p, 0, at0);
        derivativesAt(p, T, atT);
        for (int k = 0; k < 4; ++k) EXPECT_LT(mismatch(at0, atT, s, e, k), 1e-7) << T;
        EXPECT_EQ(p.c[8], 0.0);
    }
}

TEST(PolyFit, EvaluationStopsBeforeTheLastCoefficientAndDeterminants) {
    JointPolynomial p{}, d;
    p.c[0] = 2;
    p.c[9] = 3;
    p.c[10] = 1;
    EXPECT_EQ(evalPoly(p, 2.0), 2 + 3 * 512.0);
    derivPoly(p, d);
    EXPECT_EQ(d.c[9], 10.0);
    EXPECT_EQ(d.c[8], 27.0);
    EXPECT_EQ(d.c[10], 0.0);

    const Mat3 m = {{1, 2, 3, 0, 4, 5, 1, 0, 6}};
    EXPECT_EQ(m(2, 3), 5.0); // 1-based, by rows
    EXPECT_DOUBLE_EQ(det3(m), 22.0);
    const double a[16] = {1, 2, 3, 4, 5, 6, 7, 8, 2, 6, 4, 8, 3, 1, 1, 2};
    EXPECT_DOUBLE_EQ(det4(a), 72.0);
}

} // namespace

#include "gait/poly_fit.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

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

// The largest miss, over derivatives 0..n-1, of their values s at 0 and e at T (NaN if any is).
double boundaryMiss(const JointPolynomial& p, double T, const double s[4], const double e[4],
                    int n) {
    double at0[4], atT[4], worst = 0;
    derivativesAt(p, 0, at0);
    derivativesAt(p, T, atT);
    for (int k = 0; k < n; ++k) {
        const double miss = std::abs(at0[k] - s[k]) + std::abs(atT[k] - e[k]);
        if (std::isnan(miss)) return miss;
        worst = std::fmax(worst, miss);
    }
    return worst;
}

TEST(PolyFit, FitsReproduceTheirBoundaryAndViaValues) {
    const double s[4] = {1.35, 0.08, 0.67, -3.1}, e[4] = {1.62, -0.4, 5.2, 12.0}, via = 2.9;
    for (double T : {0.23, 0.56, 1.4}) { // the shortest and a long step, and beyond
        JointPolynomial p;
        fitQuintic(s, e, T, p);
        EXPECT_LT(boundaryMiss(p, T, s, e, 3), 1e-9) << T;
        fitSextic(s, e, via, T, p);
        EXPECT_LT(boundaryMiss(p, T, s, e, 3), 1e-8) << T;
        EXPECT_NEAR(evalPoly(p, T / 2), via, 1e-9) << T;
        fitSeptic(s, e, T, p);
        EXPECT_LT(boundaryMiss(p, T, s, e, 4), 1e-7) << T;
        EXPECT_EQ(p.c[8], 0.0);
    }
}

TEST(PolyFit, EvaluationStopsBeforeTheLastCoefficient) {
    JointPolynomial p{}, d;
    p.c[0] = 2;
    p.c[9] = 3;
    p.c[10] = 1;
    EXPECT_EQ(evalPoly(p, 2.0), 2 + 3 * 512.0);
    derivPoly(p, d);
    EXPECT_EQ(d.c[9], 10.0);
    EXPECT_EQ(d.c[8], 27.0);
    EXPECT_EQ(d.c[10], 0.0);
}

} // namespace

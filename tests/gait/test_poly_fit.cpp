#include "gait/poly_fit.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

// The largest miss of p's derivatives 0..n-1 at 0 and at T against s and e; NaN if any is.
double boundaryMiss(JointPolynomial p, double T, const double s[4], const double e[4], int n) {
    double worst = 0;
    for (int k = 0; k < n; ++k) {
        const double miss = std::abs(evalPoly(p, 0) - s[k]) + std::abs(evalPoly(p, T) - e[k]);
        if (!(miss <= worst)) worst = miss;
        JointPolynomial d;
        derivPoly(p, d);
        p = d;
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

} // namespace

#include "gait/sin_cos.h"
#include "walking/body_model.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Distance in units of the last place of the library's value.
double ulps(double value, double reference) {
    if (reference == 0) return std::fabs(value) / std::numeric_limits<double>::denorm_min();
    return std::fabs(value - reference) / std::ldexp(1.0, std::ilogb(reference) - 52);
}

TEST(SinCos, WithinAnUlpOfTheLibraryOverEveryQuadrant) {
    double worstSin = 0, worstCos = 0;
    for (int i = -200000; i <= 200000; ++i) {
        const double x = i * 5e-5 + 1e-9 * (i % 7); // -10..10, off the grid's round numbers
        double s, c;
        sinCos(x, s, c);
        worstSin = std::fmax(worstSin, ulps(s, std::sin(x)));
        worstCos = std::fmax(worstCos, ulps(c, std::cos(x)));
    }
    EXPECT_LE(worstSin, 1.0);
    EXPECT_LE(worstCos, 1.0);

    // Near multiples of pi/2 the reduced angle is tiny and the split of pi/2 matters.
    for (int k = -6; k <= 6; ++k) {
        const double x = k * (pi / 2);
        double s, c;
        sinCos(x, s, c);
        EXPECT_NEAR(s, std::sin(x), 1e-16) << k;
        EXPECT_NEAR(c, std::cos(x), 1e-16) << k;
    }
}

TEST(SinCos, LargeAndNonFiniteAnglesFallBackToTheLibrary) {
    for (double x : {1e6, -3.5e7, 1e300}) {
        double s, c;
        sinCos(x, s, c);
        EXPECT_EQ(s, std::sin(x));
        EXPECT_EQ(c, std::cos(x));
    }
    for (double x : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL}) {
        double s, c;
        sinCos(x, s, c);
        EXPECT_TRUE(std::isnan(s) && std::isnan(c)) << x;
    }
}

} // namespace

#include "gait/sin_cos.h"
#include "model/body_model.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace orva;

namespace {

// Distance in units of the last place of the library's value.
double ulps(double value, double reference) {
    const double size = std::fmax(std::fabs(reference), 1e-300); // sin(0) is 0
    return std::fabs(value - reference) / std::ldexp(1.0, std::ilogb(size) - 52);
}

TEST(SinCos, WithinAnUlpOfTheLibrary) {
    double worst = 0;
    for (int i = -200000; i <= 200000; ++i) {
        const double x = i * 5e-5 + 1e-9 * (i % 7); // -10..10, every quadrant
        double s, c;
        sinCos(x, s, c);
        worst = std::fmax(worst, std::fmax(ulps(s, std::sin(x)), ulps(c, std::cos(x))));
    }
    EXPECT_LE(worst, 1.0);
    // Near multiples of pi/2 the reduced angle is tiny; far out and undefined angles go to the
    // library.
    for (double x : {pi, -1.5 * pi, 1e6, -3.5e7, std::numeric_limits<double>::quiet_NaN()}) {
        double s, c;
        sinCos(x, s, c);
        EXPECT_TRUE(std::abs(s - std::sin(x)) <= 1e-16 || (std::isnan(s) && std::isnan(x))) << x;
        EXPECT_TRUE(std::abs(c - std::cos(x)) <= 1e-16 || (std::isnan(c) && std::isnan(x))) << x;
    }
}

} // namespace

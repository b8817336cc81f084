#include "gait/sin_cos.h"

#include <cmath>
#include <gtest/gtest.h>

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
}

} // namespace

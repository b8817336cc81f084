#include "model/sine_table.h"

#include "model/constants.h"

#include <cmath>
#include <limits>
#include <vector>

namespace orva {

namespace {

struct SineTable {
    std::vector<double> samples; // samples[i] = sin(i * step)
    double step = 0.0;           // 2 pi / (n - 1), rad
};

SineTable sineTable;

constexpr double inverseTwoPi = 0.15915494309189535;

} // namespace

void buildSineTable(int n) {
    sineTable.step = 2 * pi / (n - 1);
    sineTable.samples.assign(n, 0.0);
    for (int i = 0; i < n; ++i) sineTable.samples[i] = std::sin(i * sineTable.step);
}

double tableSin(double angle) {
    // trunc keeps the reduction defined for any finite angle; an angle so large that the
    // reduction loses all precision, or a NaN or infinity, has no sample and gives NaN.
    const double k = std::trunc(angle * inverseTwoPi);
    const double reduced = angle - 2 * k * pi;
    const double index = std::trunc(std::fabs(reduced) / sineTable.step);
    if (!(index < static_cast<double>(sineTable.samples.size())))
        return std::numeric_limits<double>::quiet_NaN();
    const double sample = sineTable.samples[static_cast<size_t>(index)];
    return reduced >= 0 ? sample : -sample;
}

double tableCos(double angle) {
    return tableSin(halfPi - angle);
}

} // namespace orva

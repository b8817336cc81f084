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

// Written by prepareSineTable only, once, at start-up; read-only from then on. A lookup reads it
// directly: it is on the pose queries' every call, where a guard of a local static costs a
// quarter of their time.
SineTable table;

constexpr double inverseTwoPi = 0.15915494309189535;

} // namespace

void prepareSineTable() {
    if (!table.samples.empty()) return;
    const int n = sineTableSize;
    table.step = 2 * pi / (n - 1);
    table.samples.assign(n, 0.0);
    for (int i = 0; i < n; ++i) table.samples[i] = std::sin(i * table.step);
}

double tableSin(double angle) {
    // trunc keeps the reduction defined for any finite angle; an angle so large that the
    // reduction loses all precision, or a NaN or infinity, has no sample and gives NaN.
    const double k = std::trunc(angle * inverseTwoPi);
    const double reduced = angle - 2 * k * pi;
    const double index = std::trunc(std::fabs(reduced) / table.step);
    if (!(index < static_cast<double>(table.samples.size())))
        return std::numeric_limits<double>::quiet_NaN();
    const double sample = table.samples[static_cast<size_t>(index)];
    return reduced >= 0 ? sample : -sample;
}

double tableCos(double angle) {
    return tableSin(halfPi - angle);
}

} // namespace orva

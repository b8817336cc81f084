#include "walking/sine_table.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct SineTable {
    std::vector<double> samples; // samples[i] = sin(i * step)
    double step = 0.0;           // 2 pi / (n - 1), rad
};

SineTable sineTable;

constexpr double inverseTwoPi = 0.15915494309189535;
constexpr double halfPi = 1.5707963267948966;

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

double swingFootReach(const RobotState& state) {
    const LinkAngles a = toLinkAngles(state.q);
    const double* L = bodyParams.length;
    return L[0] * tableCos(a.theta[0]) + L[1] * tableCos(a.theta[1]) - L[3] * tableCos(a.theta[3]) -
           L[4] * tableCos(a.theta[4]);
}

void centreOfMass(const RobotState& state, double out[2]) {
    const LinkAngles a = toLinkAngles(state.q);
    const double* L = bodyParams.length;
    const double* w = modelCoefficients.comWeight;
    double x = L[0] * tableCos(a.theta[0]) + L[1] * tableCos(a.theta[1]);
    double y = L[0] * tableSin(a.theta[0]) + L[1] * tableSin(a.theta[1]);
    for (int i = 0; i < linkCount; ++i) {
        x += w[i] * tableCos(a.theta[i]);
        y += w[i] * tableSin(a.theta[i]);
    }
    out[0] = x;
    out[1] = y;
}

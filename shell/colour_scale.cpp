#include "shell/colour_scale.h"

#include <algorithm>
#include <cmath>

Rgb scaleColour(double u) {
    static const int stops[9][3] = {{68, 1, 84},    {71, 44, 122},  {59, 81, 139},
                                    {44, 113, 142}, {33, 144, 141}, {39, 173, 129},
                                    {92, 200, 99},  {170, 220, 50}, {253, 231, 37}};
    u = std::min(1.0, std::max(0.0, std::isfinite(u) ? u : 0.0));
    const double x = u * 8;
    const int k = std::min(7, static_cast<int>(x));
    const double f = x - k;
    int rgb[3];
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<int>(std::lround(stops[k][c] + f * (stops[k + 1][c] - stops[k][c])));
    return {rgb[0], rgb[1], rgb[2]};
}

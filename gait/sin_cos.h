// Sine and cosine of one angle together, for the step measures' inner loop: within an ulp of
// the math library on the angles of a gait, at about half the cost of sincos.
//
// Offers: sinCos.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// Reduces x by the nearest multiple n of pi/2 (Cody-Waite, pi/2 split in a 33-bit head and a
// tail) and evaluates the minimax kernels on |r| <= pi/4; n's two low bits pick the quadrant.
// Beyond |x| = 1e5 the split is no longer exact, so the math library takes over.
inline void sinCos(double x, double& s, double& c) {
    constexpr double reducedRange = 1e5;
    if (!(std::fabs(x) <= reducedRange)) {
        s = std::sin(x);
        c = std::cos(x);
        return;
    }
    constexpr double twoOverPi = 6.36619772367581382433e-01;
    constexpr double halfPiHead = 1.57079632673412561417e+00;
    constexpr double halfPiTail = 6.07710050650619224932e-11;
    constexpr double roundingShift = 6755399441055744.0; // 1.5 x 2^52: adding it rounds to integer
    const double shifted = x * twoOverPi + roundingShift;
    const double n = shifted - roundingShift;
    const double r = (x - n * halfPiHead) - n * halfPiTail;
    const double z = r * r;

    const double sinPoly =
        8.33333333332248946124e-03 +
        z * (-1.98412698298579493134e-04 +
             z * (2.75573137070700676789e-06 +
                  z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
    const double sinR = r + (z * r) * (-1.66666666666666324348e-01 + z * sinPoly);
    const double cosPoly =
        z * (4.16666666666666019037e-02 +
             z * (-1.38888888888741095749e-03 +
                  z * (2.48015872894767294178e-05 +
                       z * (-2.75573143513906633035e-07 +
                            z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
    const double halfZ = 0.5 * z, w = 1.0 - halfZ;
    const double cosR = w + (((1.0 - w) - halfZ) + z * cosPoly);

    std::uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    switch (bits & 3) {
    case 0:
        s = sinR;
        c = cosR;
        break;
    case 1:
        s = cosR;
        c = -sinR;
        break;
    case 2:
        s = -sinR;
        c = -cosR;
        break;
    default:
        s = -cosR;
        c = sinR;
        break;
    }
}

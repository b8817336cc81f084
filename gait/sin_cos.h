// Sine and cosine of one angle together: within an ulp of the math library on the angles of a
// gait, at a fraction of the cost of sincos.
//
// Offers: sinCosRange, sinCosKernel (branch-free, so that loops over samples vectorise; only
// for |x| <= sinCosRange), sinCos (any x), SineCosine and sinCos returning it. The whole gait
// core takes its sines and cosines from here.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace orva {

// Up to here the reduction by multiples of pi/2 below is exact enough; beyond it, and for
// non-finite x, the math library takes over.
constexpr double sinCosRange = 1e5;

// Reduces x by the nearest multiple q of pi/2 (Cody-Waite, pi/2 split in a 33-bit head and a
// tail), evaluates the minimax kernels on |r| <= pi/4 and lets q's two low bits pick the
// quadrant: swap sine and cosine when odd, and flip the signs that quadrant needs.
inline void sinCosKernel(double x, double& s, double& c) {
    constexpr double twoOverPi = 6.36619772367581382433e-01;
    constexpr double halfPiHead = 1.57079632673412561417e+00;
    constexpr double halfPiTail = 6.07710050650619224932e-11;
    constexpr double roundingShift = 6755399441055744.0; // 1.5 x 2^52: adding it rounds to integer
    const double shifted = x * twoOverPi + roundingShift;
    const double q = shifted - roundingShift;
    const double r = (x - q * halfPiHead) - q * halfPiTail;
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

    std::uint64_t quadrant, sinBits, cosBits;
    std::memcpy(&quadrant, &shifted, sizeof quadrant); // q sits in the low mantissa bits
    std::memcpy(&sinBits, &sinR, sizeof sinBits);
    std::memcpy(&cosBits, &cosR, sizeof cosBits);
    const std::uint64_t swap = 0 - (quadrant & 1);
    const std::uint64_t sOut = ((cosBits & swap) | (sinBits & ~swap)) ^ ((quadrant & 2) << 62);
    const std::uint64_t cOut =
        ((sinBits & swap) | (cosBits & ~swap)) ^ (((quadrant + 1) & 2) << 62);
    std::memcpy(&s, &sOut, sizeof s);
    std::memcpy(&c, &cOut, sizeof c);
}

inline void sinCos(double x, double& s, double& c) {
    if (std::fabs(x) <= sinCosRange) {
        sinCosKernel(x, s, c);
    } else {
        s = std::sin(x);
        c = std::cos(x);
    }
}

struct SineCosine {
    double sin, cos;
};

inline SineCosine sinCos(double x) {
    SineCosine r;
    sinCos(x, r.sin, r.cos);
    return r;
}

} // namespace orva

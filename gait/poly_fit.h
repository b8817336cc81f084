// Link-angle polynomials: evaluation, differentiation, and boundary-value fits of degree
// 5, 6 and 7 solved by Cramer's rule. Pure functions; nothing allocated.
//
// Offers: evalHighestPower, evalPoly, evalPolyDerivative, derivPoly, fitQuintic, fitSextic,
// fitSeptic.
// A fit's boundary values at each end are (position, velocity, acceleration), and the jerk
// too for the septic; every fit writes all eleven coefficients, zero above its degree.
#pragma once

#include "model/gait_table.h"

namespace orva {

// Highest power of t that an evaluation takes: c10 takes no part. The fits leave every
// coefficient above their degree at zero, which adds nothing.
constexpr int evalHighestPower = 9;

// Value at t, the sum of c_k t^k from k = 0 up, t^k built as t t^(k-1).
double evalPoly(const JointPolynomial& p, double t);
// First (order 1) or second (order 2) time derivative at t, each term's factor k or k (k - 1)
// applied to c_k before t^(k - order).
double evalPolyDerivative(const JointPolynomial& p, double t, int order);
// The coefficients of the derivative.
void derivPoly(const JointPolynomial& in, JointPolynomial& out);

void fitQuintic(const double start[3], const double end[3], double T, JointPolynomial& out);
// The quintic's boundary values and the position mid at T / 2.
void fitSextic(const double start[3], const double end[3], double mid, double T,
               JointPolynomial& out);
void fitSeptic(const double start[4], const double end[4], double T, JointPolynomial& out);

} // namespace orva

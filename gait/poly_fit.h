// Link-angle polynomials: evaluation, differentiation, and boundary-value fits of degree
// 5, 6 and 7 solved by Cramer's rule. Pure functions; nothing allocated.
//
// Offers: evalPoly, derivPoly, fitQuintic, fitSextic, fitSeptic.
// A fit's boundary values at each end are (position, velocity, acceleration), and the jerk
// too for the septic; every fit writes all eleven coefficients, zero above its degree.
#pragma once

#include "model/gait_table.h"

namespace orva {

// Value at t from c0..c9 (c10 takes no part).
double evalPoly(const JointPolynomial& p, double t);
void derivPoly(const JointPolynomial& in, JointPolynomial& out);

void fitQuintic(const double start[3], const double end[3], double T, JointPolynomial& out);
// The quintic's boundary values and the position mid at T / 2.
void fitSextic(const double start[3], const double end[3], double mid, double T,
               JointPolynomial& out);
void fitSeptic(const double start[4], const double end[4], double T, JointPolynomial& out);

} // namespace orva

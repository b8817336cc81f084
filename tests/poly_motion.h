#pragma once
// Shared by the gait and walking tests: value, rate and acceleration of P at T, through the
// coefficients of its derivatives rather than the program's own derivative evaluation.

#include "gait/poly_fit.h"

inline void polyMotion(const orva::JointPolynomial& p, double t, double out[3]) {
    orva::JointPolynomial d1, d2;
    orva::derivPoly(p, d1);
    orva::derivPoly(d1, d2);
    out[0] = orva::evalPoly(p, t), out[1] = orva::evalPoly(d1, t), out[2] = orva::evalPoly(d2, t);
}

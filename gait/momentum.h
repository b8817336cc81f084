// The five-link model's angular momentum about the stance ankle (links 0..4: stance shank,
// stance thigh, torso, swing thigh, swing shank) and the two boundary solvers the step
// generator applies at both ends of a step. Pure functions of their arguments and of
// modelCoefficients and generatorConstants, constants of the body model.
//
// Offers: massMatrix, massMatrixRate, massMatrixAccel (as Mat5), momentumWeights, comAbscissa,
// comAbscissaRate, hipAccelForZeroMoment, torsoJerk.
//
// Link vectors are five doubles indexed by link: absolute angles (rad), rates (rad/s),
// accelerations (rad/s^2) or jerks (rad/s^3). Free pivot: dH/dt = -g M Xc, with
// H = sum of s_i theta_i' and s the row sums of the mass matrix.
#pragma once

#include "gait/matrix.h"
#include "model/body_model.h"

namespace orva {

// The mass matrix of links 0..4.
using Mat5 = Matrix<modelLinkCount>;

// Entry (i, j) is Dij cos(theta_i - theta_j); (2,3) and (2,4) are the constants D23, D24.
Mat5 massMatrix(const double theta[modelLinkCount]);
// First and second time derivatives of massMatrix along the motion.
Mat5 massMatrixRate(const double theta[modelLinkCount], const double rate[modelLinkCount]);
Mat5 massMatrixAccel(const double theta[modelLinkCount], const double rate[modelLinkCount],
                     const double accel[modelLinkCount]);
// Row sums s_i, the weight of theta_i' in the angular momentum when m is the mass matrix.
void momentumWeights(const Mat5& m, double s[modelLinkCount]);

// Centre-of-mass abscissa relative to the stance ankle, and its time derivative, m and m/s.
double comAbscissa(const double theta[modelLinkCount]);
double comAbscissaRate(const double theta[modelLinkCount], const double rate[modelLinkCount]);

// Horizontal hip acceleration ax that keeps dH/dt = G, given the vertical hip acceleration ay,
// the swing-foot acceleration (fx, fy) and the gravity moment G = -g M Xc. The legs follow
// the hip through their Jacobians and the torso hangs as a linearised pendulum on the hip;
// rate[2] is the torso rate.
double hipAccelForZeroMoment(const double theta[modelLinkCount], const double rate[modelLinkCount],
                             double ay, double fx, double fy, double G);
// Torso jerk that keeps the second derivative of the balance, d2H/dt2 = -g M Xc'; jerk[2] is
// not read.
double torsoJerk(const double theta[modelLinkCount], const double rate[modelLinkCount],
                 const double accel[modelLinkCount], const double jerk[modelLinkCount]);

} // namespace orva

// ORVA's body: fixed parameters, the constants derived from them, the pose record
// and the conversions between joint coordinates and absolute link angles.
//
// Conventions, for every file of the walking and gait libraries:
//   - Origin at the ankle of the stance (support) leg, x forward (walking direction), y up.
//   - Angles in radians. Link angles are absolute, measured counter-clockwise from +x;
//     dir(a) = (cos a, sin a). pi/2 is upright.
//   - Lengths in metres, masses in kilograms, inertias in kg m^2, time in seconds of phase time.
//
// Links: 0 stance shank, 1 stance thigh, 2 torso, 3 swing thigh, 4 swing shank, 5 swing foot.
// Links 0..2 run upwards from the stance ankle; links 3 and 4 are also described by their
// upward direction, so swing knee = hip - length3 dir(theta3), swing ankle = knee - length4
// dir(theta4).
//
// Offers: linkCount, modelLinkCount, BodyParams, ModelCoefficients, GeneratorConstants and their
// single instances (bodyParams, modelCoefficients, generatorConstants, computed at compile time
// from the body's figures, so that nothing can change them), makeBodyParams,
// makeModelCoefficients, makeGeneratorConstants; RobotState, LinkAngles, toLinkAngles,
// toJointCoords, toLinkRates, toJointRates.
#pragma once

#include "model/constants.h"

#include <initializer_list>

namespace orva {

constexpr int linkCount = 6;
// Links 0..4, the ones the gait core models and the trajectories describe; the swing foot
// is carried along.
constexpr int modelLinkCount = 5;

struct BodyParams {
    double length[linkCount];  // link length, m
    double comDist[linkCount]; // centre of mass from the link's lower joint (hip for the torso), m
    double mass[linkCount];    // kg
    double inertia[linkCount]; // about the link's centre of mass, kg m^2
    double gravity;            // m/s^2
    double totalMass;          // kg
    double massFraction[linkCount]; // mass / totalMass
    double comRatio[linkCount];     // comDist / length, set for links 0, 1, 2 and 5 only
};

struct ModelCoefficients {
    // Dij of the symmetric 5x5 mass matrix of links 0..4; entry (i, j) is Dij cos(theta_i -
    // theta_j).
    double massMatrixCoeff[modelLinkCount][modelLinkCount];
    // Whole-body centre of mass = hip + sum of comWeight[i] dir(theta_i), m.
    double comWeight[linkCount];
};

struct GeneratorConstants {
    double gravity;     // m/s^2
    double totalMass;   // kg
    double shankLength; // L0, m
    double thighLength; // L1, m
    double shankWeight; // w0, m
    double thighWeight; // w1, m
    double torsoWeight; // wT, m
    double torsoGain;   // kT, 1/m
};

// The pose record. q are joint coordinates:
//   q0 = theta0, q1 = theta1 - theta0, q2 = theta2 - theta1,
//   q3 = theta3 - theta1 - pi, q4 = theta4 - theta3, q5 = theta5 - theta4 + pi.
struct RobotState {
    double q[linkCount];  // rad
    double dq[linkCount]; // rad/s; never written by the walking cycle
};

struct LinkAngles {
    double theta[linkCount]; // absolute link angles, rad
};

// ORVA's figures: link lengths, centres of mass, masses and inertias; the total mass and the
// ratios follow from them.
constexpr BodyParams makeBodyParams() {
    BodyParams p{};
    for (int i = 0; i < modelLinkCount; ++i) p.length[i] = limbLinkLength;
    p.length[5] = 0.3;

    p.comDist[0] = 0.1719;
    p.comDist[1] = 0.378 * p.length[1];
    p.comDist[2] = 0.5 * p.length[2];
    p.comDist[3] = 0.5 * p.length[1];
    p.comDist[4] = 0.5 * p.length[0];
    p.comDist[5] = 0.5 * p.length[5];

    const double masses[linkCount] = {3.57, 3.69, 16.0, 3.69, 3.57, 1.13};
    const double inertias[linkCount] = {0.059, 0.061, 0.6, 0.061, 0.059, 0.00486};
    for (int i = 0; i < linkCount; ++i) {
        p.mass[i] = masses[i];
        p.inertia[i] = inertias[i];
    }
    p.gravity = 9.80665;

    p.totalMass = 0.0;
    for (int i = 0; i < linkCount; ++i) p.totalMass += p.mass[i];
    for (int i = 0; i < linkCount; ++i) p.massFraction[i] = p.mass[i] / p.totalMass;
    for (int i = 0; i < linkCount; ++i) p.comRatio[i] = 0.0;
    for (int i : {0, 1, 2, 5}) p.comRatio[i] = p.comDist[i] / p.length[i];
    return p;
}

constexpr ModelCoefficients makeModelCoefficients(const BodyParams& p) {
    const double L0 = p.length[0], L1 = p.length[1], L2 = p.length[2], L5 = p.length[5];
    const double m0 = p.mass[0], m1 = p.mass[1], m2 = p.mass[2], m5 = p.mass[5];
    const double I0 = p.inertia[0], I1 = p.inertia[1], I2 = p.inertia[2];
    const double r0 = p.comRatio[0], r1 = p.comRatio[1], r2 = p.comRatio[2], r5 = p.comRatio[5];
    const double* mu = p.massFraction;

    ModelCoefficients c{};
    double(&D)[modelLinkCount][modelLinkCount] = c.massMatrixCoeff;
    D[0][0] = I0 + L0 * L0 * (m0 * r0 * r0 + m0 + 2 * m1 + m2 + m5);
    D[0][1] = L0 * L1 * (m0 + m2 + m5 + m1 * (r1 + 1));
    D[0][2] = L0 * m2 * L2 * r2;
    D[0][3] = L0 * L1 * (m1 * (r1 - 1) - m0 - m5);
    D[0][4] = L0 * L0 * (m0 * (r0 - 1) - m5);
    D[1][1] = I1 + L1 * L1 * (m0 + m2 + m5 + m1 * (r1 * r1 + 1));
    D[1][2] = r2 * L1 * m2 * L2;
    D[1][3] = L1 * L1 * (m1 * (r1 - 1) - m0 - m5);
    D[1][4] = L0 * L1 * (m0 * (r0 - 1) - m5);
    D[2][2] = I2 + r2 * r2 * L2 * (m2 * L2);
    D[2][3] = 0.0;
    D[2][4] = 0.0;
    D[3][3] = I1 + L1 * L1 * (m0 + m5 + m1 * (1 - r1) * (1 - r1));
    D[3][4] = L0 * L1 * (m5 + m0 * (1 - r0));
    D[4][4] = I0 + L0 * L0 * (m5 + m0 * (1 - r0) * (1 - r0));
    for (int i = 0; i < modelLinkCount; ++i)
        for (int j = 0; j < i; ++j) D[i][j] = D[j][i];

    double* w = c.comWeight;
    w[0] = -(1 - r0) * mu[0] * L0;
    w[1] = -((1 - r1) * mu[1] + mu[0]) * L1;
    w[2] = mu[2] * L2 * r2;
    w[3] = -((1 - r1) * mu[3] + mu[4] + mu[5]) * L1;
    w[4] = -((1 - r0) * mu[4] + mu[5]) * L0;
    w[5] = mu[5] * L5 * r5;
    return c;
}

constexpr GeneratorConstants makeGeneratorConstants(const BodyParams& p) {
    const double L0 = p.length[0], L1 = p.length[1], L2 = p.length[2];
    const double r0 = p.comRatio[0], r1 = p.comRatio[1], r2 = p.comRatio[2];
    const double* mu = p.massFraction;
    const double c2 = r2 * L2;

    GeneratorConstants c{};
    c.gravity = p.gravity;
    c.totalMass = p.totalMass;
    c.shankLength = L0;
    c.thighLength = L1;
    c.shankWeight = -(1 - r0) * mu[0] * L0;
    c.thighWeight = -((1 - r1) * mu[1] + mu[0]) * L1;
    c.torsoWeight = mu[2] * r2 * L2;
    c.torsoGain = p.mass[2] * c2 / (p.inertia[2] + p.mass[2] * c2 * c2);
    return c;
}

inline constexpr BodyParams bodyParams = makeBodyParams();
inline constexpr ModelCoefficients modelCoefficients = makeModelCoefficients(bodyParams);
inline constexpr GeneratorConstants generatorConstants = makeGeneratorConstants(bodyParams);

LinkAngles toLinkAngles(const double q[linkCount]);
void toJointCoords(const LinkAngles& theta, double q[linkCount]);
// The same maps without the pi terms; they serve rates and accelerations alike.
void toLinkRates(const double jointRates[linkCount], double linkRates[linkCount]);
void toJointRates(const double linkRates[linkCount], double jointRates[linkCount]);

} // namespace orva

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
// single instances (bodyParams, modelCoefficients, generatorConstants), defineBodyParams,
// setupModel, setupGeneratorConstants; RobotState, LinkAngles, toLinkAngles, toJointCoords,
// toLinkRates, toJointRates.
#pragma once

#include "model/constants.h"

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

extern BodyParams bodyParams;
extern ModelCoefficients modelCoefficients;
extern GeneratorConstants generatorConstants;

void defineBodyParams(BodyParams& params);
void setupModel();
void setupGeneratorConstants();

LinkAngles toLinkAngles(const double q[linkCount]);
void toJointCoords(const LinkAngles& theta, double q[linkCount]);
// The same maps without the pi terms; they serve rates and accelerations alike.
void toLinkRates(const double jointRates[linkCount], double linkRates[linkCount]);
void toJointRates(const double linkRates[linkCount], double jointRates[linkCount]);

} // namespace orva

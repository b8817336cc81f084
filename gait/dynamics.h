// The inverse dynamics of a step: what the joints and the ground must supply for a segment's
// five link-angle polynomials to happen. Six bodies: links 0..4 with their masses and inertias,
// and the swing foot as a point mass at the swing ankle; the stance foot stays on the ground.
// During a blend the split of the ground force between the feet is not determined by the
// motion: a blend is taken as single support on the stance foot of its own polynomials.
// Reads bodyParams, a constant of the body model. Nothing is allocated.
//
// Offers: LinkMotion, linkMotionAt, DynamicsSample, inverseDynamics, dynamicsAt,
// sampleDynamics, kineticEnergy, potentialEnergy, StepWork, stepWork, summarySampleCount,
// DynamicsSummary, summarizeDynamics, stepLength, dynamicsBodyCount, DynamicsBody, dynamicsBody.
//
// Joint torques are conjugate to the joint rates q0' = theta0', q1' = theta1' - theta0',
// q2' = theta2' - theta1', q3' = theta3' - theta1', q4' = theta4' - theta3': tau0 is the moment
// the ground applies at the stance ankle (zero for a free pivot), tau1 the stance knee, tau2 the
// torso against the stance thigh, tau3 the swing hip against the stance thigh, tau4 the swing
// knee.
#pragma once

#include "model/gait_table.h"

namespace orva {

// The bodies the dynamics moves, as another engine's model takes them: links 0..4 and the swing
// foot, a point mass at the swing ankle. Each link's centre of mass lies on it, comRatio of its
// length up from its lower end (the ankle for a shank, the knee for a thigh, the hip for the
// torso): the swing leg's links are the stance leg's twins.
constexpr int dynamicsBodyCount = 6;
struct DynamicsBody {
    double mass;     // kg
    double length;   // m; 0 for the swing foot
    double comRatio; // share of the length
    double inertia;  // about the centre of mass, kg m^2; 0 for the swing foot
};
DynamicsBody dynamicsBody(int body);

// Link angles (rad), rates (rad/s) and accelerations (rad/s^2) of links 0..4 at one instant.
struct LinkMotion {
    double theta[modelLinkCount];
    double rate[modelLinkCount];
    double accel[modelLinkCount];
};

// The five polynomials and their first two derivatives at t, differentiated analytically.
LinkMotion linkMotionAt(const TrajectorySegment& seg, double t);

struct DynamicsSample {
    double tau[modelLinkCount]; // joint torques, N m
    double fx, fy;              // ground force on the stance foot, N
    double cop;      // centre of pressure ahead of the stance ankle, m; NaN where fy <= 0
    double friction; // required friction |fx| / fy; NaN where fy <= 0
    double power;    // sum of tau_k q_k', W
};

DynamicsSample inverseDynamics(const LinkMotion& motion);
DynamicsSample dynamicsAt(const TrajectorySegment& seg, double t);
// count >= 2 samples at t = k duration / (count - 1), k = 0..count-1.
void sampleDynamics(const TrajectorySegment& seg, int count, DynamicsSample out[]);

// Of the six bodies, J, with the potential energy's zero at the stance ankle's height.
double kineticEnergy(const LinkMotion& motion);
double potentialEnergy(const double theta[modelLinkCount]);

// Work the joints do over the whole step, J: net, the integral of the power; positive, the sum
// over the five joints of the integral of max(tau_k q_k', 0). Gauss-Legendre panels, each split
// at the zeros of a joint's power so that the kinks of max() fall on panel ends.
struct StepWork {
    double net;
    double positive;
};
StepWork stepWork(const TrajectorySegment& seg);

// Samples of the summary, k duration / (summarySampleCount - 1).
constexpr int summarySampleCount = 2001;

struct DynamicsSummary {
    double peakTorque;      // max |tau_k| over the samples and joints, N m
    double peakAnkleMoment; // max |tau0| over the samples, N m
    double copMin, copMax;  // m, over the samples with fy > 0; NaN when there are none
    double fyMin;           // N
    double frictionMax;     // over the samples with fy > 0; NaN when there are none
    double liftOff;         // share of the samples with fy <= 0
    double positiveWork;    // J, stepWork's positive
    double costOfTransport; // positiveWork / (M g stepLength)
};

// stepLength: how far the step carries ORVA, backStep + foreStep, m.
DynamicsSummary summarizeDynamics(const TrajectorySegment& seg, double stepLength);
// How far a step of this gait carries ORVA, backStep + foreStep, m.
double stepLength(const GaitEntry& entry);

} // namespace orva

// A step let loose: the joints the generator calls free (the stance ankle, the torso, or both)
// get zero torque and follow the dynamics, the others keep to the step's plan. The generator
// holds its promise of a free pivot and a passive torso only at the step's ends and in integral
// form; this shows what the promise is worth along the step. Reads bodyParams through the
// dynamics module, which must be set up first. Nothing is allocated.
//
// Offers: FreeJoints, freeJointsNames, looseStep, LooseState, looseMotion, advanceLoose,
// motionPoints, LooseSample, sampleLoose, LooseOutcome, letLoose.
//
// Joint coordinates as the dynamics module's: q0 = theta0 (stance ankle), q2 = theta2 - theta1
// (torso). A free coordinate's offset from the plan moves every link above it: q0's all five
// links, q2's the torso alone. Since the torques are affine in the accelerations, the free
// accelerations solve a 1x1 or 2x2 linear system at each instant.
#pragma once

#include "gait/dynamics.h"
#include "model/body_kinematics.h"

namespace orva {

enum class FreeJoints { ankle, torso, both };
// "ankle", "torso", "both", in the order of FreeJoints.
constexpr const char* freeJointsNames[3] = {"ankle", "torso", "both"};

// Longest step of the classic fourth-order Runge-Kutta integration, s: 2 ms with the ankle free,
// 1 ms with the torso free, 0.5 ms with both. Over every table step the free angles at the
// step's end then agree with runs of a sixteenth of that step to 3e-10 rad. A free torso is an
// inverted pendulum on the hip that turns by up to a whole turn in a step, and needs the
// shorter steps.
double looseStep(FreeJoints free);

// The free coordinates' offsets from the plan at phase time t: q0's and q2's, rad and rad/s.
// An offset of a coordinate that is not free stays 0.
struct LooseState {
    double t;
    double offset[2];     // q0 - planned q0, q2 - planned q2
    double offsetRate[2]; // their rates
};

// The plan's state at the step's start: no offsets.
constexpr LooseState looseStart{0, {0, 0}, {0, 0}};

// Link angles, rates and accelerations at s.t: the plan's, moved by s's offsets, with the free
// accelerations those that leave the free joints without torque.
LinkMotion looseMotion(const TrajectorySegment& seg, FreeJoints free, const LooseState& s);

// Integrates s up to phase time `to` (>= s.t) in equal steps no longer than maxStep
// (looseStep(free) when not given).
void advanceLoose(const TrajectorySegment& seg, FreeJoints free, LooseState& s, double to);
void advanceLoose(const TrajectorySegment& seg, FreeJoints free, LooseState& s, double to,
                  double maxStep);

// The body's points at a motion's link angles, the swing foot level (the model's kinematics).
BodyPoints motionPoints(const LinkMotion& motion);

// One instant of a step let loose, beside its plan: phase time (s), both motions and the body's
// points of each.
struct LooseSample {
    double t;
    LinkMotion loose, plan;
    BodyPoints loosePoints, planPoints;
};

// count >= 2 samples at t = k duration / (count - 1), k = 0..count-1, integrated from the plan's
// start in steps no longer than looseStep(free).
void sampleLoose(const TrajectorySegment& seg, FreeJoints free, int count, LooseSample out[]);

// What letting a step loose does by its end T.
struct LooseOutcome {
    double ankleDrift, torsoDrift; // q0's and q2's offsets at T, rad; 0 when not free
    double hipOffset[2];           // let-loose hip minus planned hip at T, m
    double swingAnkleOffset[2];    // the same for the swing ankle, m
    double earlyContact;           // first t after T/2 at which the swing ankle reaches the
                                   // ground before T, s; NaN when it does not
};

// Integrates the whole step from the plan's start, in equal steps no longer than maxStep
// (looseStep(free) when not given).
LooseOutcome letLoose(const TrajectorySegment& seg, FreeJoints free);
LooseOutcome letLoose(const TrajectorySegment& seg, FreeJoints free, double maxStep);

} // namespace orva

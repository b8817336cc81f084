// `orva-gait figure --mode M [--transition-to N] [--dynamics] [-o FILE]`: one generated step
// as an SVG picture: the five-link robot every twelfth of the step, side-on and to scale, with
// the paths of the swing ankle and the hip, and plots of the link angles and the centre of
// mass; with --dynamics also the joint torques, the ground force and the centre of pressure;
// with --drift the step let loose beside the plan.
//
// Offers: figurePoseCount, samplesPerPose, Point2, FigureSample, StepFigure, buildStepFigure,
// addStepDynamics, addStepDrift, stepFigureSvg, runFigureCommand.
#pragma once

#include "gait/dynamics.h"
#include "gait/let_loose.h"
#include "gait/step_generator.h"
#include "model/body_kinematics.h"
#include "model/gait_table.h"

#include <string>
#include <vector>

constexpr int figurePoseCount = 12; // the step is drawn at 0, 1/12, ..., 12/12 of its duration
constexpr int samplesPerPose = 10;  // plot and path samples between two drawn poses

using orva::Point2;

// The robot at one instant. The stance ankle is the origin; the swing foot is level.
struct FigureSample {
    double t;        // phase time, s
    double theta[5]; // link angles of the step's polynomials, rad
    Point2 stanceKnee, hip, torsoTop, swingKnee, swingAnkle, toe;
    Point2 com; // whole-body centre of mass
};

struct StepFigure {
    int fromMode, toMode; // toMode == fromMode for a plain table row; customGait for others
    orva::GaitEntry entry;
    orva::TrajectorySegment seg;
    orva::StepStats stats;
    bool usable;
    // figurePoseCount * samplesPerPose + 1 samples evenly over [0, duration]; every
    // samplesPerPose-th is a drawn pose. Empty when the step is unusable.
    std::vector<FigureSample> samples;
    // With the dynamics: one sample per figure sample, and the step's summary. Empty without.
    std::vector<orva::DynamicsSample> dynamics;
    orva::DynamicsSummary summary{};
    // With the drift: the step let loose, one sample per figure sample, what it comes to at the
    // step's end and which joints were free. Empty without.
    std::vector<FigureSample> loose;
    orva::LooseOutcome drift{};
    orva::FreeJoints free = orva::FreeJoints::ankle;
};

// Generates the step from row `from` landing at row `to`'s distance (the walking cycle's
// transition row; from == to for the plain row) and samples it. Returns
// out.usable.
bool buildStepFigure(int from, int to, StepFigure& out);
// The step of any gait entry; from and to are only its name in the caption (customGait: a
// custom gait).
bool buildStepFigure(const orva::GaitEntry& entry, int from, int to, StepFigure& out);

// Fills figure.dynamics and figure.summary for a usable step built by buildStepFigure.
void addStepDynamics(StepFigure& figure);

// Fills figure.loose, figure.drift and figure.free for a usable step built by buildStepFigure.
void addStepDrift(StepFigure& figure, orva::FreeJoints free);

// The picture of a usable step; with its dynamics when they were added.
std::string stepFigureSvg(const StepFigure& figure);

// argv[0] is "figure". Returns the exit status: 0, 1 for an unusable step or a failed write,
// 2 for bad arguments.
int runFigureCommand(int argc, char** argv);

// What the module's files share: a gait as Python sees it, a generated step, the error of a gait
// with no usable step, and the parts of the module each file adds.
#pragma once

#include "gait/step_generator.h"
#include "walking/walk_cycle.h"

#include <pybind11/pybind11.h>

#include <string>

// A gait and the table row it was made from (the command line's base row).
struct Gait {
    orva::GaitTarget target;
    int base;
};

// A generated step and what it came from: the gait entry (for the step length) and the base
// rows of its two gaits (a plain step has from == to).
struct Step {
    orva::TrajectorySegment seg;
    orva::StepStats stats;
    orva::GaitEntry entry;
    int from, to;
};

// Raised as orva_walker.UnusableGait.
struct UnusableGait {
    std::string why;
};

constexpr long maxSamples = 1000000;

// "Gait(mode=3, mean_speed=0.3)": the row and the fields that differ from it.
std::string gaitRepr(const Gait& gait);
// x, or NaN where it is not finite: where the command line leaves a field empty.
double orNan(double x);

// orva_walker.walk.
void defineWalk(pybind11::module_& m);
// orva_walker.let_loose and let_loose_summary.
void defineLetLoose(pybind11::module_& m);

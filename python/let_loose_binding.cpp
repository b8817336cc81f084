// orva_walker.let_loose: a step let loose, as `orva-gait drift` prints it, in NumPy columns.
#include "gait/let_loose.h"
#include "python/module_records.h"

#include <pybind11/numpy.h>

#include <string>
#include <vector>

namespace py = pybind11;
using namespace orva;

namespace {

FreeJoints freeJoints(const std::string& name) {
    for (int i = 0; i < 3; ++i)
        if (name == freeJointsNames[i]) return static_cast<FreeJoints>(i);
    throw py::value_error("free must be ankle, torso or both, not \"" + name + "\"");
}

py::dict letLooseColumns(const Step& step, const std::string& free, long samples) {
    const FreeJoints joints = freeJoints(free);
    if (samples < 2 || samples > maxSamples)
        throw py::value_error("samples must be a count 2..1000000, not " + std::to_string(samples));
    const int n = static_cast<int>(samples);
    std::vector<LooseSample> s(n);
    {
        py::gil_scoped_release unlocked;
        sampleLoose(step.seg, joints, n, s.data());
    }
    using Value = double (*)(const LooseSample&);
    const std::pair<const char*, Value> columns[] = {
        {"t", [](const LooseSample& x) { return x.t; }},
        {"theta0", [](const LooseSample& x) { return x.loose.theta[0]; }},
        {"planTheta0", [](const LooseSample& x) { return x.plan.theta[0]; }},
        {"theta2", [](const LooseSample& x) { return x.loose.theta[2]; }},
        {"planTheta2", [](const LooseSample& x) { return x.plan.theta[2]; }},
        {"hipX", [](const LooseSample& x) { return x.loosePoints.hip.x; }},
        {"hipY", [](const LooseSample& x) { return x.loosePoints.hip.y; }},
        {"planHipX", [](const LooseSample& x) { return x.planPoints.hip.x; }},
        {"planHipY", [](const LooseSample& x) { return x.planPoints.hip.y; }},
        {"swingAnkleX", [](const LooseSample& x) { return x.loosePoints.swingAnkle.x; }},
        {"swingAnkleY", [](const LooseSample& x) { return x.loosePoints.swingAnkle.y; }},
        {"planSwingAnkleX", [](const LooseSample& x) { return x.planPoints.swingAnkle.x; }},
        {"planSwingAnkleY", [](const LooseSample& x) { return x.planPoints.swingAnkle.y; }},
    };
    py::dict out;
    for (const auto& [name, value] : columns) {
        py::array_t<double> column(n);
        for (int k = 0; k < n; ++k) column.mutable_data()[k] = orNan(value(s[k]));
        out[name] = column;
    }
    return out;
}

py::dict letLooseSummary(const Step& step, const std::string& free) {
    const FreeJoints joints = freeJoints(free);
    LooseOutcome o;
    {
        py::gil_scoped_release unlocked;
        o = letLoose(step.seg, joints);
    }
    py::dict out;
    out["mode"] = step.from;
    out["to"] = step.to;
    out["free"] = freeJointsNames[static_cast<int>(joints)];
    out["duration"] = orNan(step.seg.duration);
    out["ankleDrift"] = orNan(o.ankleDrift);
    out["torsoDrift"] = orNan(o.torsoDrift);
    out["hipOffsetX"] = orNan(o.hipOffset[0]);
    out["hipOffsetY"] = orNan(o.hipOffset[1]);
    out["swingAnkleOffsetX"] = orNan(o.swingAnkleOffset[0]);
    out["swingAnkleOffsetY"] = orNan(o.swingAnkleOffset[1]);
    out["earlyContact"] = orNan(o.earlyContact);
    return out;
}

} // namespace

void defineLetLoose(py::module_& m) {
    m.def("let_loose", &letLooseColumns, py::arg("step"), py::arg("free") = "ankle",
          py::arg("samples") = 101,
          R"(The step let loose, as `orva-gait drift` prints it: the free joints get no torque.

free: "ankle" (the stance ankle), "torso" (against the stance thigh) or "both"; the other
joints keep to the step's plan, from its angles and rates at the start (fourth-order
Runge-Kutta, to about 1e-9 rad). samples: 2..1000000, at t = k T / (samples - 1).

A dict of arrays named as the command's columns: t (s); theta0, planTheta0, theta2,
planTheta2 (the stance shank's and the torso's angles let loose and planned, rad); hipX,
hipY, planHipX, planHipY, swingAnkleX, swingAnkleY, planSwingAnkleX, planSwingAnkleY (m
from the stance ankle, x forward, y up). Runs without the GIL.)");
    m.def("let_loose_summary", &letLooseSummary, py::arg("step"), py::arg("free") = "ankle",
          R"(What letting the step loose does by its end, as `orva-gait drift --summary` says.

A dict with its keys: mode and to (the base rows of the step's gaits), free, duration (s),
ankleDrift and torsoDrift (joint angle let loose minus planned at the end, rad; 0 for a
joint not free), hipOffsetX, hipOffsetY, swingAnkleOffsetX, swingAnkleOffsetY (m),
earlyContact (the first time after half the step at which the swing ankle reaches the
ground before the end, s; NaN when it does not).)");
}

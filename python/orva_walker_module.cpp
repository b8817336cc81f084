// orva_walker._core: the gait core as a Python module, over NumPy arrays. Thin by design: every
// number comes from the same core function the command line calls, every check of a gait from
// the command line's own --gait checks, so the two give the same values and the same messages.
#include "gait/dynamics.h"
#include "gait/feasibility_grid.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "model/gait_table.h"
#include "python/module_records.h"
#include "shell/gait_option.h"
#include "walking/walk_cycle.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace py = pybind11;
using namespace orva;

namespace {

// backStep -> back_step: the Python names are the table's, in snake case.
std::string snakeCase(const char* name) {
    std::string out;
    for (const char* c = name; *c; ++c) {
        if (*c >= 'A' && *c <= 'Z') {
            out += '_';
            out += static_cast<char>(*c - 'A' + 'a');
        } else {
            out += *c;
        }
    }
    return out;
}

// A Python value as the gait option's number: anything float() takes but text, whose str() is
// what the message quotes.
double gaitNumber(const py::handle value, const std::string& name) {
    const std::string text = py::str(value);
    if (py::isinstance<py::str>(value) || py::isinstance<py::bytes>(value) ||
        !PyNumber_Check(value.ptr()))
        throw py::type_error(name + ": \"" + text + "\" is not a number");
    return py::cast<double>(value);
}

Gait makeGait(const py::object& mode, const py::dict& fields) {
    gaitNumber(mode, "mode");
    int row = 0;
    const std::string modeError = checkGaitMode(py::str(mode), row);
    if (!modeError.empty()) throw py::value_error(modeError);
    Gait gait{tableGait(row), row};
    for (const auto& [key, value] : fields) {
        const std::string name = py::str(key);
        const GaitField* field = nullptr;
        for (const GaitField& f : gaitFields)
            if (snakeCase(f.name) == name) field = &f;
        if (!field) throw py::value_error("unknown field \"" + name + "\"");
        const double number = gaitNumber(value, field->name);
        const std::string error = checkGaitField(*field, number, py::str(value));
        if (!error.empty()) throw py::value_error(error);
        gait.target.entry.*field->member = number;
        gait.target.mode = customGait;
    }
    return gait;
}

// Why generateStep gave no usable step, from its pass counts.
std::string unusableReason(const StepStats& stats) {
    const std::string passes = " (" + std::to_string(stats.outerPasses) + " outer, " +
                               std::to_string(stats.innerPasses) + " inner passes)";
    if (stats.outerPasses >= maxOuterPasses)
        return "the momentum iteration reached its bound of " + std::to_string(maxOuterPasses) +
               " passes" + passes;
    if (stats.innerPasses >= maxInnerPasses)
        return "the torso-rate iteration reached its bound of " + std::to_string(maxInnerPasses) +
               " passes" + passes;
    return "its values became undefined" + passes;
}

Step makeStep(const GaitEntry& entry, int from, int to, const std::string& what) {
    Step step{};
    step.entry = entry;
    step.from = from;
    step.to = to;
    bool usable;
    {
        py::gil_scoped_release unlocked;
        usable = generateStep(entry, step.seg, &step.stats);
    }
    if (!usable) throw UnusableGait{what + " gives no usable step: " + unusableReason(step.stats)};
    return step;
}

// Angles, rates or accelerations of links 0..4 at a time or an array of times.
py::array linkMotion(const Step& step, const py::array_t<double, py::array::forcecast>& t,
                     double (LinkMotion::*values)[modelLinkCount]) {
    if (t.ndim() > 1)
        throw py::value_error("t must be a time in s or a 1-D array of times, not an array of " +
                              std::to_string(t.ndim()) + " dimensions");
    const py::ssize_t n = t.size();
    py::array_t<double> out = t.ndim() == 0 ? py::array_t<double>(modelLinkCount)
                                            : py::array_t<double>({n, py::ssize_t{modelLinkCount}});
    auto times = t.unchecked();
    double* o = out.mutable_data();
    for (py::ssize_t i = 0; i < n; ++i) {
        const LinkMotion m = linkMotionAt(step.seg, t.ndim() == 0 ? times() : times(i));
        std::copy(m.*values, m.*values + modelLinkCount, o + i * modelLinkCount);
    }
    return std::move(out);
}

py::dict dynamicsArrays(const Step& step, long samples) {
    if (samples < 2 || samples > maxSamples)
        throw py::value_error("samples must be a count 2..1000000, not " + std::to_string(samples));
    const int n = static_cast<int>(samples);
    std::vector<DynamicsSample> d(n);
    {
        py::gil_scoped_release unlocked;
        sampleDynamics(step.seg, n, d.data());
    }
    py::array_t<double> t(n), tau({n, modelLinkCount}), fx(n), fy(n), cop(n), friction(n), power(n);
    for (int k = 0; k < n; ++k) {
        t.mutable_at(k) = step.seg.duration * k / (n - 1);
        for (int j = 0; j < modelLinkCount; ++j) tau.mutable_at(k, j) = orNan(d[k].tau[j]);
        fx.mutable_at(k) = orNan(d[k].fx);
        fy.mutable_at(k) = orNan(d[k].fy);
        cop.mutable_at(k) = orNan(d[k].cop);
        friction.mutable_at(k) = orNan(d[k].friction);
        power.mutable_at(k) = orNan(d[k].power);
    }
    py::dict out;
    out["t"] = t;
    out["tau"] = tau;
    out["fx"] = fx;
    out["fy"] = fy;
    out["cop"] = cop;
    out["friction"] = friction;
    out["power"] = power;
    return out;
}

py::dict summary(const Step& step) {
    DynamicsSummary s;
    {
        py::gil_scoped_release unlocked;
        s = summarizeDynamics(step.seg, stepLength(step.entry));
    }
    py::dict out;
    out["mode"] = step.from;
    out["to"] = step.to;
    out["usable"] = true;
    out["duration"] = orNan(step.seg.duration);
    out["peakTorque"] = orNan(s.peakTorque);
    out["peakAnkleMoment"] = orNan(s.peakAnkleMoment);
    out["copMin"] = orNan(s.copMin);
    out["copMax"] = orNan(s.copMax);
    out["fyMin"] = orNan(s.fyMin);
    out["frictionMax"] = orNan(s.frictionMax);
    out["liftOff"] = orNan(s.liftOff);
    out["positiveWork"] = orNan(s.positiveWork);
    out["costOfTransport"] = orNan(s.costOfTransport);
    return out;
}

AtlasRange gridRange(const py::sequence& given, const char* name) {
    const std::string form = std::string(name) + " must be (first, last, count)";
    if (py::len(given) != 3) throw py::value_error(form + ", not " + std::string(py::repr(given)));
    AtlasRange range{};
    try {
        range = {given[0].cast<double>(), given[1].cast<double>(), given[2].cast<int>()};
    } catch (const py::cast_error&) {
        throw py::type_error(form + " with a whole count, not " + std::string(py::repr(given)));
    }
    if (!validAtlasRange(range))
        throw py::value_error(form + " with 0 < first < last and 2 <= count <= 1024, or count "
                                     "1 and first == last");
    return range;
}

py::dict grid(const py::sequence& lengths, const py::sequence& speeds,
              const py::array_t<double, py::array::forcecast>& clearances, int threads,
              const py::object& measures) {
    AtlasGrid g{gridRange(lengths, "lengths"), gridRange(speeds, "speeds"), {}};
    if (clearances.ndim() != 1)
        throw py::value_error("clearances must be a 1-D sequence of lengths in m");
    g.clearances.assign(clearances.data(), clearances.data() + clearances.size());
    if (threads < 0 || threads > 256)
        throw py::value_error("threads must be a count 1..256, or 0 for the machine's cores");
    if (threads == 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::pair<std::string, AtlasColour>> asked;
    bool withDynamics = false, withDrift = false;
    if (!measures.is_none())
        for (const py::handle m : measures) {
            const std::string name = py::str(m);
            AtlasColour colour;
            if (!findAtlasColour(name, colour))
                throw py::value_error("unknown measure \"" + name + "\" (" + atlasColourChoices() +
                                      ")");
            asked.emplace_back(name, colour);
            withDynamics = withDynamics || colourNeedsDynamics(colour);
            withDrift = withDrift || colourNeedsDrift(colour);
        }

    std::vector<AtlasPoint> points;
    {
        py::gil_scoped_release unlocked;
        points = computeAtlas(g, threads, withDynamics, withDrift);
    }
    const std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(g.clearances.size()),
                                         g.lengths.count, g.speeds.count};
    py::array_t<bool> usable(shape);
    py::array_t<double> duration(shape);
    py::array_t<int> outer(shape), inner(shape);
    std::vector<py::array_t<double>> values;
    for (size_t k = 0; k < asked.size(); ++k) values.emplace_back(shape);
    for (size_t i = 0; i < points.size(); ++i) {
        const AtlasPoint& p = points[i];
        usable.mutable_data()[i] = p.usable;
        duration.mutable_data()[i] = p.usable ? p.duration : std::nan("");
        outer.mutable_data()[i] = p.outerPasses;
        inner.mutable_data()[i] = p.innerPasses;
        for (size_t k = 0; k < asked.size(); ++k)
            values[k].mutable_data()[i] =
                p.usable ? orNan(colourValue(p, asked[k].second)) : std::nan("");
    }
    py::array_t<double> lengthAxis(g.lengths.count), speedAxis(g.speeds.count);
    for (int i = 0; i < g.lengths.count; ++i) lengthAxis.mutable_at(i) = atlasValue(g.lengths, i);
    for (int i = 0; i < g.speeds.count; ++i) speedAxis.mutable_at(i) = atlasValue(g.speeds, i);
    py::dict out;
    out["lengths"] = lengthAxis;
    out["speeds"] = speedAxis;
    out["clearances"] = py::array_t<double>(g.clearances.size(), g.clearances.data());
    out["usable"] = usable;
    out["duration"] = duration;
    out["outerPasses"] = outer;
    out["innerPasses"] = inner;
    for (size_t k = 0; k < asked.size(); ++k) out[asked[k].first.c_str()] = values[k];
    return out;
}

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Mean processor time of one C++ generateStep call over `calls`, s: what the benchmark compares
// the Python call with (processor time, as other programs share the machine).
double timeGenerateStep(const Gait& gait, long calls) {
    py::gil_scoped_release unlocked;
    TrajectorySegment seg;
    const double start = threadSeconds();
    for (long i = 0; i < calls; ++i) generateStep(gait.target.entry, seg);
    return (threadSeconds() - start) / static_cast<double>(calls);
}

const char* const gaitDoc =
    R"(A gait: the twelve fields of one step, as the command line's --gait takes them.

Gait(mode=3) is gait-table row 3; Gait(mode=3, mean_speed=0.3) that row with fields changed;
Gait(back_step=..., fore_step=..., ...) row 0 with fields changed, so any gait. Every value
is checked as --gait checks it: a bad one raises ValueError with the command line's line
(a value that is no number raises TypeError). Gaits are values: compare them with ==.

Attributes (read-only; units and the ranges a flat world allows):
)";

} // namespace

std::string gaitRepr(const Gait& g) {
    std::string out = "Gait(mode=" + std::to_string(g.base);
    const GaitEntry& row = gaitTable.rows[g.base];
    for (const GaitField& f : gaitFields)
        if (g.target.entry.*f.member != row.*f.member)
            out += ", " + snakeCase(f.name) + "=" +
                   std::string(py::repr(py::float_(g.target.entry.*f.member)));
    return out + ")";
}

double orNan(double x) {
    return std::isfinite(x) ? x : std::nan("");
}

namespace {

// The exception an unusable gait raises, a ValueError.
void defineUnusableGait(py::module_& m) {
    static py::exception<UnusableGait> unusable(m, "UnusableGait", PyExc_ValueError);
    unusable.doc() = "The step generator makes no usable step of this gait (a ValueError); the "
                     "message says why.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const UnusableGait& e) {
            unusable(e.why.c_str());
        }
    });
}

// Gait over the field table, and the gait table as gaits.
void defineGait(py::module_& m) {
    std::string fieldDoc;
    py::tuple fieldNames(gaitFieldCount);
    for (int i = 0; i < gaitFieldCount; ++i) {
        const GaitField& f = gaitFields[i];
        char range[96];
        if (f.lowest == f.highest)
            std::snprintf(range, sizeof range, "%g %s (the world is flat)", f.lowest, f.unit);
        else
            std::snprintf(range, sizeof range, "%g..%g %s", f.lowest, f.highest, f.unit);
        fieldDoc += "    " + snakeCase(f.name) + ": " + range + "\n";
        fieldNames[i] = snakeCase(f.name);
    }
    static const std::string gaitClassDoc = gaitDoc + fieldDoc;
    py::class_<Gait> gait(m, "Gait", gaitClassDoc.c_str());
    gait.def(py::init([](const py::object& mode, const py::kwargs& fields) {
                 return makeGait(mode, fields);
             }),
             py::arg("mode") = 0,
             "Gait(mode=0, **fields): row `mode` (0..15) of the gait table, with the fields\n"
             "given (snake-case names, e.g. mean_speed=0.3) changed.");
    for (const GaitField& f : gaitFields) {
        const std::string doc = std::string(f.unit) + " (--gait's " + f.name + ")";
        gait.def_property_readonly(
            snakeCase(f.name).c_str(),
            [member = f.member](const Gait& g) { return g.target.entry.*member; }, doc.c_str());
    }
    gait.def_property_readonly(
            "mode", [](const Gait& g) { return g.base; },
            "The table row the gait was made from, 0..15.")
        .def_property_readonly(
            "custom", [](const Gait& g) { return g.target.mode == customGait; },
            "True when a field differs from the row, as the command line's custom gait (mode -1).")
        .def("__repr__", &gaitRepr)
        .def(
            "__eq__", [](const Gait& a, const Gait& b) { return sameGait(a.target, b.target); },
            py::is_operator())
        .def(py::pickle(
            [](const Gait& g) {
                py::dict fields;
                const GaitEntry& row = gaitTable.rows[g.base];
                for (const GaitField& f : gaitFields)
                    if (g.target.entry.*f.member != row.*f.member)
                        fields[snakeCase(f.name).c_str()] = g.target.entry.*f.member;
                return py::make_tuple(g.base, fields);
            },
            [](const py::tuple& state) { return makeGait(state[0], state[1]); }));
    gait.attr("__hash__") = py::none();
    gait.attr("fields") = fieldNames;

    m.def(
        "gait_table",
        [] {
            std::vector<Gait> rows;
            for (int mode = 0; mode < gaitModeCount; ++mode)
                rows.push_back({tableGait(mode), mode});
            return rows;
        },
        "The sixteen rows of the gait table as gaits, row k at index k.");
}

// Step: its durations, passes, coefficients and motion.
void defineStep(py::module_& m) {
    py::class_<Step>(m, "Step", R"(One step of the walk: five link-angle polynomials in phase time.

Links 0..4 are the stance shank, stance thigh, torso, swing thigh and swing shank; their
angles are absolute, in rad. Made by generate_step() or transition().)")
        .def_property_readonly(
            "duration", [](const Step& s) { return s.seg.duration; }, "The step's length, s.")
        .def_property_readonly(
            "blend_duration", [](const Step& s) { return s.seg.blendDuration; },
            "The length of the blend that follows the step, s.")
        .def_property_readonly(
            "passes",
            [](const Step& s) { return py::make_tuple(s.stats.outerPasses, s.stats.innerPasses); },
            "The generator's passes: (outer, inner), the momentum-residual evaluations and\n"
            "the torso-rate passes summed over them.")
        .def_property_readonly(
            "coefficients",
            [](const Step& s) {
                py::array_t<double> c({modelLinkCount, polyCoeffCount});
                for (int k = 0; k < modelLinkCount; ++k)
                    for (int i = 0; i < polyCoeffCount; ++i)
                        c.mutable_at(k, i) = s.seg.poly[k].c[i];
                return c;
            },
            "A (5, 11) array: row k holds link k's angle as c0 + c1 t + ... + c10 t**10,\n"
            "rad with t in s.")
        .def(
            "pose",
            [](const Step& s, const py::array_t<double, py::array::forcecast>& t) {
                return linkMotion(s, t, &LinkMotion::theta);
            },
            py::arg("t"),
            "Link angles at time t (s from the step's start), rad: a (5,) array for a number,\n"
            "(N, 5) for a 1-D array of N times.")
        .def(
            "rates",
            [](const Step& s, const py::array_t<double, py::array::forcecast>& t) {
                return linkMotion(s, t, &LinkMotion::rate);
            },
            py::arg("t"), "Link angular rates at time t, as pose(); rad/s.")
        .def(
            "accels",
            [](const Step& s, const py::array_t<double, py::array::forcecast>& t) {
                return linkMotion(s, t, &LinkMotion::accel);
            },
            py::arg("t"), "Link angular accelerations at time t, as pose(); rad/s**2.")
        .def("__repr__", [](const Step& s) {
            return "<Step duration=" + std::string(py::repr(py::float_(s.seg.duration))) + " s>";
        });
}

// The calls that make steps and their dynamics, and the grid.
void defineStepCalls(py::module_& m) {
    m.def(
        "generate_step",
        [](const Gait& g) { return makeStep(g.target.entry, g.base, g.base, gaitRepr(g)); },
        py::arg("gait"),
        "The step the gait generator makes from gait; raises UnusableGait when it makes none.");
    m.def(
        "transition",
        [](const Gait& from, const Gait& to) {
            return makeStep(transitionEntry(from.target.entry, to.target.entry), from.base, to.base,
                            "the change from " + gaitRepr(from) + " to " + gaitRepr(to));
        },
        py::arg("from_gait"), py::arg("to_gait"),
        "The gait-change step: from_gait landing where to_gait's step begins (its fore_step\n"
        "set to to_gait's back_step). Raises UnusableGait when the generator makes none.");
    m.def(
        "is_usable",
        [](const Gait& g) {
            py::gil_scoped_release unlocked;
            return givesUsableStep(g.target.entry);
        },
        py::arg("gait"), "Whether the generator makes a usable step from gait; never raises.");
    m.def("dynamics", &dynamicsArrays, py::arg("step"), py::arg("samples") = 101,
          R"(The step's inverse dynamics at `samples` times t = k T / (samples - 1), T its duration.

A dict of arrays: t (s), tau (samples, 5) the joint torques (N m: stance ankle, stance knee,
torso, swing hip, swing knee), fx and fy the ground force on the stance foot (N), cop the
centre of pressure ahead of the stance ankle (m), friction the friction needed |fx| / fy,
power the joints' power (W). cop and friction are NaN where fy <= 0, as the command line
leaves them empty. samples: 2..1000000.)");
    m.def("dynamics_summary", &summary, py::arg("step"),
          R"(The dynamics summary of the step, as `orva-gait dynamics --summary` prints it.

A dict with its keys: mode and to (the base rows of the step's gaits), usable, duration (s),
peakTorque and peakAnkleMoment (N m), copMin and copMax (m), fyMin (N), frictionMax, liftOff
(share of samples with fy <= 0), positiveWork (J), costOfTransport; over 2001 samples. NaN
where the command line prints null.)");
    m.def("feasibility_grid", &grid, py::arg("lengths") = py::make_tuple(0.02, 0.40, 96),
          py::arg("speeds") = py::make_tuple(0.03, 0.60, 96),
          py::arg("clearances") = py::make_tuple(0.03, 0.22), py::arg("threads") = 0,
          py::arg("measures") = py::none(),
          R"(Where the step generator makes a usable step, as `orva-gait atlas --csv` computes it.

Symmetric steps (back_step = fore_step = length, m) at mean hip speeds (m/s) for each
clearance (m), the other fields as in every table row. lengths and speeds are (first, last,
count), count values evenly from first to last. threads: 1..256, 0 for the machine's cores.
measures: any of 'cost' (cost of transport), 'friction' (largest friction needed), 'cop'
(centre of pressure's largest distance from the ankle, m), 'ankle' (peak ankle moment, N m),
from each step's dynamics over 2001 samples, and 'drift' (the stance ankle's drift at the
step's end, let loose with the ankle free: its size in degrees).

A dict: lengths, speeds and clearances (the axes), and arrays shaped (clearances, lengths,
speeds): usable (bool), duration (s, NaN where unusable), outerPasses and innerPasses, and one
per measure asked for (NaN where unusable or undefined). Runs without the GIL.)");
}

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The gait core of ORVA walker (compiled part of orva_walker).";
    setupCore();
    // Types and signatures carry the package's name, which is where users meet them.
    const py::object ownName = m.attr("__name__");
    m.attr("__name__") = "orva_walker";

    defineUnusableGait(m);
    defineGait(m);
    defineStep(m);
    defineStepCalls(m);
    defineWalk(m);
    defineLetLoose(m);
    m.attr("__name__") = ownName;
    m.def("_time_generate_step", &timeGenerateStep, py::arg("gait"), py::arg("calls"),
          "Mean processor time of one C++ generateStep call over `calls` calls, s (for the "
          "benchmark).");
}

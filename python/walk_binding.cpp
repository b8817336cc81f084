// orva_walker.walk: the shell's walk trace, the one `orva-gait walk` prints, as NumPy columns.
#include "python/module_records.h"
#include "shell/idle_pass.h"
#include "shell/lab.h"
#include "shell/walk_trace.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace py = pybind11;
using namespace orva;

namespace {

// (call, value) pairs from a mapping or an iterable of pairs, each call within 1..calls.
std::vector<std::pair<long, py::object>> callPairs(const py::object& given, const char* name,
                                                   long calls) {
    std::vector<std::pair<long, py::object>> out;
    if (given.is_none()) return out;
    const py::object pairs = py::hasattr(given, "items") ? given.attr("items")() : given;
    for (const py::handle entry : pairs) {
        const py::tuple pair = py::tuple(py::reinterpret_borrow<py::object>(entry));
        long call = 0;
        if (pair.size() != 2 || !py::isinstance<py::int_>(pair[0]) ||
            (call = pair[0].cast<long>()) < 1 || call > calls)
            throw py::value_error(std::string(name) + ": " + std::string(py::repr(entry)) +
                                  " is no (call, ...) pair with a call 1.." +
                                  std::to_string(calls));
        out.emplace_back(call, pair[1]);
    }
    return out;
}

template <typename T>
py::array_t<T> column(const std::vector<WalkTraceRow>& rows, T (*value)(const WalkTraceRow&)) {
    py::array_t<T> out(static_cast<py::ssize_t>(rows.size()));
    T* data = out.mutable_data();
    for (size_t i = 0; i < rows.size(); ++i) data[i] = value(rows[i]);
    return out;
}

py::dict walk(long calls, const py::object& gait, const py::object& changes,
              const py::object& keys) {
    if (calls < 0) throw py::value_error("calls must be a count, not " + std::to_string(calls));
    WalkTraceRequest request;
    request.calls = calls;
    request.start = tableGait(0);
    if (!gait.is_none()) {
        const Gait& start = gait.cast<const Gait&>();
        if (!givesUsableStep(start.target.entry))
            throw UnusableGait{gaitRepr(start) + " gives no usable step"};
        request.start = start.target;
    }
    const std::string gaitKeys = gaitKeyCharacters();
    for (const auto& [call, value] : callPairs(keys, "keys", calls)) {
        const std::string chars = py::str(value);
        const size_t other = chars.find_first_not_of(gaitKeys);
        if (other != std::string::npos)
            throw py::value_error("keys: '" + chars.substr(other, 1) + "' in \"" + chars +
                                  "\" is not a gait key (" + gaitKeys + ")");
        request.presses.push_back({call, chars});
    }
    for (const auto& [call, value] : callPairs(changes, "changes", calls)) {
        const Gait& to = value.cast<const Gait&>();
        request.changes.push_back({call, gaitRepr(to), to.target});
    }
    // Several entries of one call keep their order, as on the command line.
    std::stable_sort(request.presses.begin(), request.presses.end(),
                     [](const KeyPress& a, const KeyPress& b) { return a.call < b.call; });
    std::stable_sort(request.changes.begin(), request.changes.end(),
                     [](const GaitChange& a, const GaitChange& b) { return a.call < b.call; });

    std::vector<WalkTraceRow> rows;
    std::vector<std::string> notes;
    {
        py::gil_scoped_release unlocked;
        const auto lab = std::make_unique<Lab>();
        traceWalk(*lab, request, rows, notes);
    }
    for (const std::string& note : notes)
        if (PyErr_WarnEx(PyExc_RuntimeWarning, note.c_str(), 1) < 0) throw py::error_already_set();

    py::dict out;
    out["call"] = column<long>(rows, [](const WalkTraceRow& r) { return r.call; });
    out["supportLeg"] = column<int>(rows, [](const WalkTraceRow& r) { return r.supportLeg; });
    out["gaitMode"] = column<int>(rows, [](const WalkTraceRow& r) { return r.gaitMode; });
    out["cycleMode"] = column<int>(rows, [](const WalkTraceRow& r) { return r.cycleMode; });
    for (int k = 0; k < linkCount; ++k) {
        py::array_t<double> q(static_cast<py::ssize_t>(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i) q.mutable_data()[i] = rows[i].q[k];
        out[("q" + std::to_string(k)).c_str()] = q;
    }
    using Value = double (*)(const WalkTraceRow&);
    const std::pair<const char*, Value> placement[] = {
        {"stanceArc", [](const WalkTraceRow& r) { return r.stanceArc; }},
        {"hipHalfWidth", [](const WalkTraceRow& r) { return r.hipHalfWidth; }},
        {"comX", [](const WalkTraceRow& r) { return r.comX; }},
        {"comY", [](const WalkTraceRow& r) { return r.comY; }},
        {"swingReach", [](const WalkTraceRow& r) { return r.swingReach; }},
    };
    for (const auto& [name, value] : placement) out[name] = column<double>(rows, value);
    // The gait walked is traced too when gaits are named, as on the command line.
    if (gait.is_none() && request.changes.empty()) return out;
    const std::pair<const char*, Value> walked[] = {
        {"backStep", [](const WalkTraceRow& r) { return r.walked.backStep; }},
        {"foreStep", [](const WalkTraceRow& r) { return r.walked.foreStep; }},
        {"meanSpeed", [](const WalkTraceRow& r) { return r.walked.meanSpeed; }},
        {"clearance", [](const WalkTraceRow& r) { return r.walked.clearance; }},
    };
    for (const auto& [name, value] : walked) out[name] = column<double>(rows, value);
    return out;
}

} // namespace

void defineWalk(py::module_& m) {
    m.def("walk", &walk, py::arg("calls"), py::arg("gait") = py::none(),
          py::arg("changes") = py::tuple(), py::arg("keys") = py::none(),
          R"(The walk as `orva-gait walk` traces it: start-up, then `calls` idle passes.

gait: the gait to start on (all four segments made from it), else row 0; UnusableGait when
it gives no usable step. changes: (call, Gait) pairs or a {call: Gait} mapping, each gait
asked for just before that idle call (counted from 1), as the window's explorer asks. keys:
(call, "chars") pairs or a {call: "chars"} mapping, the gait keys (w x q s a z) pressed just
before that call. A change the walker cannot make is said as a RuntimeWarning, and ORVA
keeps its gait.

A dict of arrays, one per column of `orva-gait walk` and with its name: call, supportLeg,
gaitMode (the keys' mode), cycleMode (the mode walked, -1 for a custom gait), q0..q5 (the
joint angles, rad), stanceArc, hipHalfWidth, comX, comY and swingReach (m), and with a
gait or changes given backStep, foreStep, meanSpeed and clearance of the gait walked (m,
m/s). Runs without the GIL.)");
}

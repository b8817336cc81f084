#include "walking/walk_cycle.h"

#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"

namespace orva {

namespace {

// Blends last a fifth of the step before them (not the generator's own blendDuration).
constexpr double blendFraction = 0.2;
// Part-way gaits tried when no one step reaches a custom gait: 1/2, 1/4, 1/8 of the way.
constexpr int partWayTries = 3;

// The generator, counted against the boundary's budget; the passes of the step to replay are
// kept.
bool generateCounted(WalkCycle& w, const GaitEntry& entry, TrajectorySegment& seg) {
    ++w.boundaryCalls;
    const bool replayed = &seg == &w.segments[0] || &seg == &w.segments[2];
    if (replayed) w.stepEntry = entry;
    return generateStep(entry, seg, replayed ? &w.stepStats : nullptr);
}

// The gait a fraction f of the way from a to b, field by field.
GaitEntry partWay(const GaitEntry& a, const GaitEntry& b, double f) {
    GaitEntry out = a;
    for (const GaitField& field : gaitFields)
        out.*field.member = a.*field.member + f * (b.*field.member - a.*field.member);
    return out;
}

// A change between two table rows, as the keys have always made it: a change the generator
// cannot make in one step (two or more length levels) goes one length level at a time and
// stays latched.
void tableChange(WalkCycle& w, TrajectorySegment& next) {
    const int from = w.current.mode, to = w.pending.mode;
    if (generateCounted(w, transitionEntry(from, to), next)) {
        w.current = w.pending;
        return;
    }
    // The target's height and speed with one length level less far to go.
    GaitLevels levels = gaitLevels(to);
    const int fromLength = gaitLevels(from).length;
    levels.length = fromLength + (levels.length > fromLength) - (levels.length < fromLength);
    const int intermediate = gaitMode(levels);
    if (generateCounted(w, transitionEntry(from, intermediate), next)) {
        w.current = tableGait(intermediate);
        w.changeLatched = 1;
        return;
    }
    generateCounted(w, gaitTable.rows[from], next);
}

// A change to or from a custom gait: directly, else to a gait part of the way there whose
// transition and own step are both usable, staying latched; else the gait is kept.
void customChange(WalkCycle& w, TrajectorySegment& next) {
    const GaitEntry& from = w.current.entry;
    if (generateCounted(w, transitionEntry(from, w.pending.entry), next)) {
        w.current = w.pending;
        return;
    }
    TrajectorySegment own;
    double f = 0.5;
    for (int i = 0; i < partWayTries; ++i, f /= 2) {
        const GaitEntry mid = partWay(from, w.pending.entry, f);
        if (generateCounted(w, transitionEntry(from, mid), next) && generateCounted(w, mid, own)) {
            w.current = GaitTarget{customGait, mid};
            w.changeLatched = 1;
            return;
        }
    }
    ++w.refusals;
    generateCounted(w, from, next);
}

// The next step, taking a latched gait change through a transition step; a step that is not
// usable is never replayed.
void generateNextStep(WalkCycle& w, TrajectorySegment& next) {
    w.boundaryCalls = 0;
    if (!w.changeLatched) {
        generateCounted(w, w.current.entry, next);
        return;
    }
    w.changeLatched = 0;
    if (w.current.mode != customGait && w.pending.mode != customGait)
        tableChange(w, next);
    else
        customChange(w, next);
}

// Phases 0 and 2: replay the step, and at its end generate the next step and the blend.
void stepPhase(WalkCycle& w, RobotState& state, int stepIndex) {
    TrajectorySegment& step = w.segments[stepIndex];
    TrajectorySegment& blend = w.segments[stepIndex + 1];
    TrajectorySegment& next = w.segments[(stepIndex + 2) % segmentCount];

    toJointCoords(evalPose(step, w.phaseClock), state.q);
    w.phaseClock += phaseIncrement;
    if (!(w.phaseClock > step.duration)) return;

    w.phase = stepIndex + 1;
    double rates[linkCount], accels[linkCount];
    evalPolyRates(step, w.phaseClock, rates);
    evalPolyAccels(step, w.phaseClock, accels);
    w.phaseClock = 0;
    generateNextStep(w, next);
    buildBlend(blendFraction * step.duration, blend, next, state.q, rates, accels);
}

void blendPhase(WalkCycle& w, RobotState& state, int blendIndex) {
    const TrajectorySegment& blend = w.segments[blendIndex];
    toJointCoords(evalPose(blend, w.phaseClock), state.q);
    w.phaseClock += phaseIncrement;
    if (w.phaseClock > blend.blendDuration) {
        w.phase = (blendIndex + 1) % segmentCount;
        w.phaseClock = 0;
    }
}

// First or second time derivative of the five polynomials, in joint form; the swing foot's
// link is taken as still.
void evalPolyDerivatives(const TrajectorySegment& seg, double t, int order,
                         double joint[linkCount]) {
    double link[linkCount] = {};
    for (int k = 0; k < modelLinkCount; ++k) link[k] = evalPolyDerivative(seg.poly[k], t, order);
    toJointRates(link, joint);
}

} // namespace

GaitTarget tableGait(int mode) {
    return GaitTarget{mode, gaitTable.rows[mode]};
}

bool sameGait(const GaitTarget& a, const GaitTarget& b) {
    if (a.mode != b.mode) return false;
    if (a.mode != customGait) return true;
    for (const GaitField& field : gaitFields)
        if (a.entry.*field.member != b.entry.*field.member) return false;
    return true;
}

void simulationInit(WalkCycle& w) {
    setupCore();
    simulationInit(w, tableGait(0));
}

void simulationInit(WalkCycle& w, const GaitTarget& start) {
    w = WalkCycle{};
    w.current = w.pending = start;
    w.stepEntry = start.entry;
    for (TrajectorySegment& seg : w.segments) generateStep(start.entry, seg, &w.stepStats);
}

int simulationStep(WalkCycle& w, RobotState& state, int modeRequest, const GaitTarget& requested) {
    if (modeRequest == 1 && w.changeLatched == 0) {
        if (requested.mode != customGait || givesUsableStep(requested.entry)) {
            w.changeLatched = 1;
            w.pending = requested;
        } else {
            ++w.refusals;
        }
    }
    // The support leg is the one of the step the phase's segment belongs to.
    const int phase = w.phase;
    w.supportFlag = stepSegmentOf(phase) == 2 ? 1 : 0;
    if (isBlendPhase(phase))
        blendPhase(w, state, phase);
    else
        stepPhase(w, state, phase);
    return w.supportFlag;
}

int simulationStep(WalkCycle& w, RobotState& state, int modeRequest, int requestedMode) {
    return simulationStep(w, state, modeRequest, tableGait(requestedMode));
}

void buildBlend(double T, TrajectorySegment& blend, const TrajectorySegment& next,
                const double q[linkCount], const double rates[linkCount],
                const double accels[linkCount]) {
    blend.blendDuration = T;
    const LinkAngles angles = toLinkAngles(q);
    double linkRates[linkCount], linkAccels[linkCount];
    toLinkRates(rates, linkRates);
    toLinkRates(accels, linkAccels);
    for (int k = 0; k < modelLinkCount; ++k) {
        // The landed swing leg becomes the stance leg: shanks and thighs change places.
        const int j = modelLinkCount - 1 - k;
        const double start[3] = {angles.theta[j], linkRates[j], linkAccels[j]};
        const double* c = next.poly[k].c;
        const double end[3] = {c[0], c[1], 2 * c[2]};
        fitQuintic(start, end, T, blend.poly[k]);
    }
}

LinkAngles evalPose(const TrajectorySegment& seg, double t) {
    LinkAngles a{};
    for (int k = 0; k < modelLinkCount; ++k) a.theta[k] = evalPoly(seg.poly[k], t);
    a.theta[5] = 0;
    return a;
}

void evalPolyRates(const TrajectorySegment& seg, double t, double jointRates[linkCount]) {
    evalPolyDerivatives(seg, t, 1, jointRates);
}

void evalPolyAccels(const TrajectorySegment& seg, double t, double jointAccels[linkCount]) {
    evalPolyDerivatives(seg, t, 2, jointAccels);
}

} // namespace orva

#include "walking/walk_cycle.h"

#include "gait/poly_fit.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"

namespace orva {

WalkCycle walkCycle;
TrajectorySegment segments[segmentCount];

namespace {

// Blends last a fifth of the step before them (not the generator's own blendDuration).
constexpr double blendFraction = 0.2;

int lengthLevel(int mode) {
    return mode & 3;
}

bool generateTransition(int from, int to, TrajectorySegment& next) {
    return generateStep(transitionEntry(from, to), next);
}

// The next step, taking a latched gait change through a transition step. A change the
// generator cannot make in one step (two or more length levels) goes one length level at a
// time and stays latched; a step that is not usable is never replayed.
void generateNextStep(TrajectorySegment& next) {
    WalkCycle& w = walkCycle;
    if (!w.changeLatched) {
        generateStep(gaitTable.rows[w.currentMode], next);
        return;
    }
    w.changeLatched = 0;
    const int from = w.currentMode, to = w.pendingMode;
    if (generateTransition(from, to, next)) {
        w.currentMode = to;
        return;
    }
    int length = lengthLevel(from);
    if (lengthLevel(to) > length) ++length;
    if (lengthLevel(to) < length) --length;
    const int intermediate = (to & ~3) | length;
    if (generateTransition(from, intermediate, next)) {
        w.currentMode = intermediate;
        w.changeLatched = 1;
        return;
    }
    generateStep(gaitTable.rows[from], next);
}

// Phases 0 and 2: replay the step, and at its end generate the next step and the blend.
void stepPhase(RobotState& state, int stepIndex) {
    WalkCycle& w = walkCycle;
    TrajectorySegment& step = segments[stepIndex];
    TrajectorySegment& blend = segments[stepIndex + 1];
    TrajectorySegment& next = segments[(stepIndex + 2) % segmentCount];

    toJointCoords(evalPose(step, w.phaseClock), state.q);
    w.phaseClock += phaseIncrement;
    if (!(w.phaseClock > step.duration)) return;

    w.phase = stepIndex + 1;
    double rates[linkCount], accels[linkCount];
    evalPolyRates(step, w.phaseClock, rates);
    evalPolyAccels(step, w.phaseClock, accels);
    w.phaseClock = 0;
    generateNextStep(next);
    buildBlend(blendFraction * step.duration, blend, next, state.q, rates, accels);
}

void blendPhase(RobotState& state, int blendIndex) {
    WalkCycle& w = walkCycle;
    const TrajectorySegment& blend = segments[blendIndex];
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

void simulationInit(int startMode) {
    setupCore();
    walkCycle = WalkCycle{};
    walkCycle.currentMode = startMode;
    for (TrajectorySegment& seg : segments)
        generateStep(gaitTable.rows[walkCycle.currentMode], seg);
}

int simulationStep(RobotState& state, int modeRequest, int requestedMode) {
    WalkCycle& w = walkCycle;
    if (modeRequest == 1 && w.changeLatched == 0) {
        w.changeLatched = 1;
        w.pendingMode = requestedMode;
    }
    switch (w.phase) {
    case 0:
        w.supportFlag = 0;
        stepPhase(state, 0);
        break;
    case 1:
        w.supportFlag = 1;
        blendPhase(state, 1);
        break;
    case 2:
        w.supportFlag = 1;
        stepPhase(state, 2);
        break;
    default:
        w.supportFlag = 0;
        blendPhase(state, 3);
        break;
    }
    return w.supportFlag;
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

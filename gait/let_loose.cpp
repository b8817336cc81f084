#include "gait/let_loose.h"

#include "model/body_model.h"

#include <cmath>
#include <limits>

namespace orva {

namespace {

bool ankleFree(FreeJoints free) {
    return free != FreeJoints::torso;
}
bool torsoFree(FreeJoints free) {
    return free != FreeJoints::ankle;
}

// Moves every link by q0's change and the torso by q2's: angles, rates or accelerations.
void shift(double link[modelLinkCount], double ankle, double torso) {
    for (int i = 0; i < modelLinkCount; ++i) link[i] += ankle;
    link[2] += torso;
}

// The let-loose motion at s.t and the free accelerations' departures from the plan's (0 for a
// coordinate that is not free). The torques are affine in the departures: their values at no
// departure and at a unit departure of each free coordinate give the system to solve.
LinkMotion solveLoose(const TrajectorySegment& seg, FreeJoints free, const LooseState& s,
                      double depart[2]) {
    LinkMotion m = linkMotionAt(seg, s.t);
    shift(m.theta, s.offset[0], s.offset[1]);
    shift(m.rate, s.offsetRate[0], s.offsetRate[1]);
    const DynamicsSample base = inverseDynamics(m);
    // Column j: how the torques change with a unit departure of coordinate j (q0, q2).
    double column[2][modelLinkCount] = {};
    for (int j = 0; j < 2; ++j) {
        if (!(j == 0 ? ankleFree(free) : torsoFree(free))) continue;
        LinkMotion unit = m;
        shift(unit.accel, j == 0 ? 1 : 0, j == 0 ? 0 : 1);
        const DynamicsSample d = inverseDynamics(unit);
        for (int k = 0; k < modelLinkCount; ++k) column[j][k] = d.tau[k] - base.tau[k];
    }
    depart[0] = depart[1] = 0;
    switch (free) {
    case FreeJoints::ankle:
        depart[0] = -base.tau[0] / column[0][0];
        break;
    case FreeJoints::torso:
        depart[1] = -base.tau[2] / column[1][2];
        break;
    case FreeJoints::both: {
        // tau0 and tau2 zero: [c00 c10; c02 c12] (d0, d2) = -(tau0, tau2), by Cramer's rule.
        const double a = column[0][0], b = column[1][0], c = column[0][2], d = column[1][2];
        const double det = a * d - b * c;
        depart[0] = (-base.tau[0] * d + b * base.tau[2]) / det;
        depart[1] = (-a * base.tau[2] + c * base.tau[0]) / det;
        break;
    }
    }
    shift(m.accel, depart[0], depart[1]);
    return m;
}

// One classic fourth-order Runge-Kutta step of h on the offsets and their rates.
LooseState rungeKuttaStep(const TrajectorySegment& seg, FreeJoints free, const LooseState& s,
                          double h) {
    double rate[4][2], accel[4][2];
    LooseState stage = s;
    const double share[4] = {0, 0.5, 0.5, 1};
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            stage.t = s.t + share[k] * h;
            for (int j = 0; j < 2; ++j) {
                stage.offset[j] = s.offset[j] + share[k] * h * rate[k - 1][j];
                stage.offsetRate[j] = s.offsetRate[j] + share[k] * h * accel[k - 1][j];
            }
        }
        solveLoose(seg, free, stage, accel[k]);
        for (int j = 0; j < 2; ++j) rate[k][j] = stage.offsetRate[j];
    }
    LooseState out = s;
    out.t = s.t + h;
    for (int j = 0; j < 2; ++j) {
        out.offset[j] += h / 6 * (rate[0][j] + 2 * rate[1][j] + 2 * rate[2][j] + rate[3][j]);
        out.offsetRate[j] +=
            h / 6 * (accel[0][j] + 2 * accel[1][j] + 2 * accel[2][j] + accel[3][j]);
    }
    return out;
}

int stepCount(double span, double maxStep) {
    return span > 0 ? static_cast<int>(std::ceil(span / maxStep)) : 0;
}

double swingAnkleHeight(const TrajectorySegment& seg, FreeJoints free, const LooseState& s) {
    return motionPoints(looseMotion(seg, free, s)).swingAnkle.y;
}

// Where the swing ankle's height crosses zero between lo and hi, from the state at `from`
// (heights ylo > 0 >= yhi): the Illinois variant of regula falsi on the integration itself.
double contactTime(const TrajectorySegment& seg, FreeJoints free, const LooseState& from, double lo,
                   double hi, double ylo, double yhi) {
    const double tolerance = 1e-12 * seg.duration;
    int side = 0;
    for (int pass = 0; pass < 100 && hi - lo > tolerance; ++pass) {
        double t = (lo * yhi - hi * ylo) / (yhi - ylo);
        if (!(t > lo && t < hi)) t = 0.5 * (lo + hi);
        const double y = swingAnkleHeight(seg, free, rungeKuttaStep(seg, free, from, t - from.t));
        if (y <= 0) {
            hi = t;
            yhi = y;
            if (side == -1) ylo *= 0.5;
            side = -1;
        } else {
            lo = t;
            ylo = y;
            if (side == 1) yhi *= 0.5;
            side = 1;
        }
    }
    return hi;
}

} // namespace

double looseStep(FreeJoints free) {
    switch (free) {
    case FreeJoints::ankle:
        return 2e-3;
    case FreeJoints::torso:
        return 1e-3;
    case FreeJoints::both:
        break;
    }
    return 5e-4;
}

LinkMotion looseMotion(const TrajectorySegment& seg, FreeJoints free, const LooseState& s) {
    double depart[2];
    return solveLoose(seg, free, s, depart);
}

void advanceLoose(const TrajectorySegment& seg, FreeJoints free, LooseState& s, double to) {
    advanceLoose(seg, free, s, to, looseStep(free));
}

void advanceLoose(const TrajectorySegment& seg, FreeJoints free, LooseState& s, double to,
                  double maxStep) {
    const double from = s.t;
    const int n = stepCount(to - from, maxStep);
    for (int k = 0; k < n; ++k) {
        const double next = k + 1 == n ? to : from + (to - from) * (k + 1) / n;
        s = rungeKuttaStep(seg, free, s, next - s.t);
        s.t = next;
    }
}

BodyPoints motionPoints(const LinkMotion& motion) {
    LinkAngles a{}; // theta5 0: the swing foot level
    for (int k = 0; k < modelLinkCount; ++k) a.theta[k] = motion.theta[k];
    return bodyPoints(a);
}

void sampleLoose(const TrajectorySegment& seg, FreeJoints free, int count, LooseSample out[]) {
    LooseState s = looseStart;
    for (int k = 0; k < count; ++k) {
        LooseSample& o = out[k];
        o.t = seg.duration * k / (count - 1);
        advanceLoose(seg, free, s, o.t);
        o.loose = looseMotion(seg, free, s);
        o.plan = linkMotionAt(seg, o.t);
        o.loosePoints = motionPoints(o.loose);
        o.planPoints = motionPoints(o.plan);
    }
}

LooseOutcome letLoose(const TrajectorySegment& seg, FreeJoints free) {
    return letLoose(seg, free, looseStep(free));
}

LooseOutcome letLoose(const TrajectorySegment& seg, FreeJoints free, double maxStep) {
    const double T = seg.duration, half = 0.5 * T;
    LooseOutcome out{0, 0, {0, 0}, {0, 0}, std::numeric_limits<double>::quiet_NaN()};
    LooseState s = looseStart;
    const int n = stepCount(T, maxStep);
    bool touched = false;
    for (int k = 0; k < n; ++k) {
        const double next = k + 1 == n ? T : T * (k + 1) / n;
        LooseState after = rungeKuttaStep(seg, free, s, next - s.t);
        after.t = next;
        if (!touched && next > half && swingAnkleHeight(seg, free, after) <= 0) {
            touched = true;
            // Only a contact after mid-step counts: start the search there if need be.
            const double lo = std::fmax(s.t, half);
            const double ylo = swingAnkleHeight(seg, free, rungeKuttaStep(seg, free, s, lo - s.t));
            const double yhi = swingAnkleHeight(seg, free, after);
            const double t = ylo <= 0 ? lo : contactTime(seg, free, s, lo, next, ylo, yhi);
            // Within rounding of T it is the planned touch-down itself: the plan's swing ankle
            // ends some 1e-14 m off the ground.
            if (t < T - 1e-9 * T) out.earlyContact = t;
        }
        s = after;
    }
    out.ankleDrift = s.offset[0];
    out.torsoDrift = s.offset[1];
    const BodyPoints loose = motionPoints(looseMotion(seg, free, s));
    const BodyPoints plan = motionPoints(linkMotionAt(seg, T));
    out.hipOffset[0] = loose.hip.x - plan.hip.x;
    out.hipOffset[1] = loose.hip.y - plan.hip.y;
    out.swingAnkleOffset[0] = loose.swingAnkle.x - plan.swingAnkle.x;
    out.swingAnkleOffset[1] = loose.swingAnkle.y - plan.swingAnkle.y;
    return out;
}

} // namespace orva

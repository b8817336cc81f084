#include "gait/dynamics.h"

#include "gait/poly_fit.h"
#include "gait/sin_cos.h"
#include "model/body_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orva {

namespace {

constexpr int bodyCount = dynamicsBodyCount;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Each body's centre of mass is a sum of lever[b][i] dir(theta_i) from the stance ankle, so
// its acceleration is a sum of lever[b][i] (theta_i'' n_i - theta_i'^2 dir(theta_i)), n_i the
// link's normal, and the generalized force conjugate to theta_i collects lever[b][i] n_i times
// each body's force.
struct BodyLevers {
    double lever[bodyCount][modelLinkCount];
    double mass[bodyCount];
    double inertia[modelLinkCount];
    double gravity;
};

BodyLevers bodyLevers() {
    DynamicsBody d[bodyCount];
    for (int k = 0; k < bodyCount; ++k) d[k] = dynamicsBody(k);
    const double L0 = d[0].length, L1 = d[1].length, L2 = d[2].length;
    const double r0 = d[0].comRatio, r1 = d[1].comRatio, r2 = d[2].comRatio;
    // Stance shank, stance thigh, torso, swing thigh, swing shank, swing foot at the ankle.
    return BodyLevers{{{r0 * L0, 0, 0, 0, 0},
                       {L0, r1 * L1, 0, 0, 0},
                       {L0, L1, r2 * L2, 0, 0},
                       {L0, L1, 0, -(1 - r1) * L1, 0},
                       {L0, L1, 0, -L1, -(1 - r0) * L0},
                       {L0, L1, 0, -L1, -L0}},
                      {d[0].mass, d[1].mass, d[2].mass, d[3].mass, d[4].mass, d[5].mass},
                      {d[0].inertia, d[1].inertia, d[2].inertia, d[3].inertia, d[4].inertia},
                      bodyParams.gravity};
}

// Value, first and second derivative of p at t in one Horner pass, up to evalPoly's power.
// The fits leave the top coefficients zero; starting below them changes no result.
void polyMotion(const JointPolynomial& p, double t, double& value, double& rate, double& accel) {
    int degree = evalHighestPower;
    while (degree > 0 && p.c[degree] == 0.0) --degree;
    double v = p.c[degree], r = 0, a = 0;
    for (int k = degree - 1; k >= 0; --k) {
        a = a * t + 2 * r;
        r = r * t + v;
        v = v * t + p.c[k];
    }
    value = v;
    rate = r;
    accel = a;
}

void jointRates(const double rate[modelLinkCount], double q[linkCount]) {
    double link[linkCount] = {}; // the swing foot's link taken as still
    std::copy(rate, rate + modelLinkCount, link);
    toJointRates(link, q);
}

DynamicsSample solve(const BodyLevers& b, const LinkMotion& m) {
    double c[modelLinkCount], s[modelLinkCount], ax[modelLinkCount], ay[modelLinkCount];
    for (int i = 0; i < modelLinkCount; ++i) {
        sinCos(m.theta[i], s[i], c[i]);
        const double w2 = m.rate[i] * m.rate[i];
        ax[i] = -s[i] * m.accel[i] - c[i] * w2;
        ay[i] = c[i] * m.accel[i] - s[i] * w2;
    }
    // Each body's mass times (acceleration + g up): what the ground and the joints must supply.
    double Fx[bodyCount], Fy[bodyCount];
    DynamicsSample out{};
    for (int k = 0; k < bodyCount; ++k) {
        double bx = 0, by = 0;
        for (int i = 0; i < modelLinkCount; ++i) {
            bx += b.lever[k][i] * ax[i];
            by += b.lever[k][i] * ay[i];
        }
        Fx[k] = b.mass[k] * bx;
        Fy[k] = b.mass[k] * (by + b.gravity);
        out.fx += Fx[k];
        out.fy += Fy[k];
    }
    double Q[modelLinkCount];
    for (int i = 0; i < modelLinkCount; ++i) {
        double sx = 0, sy = 0;
        for (int k = 0; k < bodyCount; ++k) {
            sx += b.lever[k][i] * Fx[k];
            sy += b.lever[k][i] * Fy[k];
        }
        Q[i] = c[i] * sy - s[i] * sx + b.inertia[i] * m.accel[i];
    }
    out.tau[4] = Q[4];
    out.tau[3] = Q[3] + Q[4];
    out.tau[2] = Q[2];
    out.tau[1] = Q[1] + Q[2] + out.tau[3];
    out.tau[0] = Q[0] + out.tau[1];
    double q[linkCount];
    jointRates(m.rate, q);
    for (int k = 0; k < modelLinkCount; ++k) out.power += out.tau[k] * q[k];
    const bool contact = out.fy > 0;
    out.cop = contact ? out.tau[0] / out.fy : notANumber;
    out.friction = contact ? std::fabs(out.fx) / out.fy : notANumber;
    return out;
}

// Each joint's power tau_k q_k' at t.
struct JointPowers {
    double p[modelLinkCount];
    double total;
};

JointPowers jointPowers(const BodyLevers& b, const TrajectorySegment& seg, double t) {
    const LinkMotion m = linkMotionAt(seg, t);
    const DynamicsSample d = solve(b, m);
    double q[linkCount];
    jointRates(m.rate, q);
    JointPowers out{};
    for (int k = 0; k < modelLinkCount; ++k) out.p[k] = d.tau[k] * q[k];
    out.total = d.power;
    return out;
}

// Eight-point Gauss-Legendre nodes and weights on [-1, 1], in increasing order.
constexpr int gaussOrder = 8;
constexpr double gaussNode[gaussOrder] = {-0.960289856497536231684, -0.796666477413626739592,
                                          -0.525532409916328985818, -0.183434642495649804939,
                                          0.183434642495649804939,  0.525532409916328985818,
                                          0.796666477413626739592,  0.960289856497536231684};
constexpr double gaussWeight[gaussOrder] = {0.101228536290376259153, 0.222381034453374470544,
                                            0.313706645877887287338, 0.362683783378361982965,
                                            0.362683783378361982965, 0.313706645877887287338,
                                            0.222381034453374470544, 0.101228536290376259153};
// Panels over a step. The smooth pieces come out exact to rounding with far fewer; the number
// is set by the zeros of a joint's power, looked for between the panel's points: two close ones
// between points would go unseen. Over every usable step and gait change, 64 panels agree with
// 512 to 1e-9 relative (32 to 1e-7).
constexpr int workPanels = 64;

double jointPowerIntegral(const BodyLevers& b, const TrajectorySegment& seg, int k, double lo,
                          double hi) {
    const double half = 0.5 * (hi - lo), mid = 0.5 * (hi + lo);
    double sum = 0;
    for (int i = 0; i < gaussOrder; ++i)
        sum += gaussWeight[i] * jointPowers(b, seg, mid + half * gaussNode[i]).p[k];
    return half * sum;
}

// The zero of joint k's power between lo and hi, where it has opposite signs flo and fhi: the
// Illinois variant of regula falsi, which closes in from both sides.
double powerZero(const BodyLevers& b, const TrajectorySegment& seg, int k, double lo, double hi,
                 double flo, double fhi) {
    const double tolerance = 1e-12 * seg.duration;
    int side = 0;
    for (int pass = 0; pass < 100 && hi - lo > tolerance; ++pass) {
        double t = (lo * fhi - hi * flo) / (fhi - flo);
        if (!(t > lo && t < hi)) t = 0.5 * (lo + hi);
        const double f = jointPowers(b, seg, t).p[k];
        if (f == 0) return t;
        if ((f > 0) == (fhi > 0)) {
            hi = t;
            fhi = f;
            if (side == -1) flo *= 0.5;
            side = -1;
        } else {
            lo = t;
            flo = f;
            if (side == 1) fhi *= 0.5;
            side = 1;
        }
    }
    return 0.5 * (lo + hi);
}

} // namespace

DynamicsBody dynamicsBody(int body) {
    const BodyParams& p = bodyParams;
    if (body == bodyCount - 1) return {p.mass[body], 0, 0, 0};
    const int twin = body < 3 ? body : 4 - body; // the swing thigh's is the stance thigh's
    return {p.mass[body], p.length[twin], p.comRatio[twin], p.inertia[body]};
}

LinkMotion linkMotionAt(const TrajectorySegment& seg, double t) {
    LinkMotion m;
    for (int k = 0; k < modelLinkCount; ++k)
        polyMotion(seg.poly[k], t, m.theta[k], m.rate[k], m.accel[k]);
    return m;
}

DynamicsSample inverseDynamics(const LinkMotion& motion) {
    return solve(bodyLevers(), motion);
}

DynamicsSample dynamicsAt(const TrajectorySegment& seg, double t) {
    return solve(bodyLevers(), linkMotionAt(seg, t));
}

void sampleDynamics(const TrajectorySegment& seg, int count, DynamicsSample out[]) {
    const BodyLevers b = bodyLevers();
    for (int k = 0; k < count; ++k)
        out[k] = solve(b, linkMotionAt(seg, seg.duration * k / (count - 1)));
}

double kineticEnergy(const LinkMotion& m) {
    const BodyLevers b = bodyLevers();
    double c[modelLinkCount], s[modelLinkCount], energy = 0;
    for (int i = 0; i < modelLinkCount; ++i) {
        sinCos(m.theta[i], s[i], c[i]);
        energy += 0.5 * b.inertia[i] * m.rate[i] * m.rate[i];
    }
    for (int k = 0; k < bodyCount; ++k) {
        double vx = 0, vy = 0;
        for (int i = 0; i < modelLinkCount; ++i) {
            vx -= b.lever[k][i] * s[i] * m.rate[i];
            vy += b.lever[k][i] * c[i] * m.rate[i];
        }
        energy += 0.5 * b.mass[k] * (vx * vx + vy * vy);
    }
    return energy;
}

double potentialEnergy(const double theta[modelLinkCount]) {
    const BodyLevers b = bodyLevers();
    double energy = 0;
    for (int k = 0; k < bodyCount; ++k) {
        double y = 0;
        for (int i = 0; i < modelLinkCount; ++i) y += b.lever[k][i] * std::sin(theta[i]);
        energy += b.mass[k] * b.gravity * y;
    }
    return energy;
}

StepWork stepWork(const TrajectorySegment& seg) {
    const BodyLevers b = bodyLevers();
    const double h = seg.duration / workPanels;
    StepWork work{0, 0};
    constexpr int pointCount = gaussOrder + 2; // panel ends and nodes, in increasing order
    double t[pointCount];
    JointPowers v[pointCount];
    v[pointCount - 1] = jointPowers(b, seg, 0.0);
    for (int panel = 0; panel < workPanels; ++panel) {
        const double lo = h * panel, hi = panel + 1 == workPanels ? seg.duration : lo + h;
        t[0] = lo;
        v[0] = v[pointCount - 1];
        for (int i = 0; i < gaussOrder; ++i) {
            t[i + 1] = 0.5 * (lo + hi) + 0.5 * (hi - lo) * gaussNode[i];
            v[i + 1] = jointPowers(b, seg, t[i + 1]);
        }
        t[pointCount - 1] = hi;
        v[pointCount - 1] = jointPowers(b, seg, hi);

        double net = 0;
        for (int i = 0; i < gaussOrder; ++i) net += gaussWeight[i] * v[i + 1].total;
        work.net += 0.5 * (hi - lo) * net;
        for (int k = 0; k < modelLinkCount; ++k) {
            bool positive = false, negative = false;
            double sum = 0;
            for (int i = 0; i < pointCount; ++i) {
                positive = positive || v[i].p[k] > 0;
                negative = negative || v[i].p[k] < 0;
            }
            if (!(positive && negative)) {
                for (int i = 0; i < gaussOrder; ++i) sum += gaussWeight[i] * v[i + 1].p[k];
                work.positive += std::max(0.5 * (hi - lo) * sum, 0.0);
                continue;
            }
            // The power changes sign in this panel: integrate between its zeros, keeping the
            // pieces where it is positive.
            double from = lo;
            for (int i = 0; i + 1 < pointCount; ++i) {
                const double f0 = v[i].p[k], f1 = v[i + 1].p[k];
                double cut;
                if (f0 * f1 < 0)
                    cut = powerZero(b, seg, k, t[i], t[i + 1], f0, f1);
                else if (f1 == 0 && i + 2 < pointCount)
                    cut = t[i + 1];
                else
                    continue;
                if (cut > from)
                    work.positive += std::max(jointPowerIntegral(b, seg, k, from, cut), 0.0);
                from = cut;
            }
            if (hi > from) work.positive += std::max(jointPowerIntegral(b, seg, k, from, hi), 0.0);
        }
    }
    return work;
}

DynamicsSummary summarizeDynamics(const TrajectorySegment& seg, double stepLength) {
    const BodyLevers b = bodyLevers();
    DynamicsSummary s{0, 0, notANumber, notANumber, HUGE_VAL, notANumber, 0, 0, 0};
    int lifted = 0;
    for (int k = 0; k < summarySampleCount; ++k) {
        const double t = seg.duration * k / (summarySampleCount - 1);
        const DynamicsSample d = solve(b, linkMotionAt(seg, t));
        for (double tau : d.tau) s.peakTorque = std::max(s.peakTorque, std::fabs(tau));
        s.peakAnkleMoment = std::max(s.peakAnkleMoment, std::fabs(d.tau[0]));
        s.fyMin = std::min(s.fyMin, d.fy);
        if (!(d.fy > 0)) {
            ++lifted;
            continue;
        }
        s.copMin = std::isnan(s.copMin) ? d.cop : std::min(s.copMin, d.cop);
        s.copMax = std::isnan(s.copMax) ? d.cop : std::max(s.copMax, d.cop);
        s.frictionMax =
            std::isnan(s.frictionMax) ? d.friction : std::max(s.frictionMax, d.friction);
    }
    s.liftOff = static_cast<double>(lifted) / summarySampleCount;
    s.positiveWork = stepWork(seg).positive;
    const BodyParams& p = bodyParams;
    s.costOfTransport = s.positiveWork / (p.totalMass * p.gravity * stepLength);
    return s;
}

double stepLength(const GaitEntry& e) {
    return e.backStep + e.foreStep;
}

} // namespace orva

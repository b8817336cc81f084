#include "gait/consistency.h"

#include "gait/poly_fit.h"
#include "gait/sin_cos.h"
#include "model/body_model.h"

#include <cmath>

namespace orva {

namespace {

constexpr int n = consistencySamples;

// out = a b, sample by sample. Parameters, so that the compiler trusts the restrict.
void multiplySamples(const double* __restrict a, const double* __restrict b,
                     double* __restrict out) {
    for (int k = 0; k < n; ++k) out[k] = a[k] * b[k];
}

// The powers of the sample times of T, unless samples already hold them.
void samplePowers(double T, StepSamples& samples) {
    if (samples.powersFor == T) return;
    const double dt = sampleSpacing(T);
    auto& p = samples.power;
    for (int k = 0; k < n; ++k) {
        p[0][k] = 1.0;
        p[1][k] = k * dt;
    }
    for (int j = 2; j <= evalHighestPower; ++j) multiplySamples(p[1], p[j - 1], p[j]);
    samples.powersFor = T;
}

// Highest power that takes part: the fits leave the top coefficients at zero, and adding a
// zero term (x + t^j 0 = x) changes no sum, so the terms above are skipped.
int degreeOf(const JointPolynomial& q) {
    int degree = evalHighestPower;
    while (degree > 0 && q.c[degree] == 0.0) --degree;
    return degree;
}

// out = out + a ca + b cb, sample by sample: two terms of a sum in one pass.
void addTwoTerms(const double* __restrict a, double ca, const double* __restrict b, double cb,
                 double* __restrict out) {
    for (int k = 0; k < n; ++k) out[k] = (out[k] + a[k] * ca) + b[k] * cb;
}

void addTerm(const double* __restrict a, double ca, double* __restrict out) {
    for (int k = 0; k < n; ++k) out[k] = out[k] + a[k] * ca;
}

// out = c0 + a ca, sample by sample: the first term of a sum.
void firstTerm(double c0, const double* __restrict a, double ca, double* __restrict out) {
    for (int k = 0; k < n; ++k) out[k] = c0 + a[k] * ca;
}

// evalPoly of q at every sample time, term by term in evalPoly's order.
void evalSamples(const JointPolynomial& q, const double (&power)[samplePowerCount][n],
                 double* out) {
    const int degree = degreeOf(q);
    if (degree == 0) {
        for (int k = 0; k < n; ++k) out[k] = q.c[0];
        return;
    }
    firstTerm(q.c[0], power[1], q.c[1], out);
    int j = 2;
    for (; j + 1 <= degree; j += 2) addTwoTerms(power[j], q.c[j], power[j + 1], q.c[j + 1], out);
    if (j <= degree) addTerm(power[j], q.c[j], out);
}

// One value per link and sample.
using LinkSamples = double[modelLinkCount][n];

// Cosines and sines of the five link angles at one instant.
struct LinkTrig {
    double c[modelLinkCount], s[modelLinkCount];
};

// Sample k of per-link arrays. Written out link by link: a loop here stops the compiler from
// vectorising the sample loops that call it.
inline LinkTrig trigAt(const LinkSamples& c, const LinkSamples& s, int k) {
    LinkTrig t;
    t.c[0] = c[0][k];
    t.c[1] = c[1][k];
    t.c[2] = c[2][k];
    t.c[3] = c[3][k];
    t.c[4] = c[4][k];
    t.s[0] = s[0][k];
    t.s[1] = s[1][k];
    t.s[2] = s[2][k];
    t.s[3] = s[3][k];
    t.s[4] = s[4][k];
    return t;
}

// cos(theta_i - theta_j) of the eight pairs whose mass-matrix entry carries one, from the
// angles' cosines and sines: five sine-cosine pairs instead of eight cosines of differences.
struct PairCosines {
    double c01, c02, c03, c04, c12, c13, c14, c34;
};

inline PairCosines pairCosines(const LinkTrig& t) {
    auto cosDiff = [&](int i, int j) { return t.c[i] * t.c[j] + t.s[i] * t.s[j]; };
    return {cosDiff(0, 1), cosDiff(0, 2), cosDiff(0, 3), cosDiff(0, 4),
            cosDiff(1, 2), cosDiff(1, 3), cosDiff(1, 4), cosDiff(3, 4)};
}

// Row sums of the mass matrix, as momentumWeights adds them (entry (i, 0) first).
struct Weights {
    double w[modelLinkCount];
};

inline Weights weightsFromPairs(const ModelCoefficients& model, const PairCosines& p) {
    const double(&D)[modelLinkCount][modelLinkCount] = model.massMatrixCoeff;
    Weights r;
    r.w[0] = D[0][0] + D[0][1] * p.c01 + D[0][2] * p.c02 + D[0][3] * p.c03 + D[0][4] * p.c04;
    r.w[1] = D[1][0] * p.c01 + D[1][1] + D[1][2] * p.c12 + D[1][3] * p.c13 + D[1][4] * p.c14;
    r.w[2] = D[2][0] * p.c02 + D[2][1] * p.c12 + D[2][2] + D[2][3] + D[2][4];
    r.w[3] = D[3][0] * p.c03 + D[3][1] * p.c13 + D[3][2] + D[3][3] + D[3][4] * p.c34;
    r.w[4] = D[4][0] * p.c04 + D[4][1] * p.c14 + D[4][2] + D[4][3] * p.c34 + D[4][4];
    return r;
}

// Centre-of-mass abscissa from the link angles' cosines, as comAbscissa adds it.
inline double abscissaFromCosines(const GeneratorConstants& k, const LinkTrig& t) {
    return k.shankLength * t.c[0] + k.thighLength * t.c[1] + k.shankWeight * (t.c[0] + t.c[4]) +
           k.thighWeight * (t.c[1] + t.c[3]) + k.torsoWeight * t.c[2];
}

double momentum(const Weights& s, const double rate[modelLinkCount]) {
    const double* w = s.w;
    return w[0] * rate[0] + w[1] * rate[1] + w[2] * rate[2] + w[3] * rate[3] + w[4] * rate[4];
}

// True when q stays within the sine-cosine kernel's range on [0, T]: |q(t)| is at most the sum
// of |c_j| T^j there. False for undefined or infinite coefficients.
bool withinKernelRange(const JointPolynomial& q, double T) {
    double bound = 0.0, power = 1.0;
    for (int j = 0; j <= evalHighestPower; ++j) {
        bound += std::fabs(q.c[j]) * power;
        power *= std::fabs(T);
    }
    return bound <= sinCosRange;
}

void sinCosKernelSamples(const double* __restrict theta, double* __restrict s,
                         double* __restrict c) {
    for (int k = 0; k < n; ++k) sinCosKernel(theta[k], s[k], c[k]);
}

// Sines and cosines of every sample angle: the branch-free kernel for a link whose angle
// stays within its range, the library otherwise.
void sinCosSamples(const JointPolynomial poly[modelLinkCount], double T, const LinkSamples& theta,
                   LinkSamples& s, LinkSamples& c) {
    for (int link = 0; link < modelLinkCount; ++link) {
        if (withinKernelRange(poly[link], T))
            sinCosKernelSamples(theta[link], s[link], c[link]);
        else
            for (int k = 0; k < n; ++k) sinCos(theta[link][k], s[link][k], c[link][k]);
    }
}

// Gp and X at every sample.
void partialMomentumAndAbscissa(const LinkSamples& c, const LinkSamples& s, const LinkSamples& rate,
                                double* __restrict Gp, double* __restrict X) {
    // Local copies: the compiler cannot tell the globals apart from Gp and X otherwise, and
    // would not vectorise the loop.
    const ModelCoefficients model = modelCoefficients;
    const GeneratorConstants constants = generatorConstants;
    for (int k = 0; k < n; ++k) {
        const LinkTrig t = trigAt(c, s, k);
        const Weights w = weightsFromPairs(model, pairCosines(t));
        Gp[k] =
            w.w[0] * rate[0][k] + w.w[1] * rate[1][k] + w.w[3] * rate[3][k] + w.w[4] * rate[4][k];
        X[k] = abscissaFromCosines(constants, t);
    }
}

// The increments of the pair rule, I[k+2] - I[k] = dt (near (f[k] + f[k+2]) + farTerm[k+1]);
// farTerm is pairRuleFar f, or a weighted integrand grouped as its definition groups it.
void pairIncrements(const double* __restrict f, const double* __restrict farTerm, double dt,
                    double* __restrict increment) {
    for (int k = 0; k <= n - 3; ++k)
        increment[k] = dt * (pairRuleNear * (f[k] + f[k + 2]) + farTerm[k + 1]);
}

// I[99] of I[k+2] = I[k] + increment[k] with I[1] = 0: the odd chain, pairs 1, 3, ..., 97.
double pairChain(const double increment[n]) {
    double sum = 0.0;
    for (int k = 1; k <= n - 3; k += 2) sum = sum + increment[k];
    return sum;
}

} // namespace

double pairRule(const double f[consistencySamples], double dt) {
    double far[n], increment[n];
    for (int k = 0; k < n; ++k) far[k] = pairRuleFar * f[k];
    pairIncrements(f, far, dt, increment);
    return pairChain(increment);
}

void sampleStep(const JointPolynomial poly[modelLinkCount], double T, StepSamples& out) {
    samplePowers(T, out);

    // Angles of all five links, rates of the four leg links; the torso's rate counts only in
    // the whole momentum at t = 0.
    LinkSamples theta, rate, c, s;
    for (int link = 0; link < modelLinkCount; ++link) {
        evalSamples(poly[link], out.power, theta[link]);
        JointPolynomial d;
        derivPoly(poly[link], d);
        if (link == 2)
            rate[2][0] = evalPoly(d, 0.0);
        else
            evalSamples(d, out.power, rate[link]);
    }
    sinCosSamples(poly, T, theta, s, c);

    partialMomentumAndAbscissa(c, s, rate, out.Gp, out.X);

    const double rStart[modelLinkCount] = {rate[0][0], rate[1][0], rate[2][0], rate[3][0],
                                           rate[4][0]};
    const Weights w = weightsFromPairs(modelCoefficients, pairCosines(trigAt(c, s, 0)));
    out.s2Start = w.w[2];
    out.H0 = momentum(w, rStart);
}

double torsoRateResidual(const StepSamples& smp, double T) {
    const GeneratorConstants& c = generatorConstants;
    const double dt = sampleSpacing(T);
    // B integrates (T - t) X, its far term grouped as (far (T - t)) X; A integrates Gp.
    double near[n], far[n], increment[n];
    for (int k = 0; k < n; ++k) {
        const double remaining = T - k * dt;
        near[k] = remaining * smp.X[k];
        far[k] = pairRuleFar * remaining * smp.X[k];
    }
    pairIncrements(near, far, dt, increment);
    const double B = pairChain(increment);
    const double A = pairRule(smp.Gp, dt);
    return (smp.Gp[0] * T - c.gravity * c.totalMass * B - A) / smp.s2Start;
}

double torsoRateResidual(const JointPolynomial poly[modelLinkCount], double T) {
    StepSamples samples;
    sampleStep(poly, T, samples);
    return torsoRateResidual(samples, T);
}

double stepMomentumResidual(const JointPolynomial poly[modelLinkCount], const StepSamples& samples,
                            double T) {
    const GeneratorConstants& k = generatorConstants;
    LinkTrig t;
    double rate[modelLinkCount];
    for (int link = 0; link < modelLinkCount; ++link) {
        JointPolynomial d;
        derivPoly(poly[link], d);
        rate[link] = evalPoly(d, T);
        sinCos(evalPoly(poly[link], T), t.s[link], t.c[link]);
    }
    const double HT = momentum(weightsFromPairs(modelCoefficients, pairCosines(t)), rate);
    return (samples.H0 - HT) / (k.gravity * k.totalMass) - pairRule(samples.X, sampleSpacing(T));
}

double stepMomentumResidual(const JointPolynomial poly[modelLinkCount], double T) {
    StepSamples samples;
    sampleStep(poly, T, samples);
    return stepMomentumResidual(poly, samples, T);
}

} // namespace orva

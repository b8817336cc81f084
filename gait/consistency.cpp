#include "gait/consistency.h"

#include "gait/poly_fit.h"
#include "gait/sin_cos.h"
#include "walking/body_model.h"

namespace {

constexpr int n = consistencySamples;
constexpr int maxPower = 9; // evalPoly's highest term

// Powers t_k^j of every sample time, built as evalPoly builds them and shared by all links.
struct SamplePowers {
    double p[maxPower + 1][n];
};

void samplePowers(double dt, SamplePowers& pw) {
    for (int k = 0; k < n; ++k) {
        pw.p[0][k] = 1.0;
        pw.p[1][k] = k * dt;
    }
    for (int j = 2; j <= maxPower; ++j)
        for (int k = 0; k < n; ++k) pw.p[j][k] = pw.p[1][k] * pw.p[j - 1][k];
}

// Highest power that takes part: the fits leave the top coefficients at zero, and adding a
// zero term changes no sum, so the terms above are skipped.
int degreeOf(const JointPolynomial& q) {
    int degree = maxPower;
    while (degree > 0 && q.c[degree] == 0.0) --degree;
    return degree;
}

// evalPoly of q at every sample time, term by term in evalPoly's order.
void evalSamples(const JointPolynomial& q, const SamplePowers& pw, double* __restrict out) {
    const int degree = degreeOf(q);
    for (int k = 0; k < n; ++k) out[k] = q.c[0];
    for (int j = 1; j <= degree; ++j) {
        const double cj = q.c[j];
        const double* __restrict power = pw.p[j];
        for (int k = 0; k < n; ++k) out[k] = out[k] + power[k] * cj;
    }
}

// cos(theta_i - theta_j) of the eight pairs whose mass-matrix entry carries one, from the
// angles' cosines and sines: five sine-cosine pairs instead of eight cosines of differences.
struct PairCosines {
    double c01, c02, c03, c04, c12, c13, c14, c34;
};

PairCosines pairCosines(const double c[5], const double s[5]) {
    auto cosDiff = [&](int i, int j) { return c[i] * c[j] + s[i] * s[j]; };
    return {cosDiff(0, 1), cosDiff(0, 2), cosDiff(0, 3), cosDiff(0, 4),
            cosDiff(1, 2), cosDiff(1, 3), cosDiff(1, 4), cosDiff(3, 4)};
}

// Row sums of the mass matrix, as momentumWeights adds them (entry (i, 0) first).
void weightsFromPairs(const PairCosines& p, double w[5]) {
    const double(&D)[5][5] = modelCoefficients.massMatrixCoeff;
    w[0] = D[0][0] + D[0][1] * p.c01 + D[0][2] * p.c02 + D[0][3] * p.c03 + D[0][4] * p.c04;
    w[1] = D[1][0] * p.c01 + D[1][1] + D[1][2] * p.c12 + D[1][3] * p.c13 + D[1][4] * p.c14;
    w[2] = D[2][0] * p.c02 + D[2][1] * p.c12 + D[2][2] + D[2][3] + D[2][4];
    w[3] = D[3][0] * p.c03 + D[3][1] * p.c13 + D[3][2] + D[3][3] + D[3][4] * p.c34;
    w[4] = D[4][0] * p.c04 + D[4][1] * p.c14 + D[4][2] + D[4][3] * p.c34 + D[4][4];
}

// Centre-of-mass abscissa from the link angles' cosines, as comAbscissa adds it.
double abscissaFromCosines(const double c[5]) {
    const GeneratorConstants& k = generatorConstants;
    return k.shankLength * c[0] + k.thighLength * c[1] + k.shankWeight * (c[0] + c[4]) +
           k.thighWeight * (c[1] + c[3]) + k.torsoWeight * c[2];
}

double momentum(const double w[5], const double rate[5]) {
    return w[0] * rate[0] + w[1] * rate[1] + w[2] * rate[2] + w[3] * rate[3] + w[4] * rate[4];
}

} // namespace

double pairRule(const double f[consistencySamples], double dt) {
    double I[n];
    I[0] = I[1] = 0.0;
    for (int k = 0; k <= n - 3; ++k)
        I[k + 2] = I[k] + dt * (pairRuleNear * (f[k] + f[k + 2]) + pairRuleFar * f[k + 1]);
    return I[n - 1];
}

void sampleStep(const JointPolynomial poly[polyLinkCount], double T, StepSamples& out) {
    SamplePowers pw;
    samplePowers(0.01 * T, pw);

    // Angles of all five links, rates of the four leg links; the torso's rate counts only in
    // the whole momentum at t = 0.
    double theta[5][n], rate[5][n], c[5][n], s[5][n];
    for (int link = 0; link < 5; ++link) {
        evalSamples(poly[link], pw, theta[link]);
        JointPolynomial d;
        derivPoly(poly[link], d);
        if (link == 2)
            rate[2][0] = evalPoly(d, 0.0);
        else
            evalSamples(d, pw, rate[link]);
    }
    for (int link = 0; link < 5; ++link)
        for (int k = 0; k < n; ++k) sinCos(theta[link][k], s[link][k], c[link][k]);

    for (int k = 0; k < n; ++k) {
        const double ck[5] = {c[0][k], c[1][k], c[2][k], c[3][k], c[4][k]};
        const double sk[5] = {s[0][k], s[1][k], s[2][k], s[3][k], s[4][k]};
        double w[5];
        weightsFromPairs(pairCosines(ck, sk), w);
        out.Gp[k] = w[0] * rate[0][k] + w[1] * rate[1][k] + w[3] * rate[3][k] + w[4] * rate[4][k];
        out.X[k] = abscissaFromCosines(ck);
        if (k == 0) {
            const double r0[5] = {rate[0][0], rate[1][0], rate[2][0], rate[3][0], rate[4][0]};
            out.s2Start = w[2];
            out.H0 = momentum(w, r0);
        }
    }
}

double torsoRateResidual(const StepSamples& smp, double T) {
    const GeneratorConstants& c = generatorConstants;
    const double dt = 0.01 * T;
    const double* X = smp.X;
    const double* Gp = smp.Gp;
    double A[n], B[n];
    A[0] = A[1] = 0.0;
    B[0] = B[1] = 0.0;
    for (int k = 0; k <= n - 3; ++k) {
        const double t = (k + 2) * dt, t0 = k * dt, t1 = (k + 1) * dt;
        B[k + 2] = B[k] + dt * (pairRuleNear * ((T - t0) * X[k] + (T - t) * X[k + 2]) +
                                pairRuleFar * (T - t1) * X[k + 1]);
        A[k + 2] = A[k] + dt * (pairRuleNear * (Gp[k] + Gp[k + 2]) + pairRuleFar * Gp[k + 1]);
    }
    return (Gp[0] * T - c.gravity * c.totalMass * B[n - 1] - A[n - 1]) / smp.s2Start;
}

double torsoRateResidual(const JointPolynomial poly[polyLinkCount], double T) {
    StepSamples samples;
    sampleStep(poly, T, samples);
    return torsoRateResidual(samples, T);
}

double stepMomentumResidual(const JointPolynomial poly[polyLinkCount], const StepSamples& samples,
                            double T) {
    const GeneratorConstants& k = generatorConstants;
    double c[5], s[5], rate[5], w[5];
    for (int link = 0; link < 5; ++link) {
        JointPolynomial d;
        derivPoly(poly[link], d);
        rate[link] = evalPoly(d, T);
        sinCos(evalPoly(poly[link], T), s[link], c[link]);
    }
    weightsFromPairs(pairCosines(c, s), w);
    const double HT = momentum(w, rate);
    return (samples.H0 - HT) / (k.gravity * k.totalMass) - pairRule(samples.X, 0.01 * T);
}

double stepMomentumResidual(const JointPolynomial poly[polyLinkCount], double T) {
    StepSamples samples;
    sampleStep(poly, T, samples);
    return stepMomentumResidual(poly, samples, T);
}

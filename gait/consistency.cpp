#include "gait/consistency.h"

#include "gait/momentum.h"
#include "gait/poly_fit.h"
#include "walking/body_model.h"

namespace {

constexpr int n = consistencySamples;

struct RateChains {
    JointPolynomial d[polyLinkCount]; // first derivatives of the five link angles
};

RateChains rateChains(const JointPolynomial poly[polyLinkCount]) {
    RateChains r;
    for (int k = 0; k < polyLinkCount; ++k) derivPoly(poly[k], r.d[k]);
    return r;
}

void anglesAt(const JointPolynomial poly[polyLinkCount], double t, double theta[5]) {
    for (int k = 0; k < polyLinkCount; ++k) theta[k] = evalPoly(poly[k], t);
}

void ratesAt(const RateChains& chains, double t, double rate[5]) {
    for (int k = 0; k < polyLinkCount; ++k) rate[k] = evalPoly(chains.d[k], t);
}

} // namespace

double pairRule(const double f[consistencySamples], double dt) {
    double I[n];
    I[0] = I[1] = 0.0;
    for (int k = 0; k <= n - 3; ++k)
        I[k + 2] = I[k] + dt * (pairRuleNear * (f[k] + f[k + 2]) + pairRuleFar * f[k + 1]);
    return I[n - 1];
}

double torsoRateResidual(const JointPolynomial poly[polyLinkCount], double T) {
    const GeneratorConstants& c = generatorConstants;
    const RateChains chains = rateChains(poly);
    const double dt = 0.01 * T;
    double tau[n], Gp[n], X[n], A[n], B[n];
    double s2Start = 0.0;

    // Partial momentum (without the torso's term) and abscissa at sample k.
    auto sample = [&](int k, double t) {
        double theta[5], rate[5], s[5];
        anglesAt(poly, t, theta);
        ratesAt(chains, t, rate);
        momentumWeights(massMatrix(theta), s);
        tau[k] = t;
        Gp[k] = s[0] * rate[0] + s[1] * rate[1] + s[3] * rate[3] + s[4] * rate[4];
        X[k] = comAbscissa(theta);
        if (k == 0) s2Start = s[2];
    };

    sample(0, 0.0);
    sample(1, dt);
    A[0] = A[1] = 0.0;
    B[0] = B[1] = 0.0;
    for (int k = 0; k <= n - 3; ++k) {
        const double t = (k + 2) * dt;
        sample(k + 2, t);
        B[k + 2] = B[k] + dt * (pairRuleNear * ((T - tau[k]) * X[k] + (T - t) * X[k + 2]) +
                                pairRuleFar * (T - tau[k + 1]) * X[k + 1]);
        A[k + 2] = A[k] + dt * (pairRuleNear * (Gp[k] + Gp[k + 2]) + pairRuleFar * Gp[k + 1]);
    }
    return (Gp[0] * T - c.gravity * c.totalMass * B[n - 1] - A[n - 1]) / s2Start;
}

double stepMomentumResidual(const JointPolynomial poly[polyLinkCount], double T) {
    const GeneratorConstants& c = generatorConstants;
    const RateChains chains = rateChains(poly);
    const double dt = 0.01 * T;

    // Whole-body angular momentum about the stance ankle at t.
    auto momentumAt = [&](double t) {
        double theta[5], rate[5], s[5];
        anglesAt(poly, t, theta);
        ratesAt(chains, t, rate);
        momentumWeights(massMatrix(theta), s);
        return s[0] * rate[0] + s[1] * rate[1] + s[2] * rate[2] + s[3] * rate[3] + s[4] * rate[4];
    };
    auto abscissaAt = [&](double t) {
        double theta[5];
        anglesAt(poly, t, theta);
        return comAbscissa(theta);
    };

    const double H0 = momentumAt(0.0);
    double X[n];
    X[0] = abscissaAt(0.0);
    X[1] = abscissaAt(dt);
    for (int k = 0; k <= n - 3; ++k) X[k + 2] = abscissaAt((k + 2) * dt);
    const double integral = pairRule(X, dt);
    const double HT = momentumAt(T);
    return (H0 - HT) / (c.gravity * c.totalMass) - integral;
}

#include "model/body_model.h"

#include <initializer_list>

namespace orva {

BodyParams bodyParams;
ModelCoefficients modelCoefficients;
GeneratorConstants generatorConstants;

void defineBodyParams(BodyParams& p) {
    for (int i = 0; i < modelLinkCount; ++i) p.length[i] = limbLinkLength;
    p.length[5] = 0.3;

    p.comDist[0] = 0.1719;
    p.comDist[1] = 0.378 * p.length[1];
    p.comDist[2] = 0.5 * p.length[2];
    p.comDist[3] = 0.5 * p.length[1];
    p.comDist[4] = 0.5 * p.length[0];
    p.comDist[5] = 0.5 * p.length[5];

    const double masses[linkCount] = {3.57, 3.69, 16.0, 3.69, 3.57, 1.13};
    const double inertias[linkCount] = {0.059, 0.061, 0.6, 0.061, 0.059, 0.00486};
    for (int i = 0; i < linkCount; ++i) {
        p.mass[i] = masses[i];
        p.inertia[i] = inertias[i];
    }
    p.gravity = 9.80665;

    p.totalMass = 0.0;
    for (int i = 0; i < linkCount; ++i) p.totalMass += p.mass[i];
    for (int i = 0; i < linkCount; ++i) p.massFraction[i] = p.mass[i] / p.totalMass;
    for (int i = 0; i < linkCount; ++i) p.comRatio[i] = 0.0;
    for (int i : {0, 1, 2, 5}) p.comRatio[i] = p.comDist[i] / p.length[i];
}

void setupModel() {
    defineBodyParams(bodyParams);
    const BodyParams& p = bodyParams;
    const double L0 = p.length[0], L1 = p.length[1], L2 = p.length[2], L5 = p.length[5];
    const double m0 = p.mass[0], m1 = p.mass[1], m2 = p.mass[2], m5 = p.mass[5];
    const double I0 = p.inertia[0], I1 = p.inertia[1], I2 = p.inertia[2];
    const double r0 = p.comRatio[0], r1 = p.comRatio[1], r2 = p.comRatio[2], r5 = p.comRatio[5];
    const double* mu = p.massFraction;

    double(&D)[modelLinkCount][modelLinkCount] = modelCoefficients.massMatrixCoeff;
    D[0][0] = I0 + L0 * L0 * (m0 * r0 * r0 + m0 + 2 * m1 + m2 + m5);
    D[0][1] = L0 * L1 * (m0 + m2 + m5 + m1 * (r1 + 1));
    D[0][2] = L0 * m2 * L2 * r2;
    D[0][3] = L0 * L1 * (m1 * (r1 - 1) - m0 - m5);
    D[0][4] = L0 * L0 * (m0 * (r0 - 1) - m5);
    D[1][1] = I1 + L1 * L1 * (m0 + m2 + m5 + m1 * (r1 * r1 + 1));
    D[1][2] = r2 * L1 * m2 * L2;
    D[1][3] = L1 * L1 * (m1 * (r1 - 1) - m0 - m5);
    D[1][4] = L0 * L1 * (m0 * (r0 - 1) - m5);
    D[2][2] = I2 + r2 * r2 * L2 * (m2 * L2);
    D[2][3] = 0.0;
    D[2][4] = 0.0;
    D[3][3] = I1 + L1 * L1 * (m0 + m5 + m1 * (1 - r1) * (1 - r1));
    D[3][4] = L0 * L1 * (m5 + m0 * (1 - r0));
    D[4][4] = I0 + L0 * L0 * (m5 + m0 * (1 - r0) * (1 - r0));
    for (int i = 0; i < modelLinkCount; ++i)
        for (int j = 0; j < i; ++j) D[i][j] = D[j][i];

    double* w = modelCoefficients.comWeight;
    w[0] = -(1 - r0) * mu[0] * L0;
    w[1] = -((1 - r1) * mu[1] + mu[0]) * L1;
    w[2] = mu[2] * L2 * r2;
    w[3] = -((1 - r1) * mu[3] + mu[4] + mu[5]) * L1;
    w[4] = -((1 - r0) * mu[4] + mu[5]) * L0;
    w[5] = mu[5] * L5 * r5;
}

void setupGeneratorConstants() {
    BodyParams p;
    defineBodyParams(p);
    const double L0 = p.length[0], L1 = p.length[1], L2 = p.length[2];
    const double r0 = p.comRatio[0], r1 = p.comRatio[1], r2 = p.comRatio[2];
    const double* mu = p.massFraction;
    const double c2 = r2 * L2;

    GeneratorConstants& c = generatorConstants;
    c.gravity = p.gravity;
    c.totalMass = p.totalMass;
    c.shankLength = L0;
    c.thighLength = L1;
    c.shankWeight = -(1 - r0) * mu[0] * L0;
    c.thighWeight = -((1 - r1) * mu[1] + mu[0]) * L1;
    c.torsoWeight = mu[2] * r2 * L2;
    c.torsoGain = p.mass[2] * c2 / (p.inertia[2] + p.mass[2] * c2 * c2);
}

LinkAngles toLinkAngles(const double q[linkCount]) {
    LinkAngles a;
    a.theta[0] = q[0];
    a.theta[1] = a.theta[0] + q[1];
    a.theta[2] = a.theta[1] + q[2];
    a.theta[3] = a.theta[1] + q[3] + pi;
    a.theta[4] = a.theta[3] + q[4];
    a.theta[5] = a.theta[4] + q[5] - pi;
    return a;
}

void toJointCoords(const LinkAngles& a, double q[linkCount]) {
    const double* t = a.theta;
    q[0] = t[0];
    q[1] = t[1] - t[0];
    q[2] = t[2] - t[1];
    q[3] = t[3] - pi - t[1];
    q[4] = t[4] - t[3];
    q[5] = t[5] + pi - t[4];
}

void toLinkRates(const double r[linkCount], double t[linkCount]) {
    t[0] = r[0];
    t[1] = t[0] + r[1];
    t[2] = t[1] + r[2];
    t[3] = t[1] + r[3];
    t[4] = t[3] + r[4];
    t[5] = t[4] + r[5];
}

void toJointRates(const double t[linkCount], double r[linkCount]) {
    r[0] = t[0];
    r[1] = t[1] - t[0];
    r[2] = t[2] - t[1];
    r[3] = t[3] - t[1];
    r[4] = t[4] - t[3];
    r[5] = t[5] - t[4];
}

} // namespace orva

#include "gait/momentum.h"

#include "gait/sin_cos.h"
#include "model/body_model.h"

namespace orva {

namespace {

// The index pairs whose mass-matrix entry carries cos(theta_i - theta_j); (2,3) and (2,4) are
// constants and the diagonal is Dii.
constexpr int pairCount = 8;
constexpr int cosinePairs[pairCount][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4},
                                           {1, 2}, {1, 3}, {1, 4}, {3, 4}};

// Sine and cosine of theta_i - theta_j for each pair, taken once for all three matrices.
struct PairAngles {
    double sine[pairCount], cosine[pairCount];
};

PairAngles pairAngles(const double theta[modelLinkCount]) {
    PairAngles a;
    for (int p = 0; p < pairCount; ++p) {
        const double angle = theta[cosinePairs[p][0]] - theta[cosinePairs[p][1]];
        sinCos(angle, a.sine[p], a.cosine[p]);
    }
    return a;
}

Mat5 zeroMatrix() {
    Mat5 m;
    for (double& e : m.m) e = 0.0;
    return m;
}

Mat5 massMatrixOf(const PairAngles& a) {
    const double(&D)[modelLinkCount][modelLinkCount] = modelCoefficients.massMatrixCoeff;
    Mat5 m;
    for (int i = 0; i < modelLinkCount; ++i) m(i, i) = D[i][i];
    for (int p = 0; p < pairCount; ++p) {
        const int i = cosinePairs[p][0], j = cosinePairs[p][1];
        m(i, j) = m(j, i) = D[i][j] * a.cosine[p];
    }
    m(2, 3) = m(3, 2) = D[2][3];
    m(2, 4) = m(4, 2) = D[2][4];
    return m;
}

Mat5 massMatrixRateOf(const PairAngles& a, const double rate[modelLinkCount]) {
    const double(&D)[modelLinkCount][modelLinkCount] = modelCoefficients.massMatrixCoeff;
    Mat5 m = zeroMatrix();
    for (int p = 0; p < pairCount; ++p) {
        const int i = cosinePairs[p][0], j = cosinePairs[p][1];
        m(i, j) = m(j, i) = -D[i][j] * a.sine[p] * (rate[i] - rate[j]);
    }
    return m;
}

Mat5 massMatrixAccelOf(const PairAngles& a, const double rate[modelLinkCount],
                       const double accel[modelLinkCount]) {
    const double(&D)[modelLinkCount][modelLinkCount] = modelCoefficients.massMatrixCoeff;
    Mat5 m = zeroMatrix();
    for (int p = 0; p < pairCount; ++p) {
        const int i = cosinePairs[p][0], j = cosinePairs[p][1];
        const double relRate = rate[i] - rate[j];
        m(i, j) = m(j, i) =
            -D[i][j] * (a.sine[p] * (accel[i] - accel[j]) + a.cosine[p] * (relRate * relRate));
    }
    return m;
}

// The 2x2 algebra of the leg Jacobians.
Mat2 inverse(const Mat2& a) {
    const double det = a(0, 0) * a(1, 1) - a(1, 0) * a(0, 1);
    const double r = 1 / det;
    const double n = -1 / det;
    return Mat2{{r * a(1, 1), n * a(0, 1), n * a(1, 0), r * a(0, 0)}};
}

Mat2 product(const Mat2& a, const Mat2& b) {
    Mat2 c;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) c(i, j) = a(i, 0) * b(0, j) + a(i, 1) * b(1, j);
    return c;
}

// d(hip - foot) / d(shank, thigh) for a leg, columns ordered shank, thigh; and its rate.
Mat2 legJacobian(double shank, double thigh) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const SineCosine a = sinCos(shank), b = sinCos(thigh);
    return Mat2{{-L0 * a.sin, -L1 * b.sin, L0 * a.cos, L1 * b.cos}};
}

Mat2 legJacobianRate(double shank, double thigh, double shankRate, double thighRate) {
    const double L0 = generatorConstants.shankLength, L1 = generatorConstants.thighLength;
    const SineCosine a = sinCos(shank), b = sinCos(thigh);
    return Mat2{{-L0 * a.cos * shankRate, -L1 * b.cos * thighRate, -L0 * a.sin * shankRate,
                 -L1 * b.sin * thighRate}};
}

} // namespace

Mat5 massMatrix(const double theta[modelLinkCount]) {
    return massMatrixOf(pairAngles(theta));
}

Mat5 massMatrixRate(const double theta[modelLinkCount], const double rate[modelLinkCount]) {
    return massMatrixRateOf(pairAngles(theta), rate);
}

Mat5 massMatrixAccel(const double theta[modelLinkCount], const double rate[modelLinkCount],
                     const double accel[modelLinkCount]) {
    return massMatrixAccelOf(pairAngles(theta), rate, accel);
}

void momentumWeights(const Mat5& m, double s[modelLinkCount]) {
    for (int i = 0; i < modelLinkCount; ++i) {
        s[i] = m(i, 0);
        for (int j = 1; j < modelLinkCount; ++j) s[i] = s[i] + m(i, j);
    }
}

double comAbscissa(const double theta[modelLinkCount]) {
    const GeneratorConstants& k = generatorConstants;
    double c[modelLinkCount], s[modelLinkCount];
    for (int i = 0; i < modelLinkCount; ++i) sinCos(theta[i], s[i], c[i]);
    return k.shankLength * c[0] + k.thighLength * c[1] + k.shankWeight * (c[0] + c[4]) +
           k.thighWeight * (c[1] + c[3]) + k.torsoWeight * c[2];
}

double comAbscissaRate(const double theta[modelLinkCount], const double rate[modelLinkCount]) {
    const GeneratorConstants& k = generatorConstants;
    double c[modelLinkCount], s[modelLinkCount];
    for (int i = 0; i < modelLinkCount; ++i) sinCos(theta[i], s[i], c[i]);
    return -(k.shankLength * s[0] * rate[0] + k.thighLength * s[1] * rate[1] +
             k.shankWeight * (s[0] * rate[0] + s[4] * rate[4]) +
             k.thighWeight * (s[1] * rate[1] + s[3] * rate[3]) + k.torsoWeight * s[2] * rate[2]);
}

double hipAccelForZeroMoment(const double theta[modelLinkCount], const double rate[modelLinkCount],
                             double ay, double fx, double fy, double G) {
    const GeneratorConstants& k = generatorConstants;
    const PairAngles angles = pairAngles(theta);
    double s[modelLinkCount], ds[modelLinkCount];
    momentumWeights(massMatrixOf(angles), s);
    momentumWeights(massMatrixRateOf(angles, rate), ds);

    const Mat2 Ps = inverse(legJacobian(theta[0], theta[1]));
    const Mat2 Pw = inverse(legJacobian(theta[4], theta[3]));
    const Mat2 Q = product(Ps, legJacobianRate(theta[0], theta[1], rate[0], rate[1]));
    const Mat2 Y = product(Pw, legJacobianRate(theta[4], theta[3], rate[4], rate[3]));

    const double Z =
        ds[2] * rate[2] + ds[1] * rate[1] + ds[0] * rate[0] + ds[4] * rate[4] + ds[3] * rate[3];
    double P = Z - s[0] * (Q(0, 0) * rate[0] + Q(0, 1) * rate[1]) -
               s[1] * (Q(1, 0) * rate[0] + Q(1, 1) * rate[1]) -
               s[4] * (Y(0, 0) * rate[4] + Y(0, 1) * rate[3]) -
               s[3] * (Y(1, 0) * rate[4] + Y(1, 1) * rate[3]);
    const double tt = -(halfPi - theta[2]) * (k.gravity + ay) * s[2] * k.torsoGain;
    const double Cx = s[0] * Ps(0, 0) + s[1] * Ps(1, 0) + s[4] * Pw(0, 0) + s[3] * Pw(1, 0);
    const double Cy = s[0] * Ps(0, 1) + s[1] * Ps(1, 1) + s[4] * Pw(0, 1) + s[3] * Pw(1, 1);
    P = P - s[4] * (Pw(0, 0) * fx + Pw(0, 1) * fy) - s[3] * (Pw(1, 0) * fx + Pw(1, 1) * fy);
    return (G - tt - Cy * ay - P) / (s[2] * k.torsoGain + Cx);
}

double torsoJerk(const double theta[modelLinkCount], const double rate[modelLinkCount],
                 const double accel[modelLinkCount], const double jerk[modelLinkCount]) {
    const GeneratorConstants& k = generatorConstants;
    const PairAngles angles = pairAngles(theta);
    double s[modelLinkCount], ds[modelLinkCount], dds[modelLinkCount];
    momentumWeights(massMatrixOf(angles), s);
    momentumWeights(massMatrixRateOf(angles, rate), ds);
    momentumWeights(massMatrixAccelOf(angles, rate, accel), dds);

    const double K =
        k.gravity * k.totalMass * comAbscissaRate(theta, rate) +
        2 * (ds[3] * accel[3] + ds[4] * accel[4] + ds[1] * accel[1] + ds[0] * accel[0]) +
        s[3] * jerk[3] + s[4] * jerk[4] + s[1] * jerk[1] + s[0] * jerk[0] + dds[4] * rate[4] +
        dds[3] * rate[3] + dds[1] * rate[1] + dds[0] * rate[0];
    return (K + 2 * ds[2] * accel[2] + dds[2] * rate[2]) * (-1 / s[2]);
}

} // namespace orva

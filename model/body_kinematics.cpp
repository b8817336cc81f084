#include "model/body_kinematics.h"

#include <cmath>

namespace orva {

namespace {

Point2 along(Point2 from, double length, double angle) {
    return {from.x + length * std::cos(angle), from.y + length * std::sin(angle)};
}

} // namespace

BodyPoints bodyPoints(const LinkAngles& a) {
    const double* L = bodyParams.length;
    const double* w = modelCoefficients.comWeight;
    BodyPoints p;
    p.stanceKnee = along({0, 0}, L[0], a.theta[0]);
    p.hip = along(p.stanceKnee, L[1], a.theta[1]);
    p.torsoTop = along(p.hip, L[2], a.theta[2]);
    p.swingKnee = along(p.hip, -L[3], a.theta[3]);
    p.swingAnkle = along(p.swingKnee, -L[4], a.theta[4]);
    p.toe = along(p.swingAnkle, L[5], a.theta[5]);
    p.com = p.hip;
    for (int i = 0; i < linkCount; ++i) p.com = along(p.com, w[i], a.theta[i]);
    return p;
}

} // namespace orva

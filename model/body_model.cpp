#include "model/body_model.h"

namespace orva {

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

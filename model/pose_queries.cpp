#include "model/pose_queries.h"

#include "model/sine_table.h"

namespace orva {

double swingFootReach(const RobotState& state) {
    const LinkAngles a = toLinkAngles(state.q);
    const double* L = bodyParams.length;
    return L[0] * tableCos(a.theta[0]) + L[1] * tableCos(a.theta[1]) - L[3] * tableCos(a.theta[3]) -
           L[4] * tableCos(a.theta[4]);
}

void centreOfMass(const RobotState& state, double out[2]) {
    const LinkAngles a = toLinkAngles(state.q);
    const double* L = bodyParams.length;
    const double* w = modelCoefficients.comWeight;
    double x = L[0] * tableCos(a.theta[0]) + L[1] * tableCos(a.theta[1]);
    double y = L[0] * tableSin(a.theta[0]) + L[1] * tableSin(a.theta[1]);
    for (int i = 0; i < linkCount; ++i) {
        x += w[i] * tableCos(a.theta[i]);
        y += w[i] * tableSin(a.theta[i]);
    }
    out[0] = x;
    out[1] = y;
}

} // namespace orva

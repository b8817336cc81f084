#include "model/body_kinematics.h"
#include "model/body_model.h"
#include "model/core_setup.h"
#include "model/pose_queries.h"

#include <gtest/gtest.h>

using namespace orva;

namespace {

// The derived body figures against values worked out by hand from the masses, lengths and
// inertias: centre-of-mass weights (through the mass fractions), the mass matrix (D02, D12
// and D22 are exact) and the generator's own weights and torso gain.
TEST(BodyModel, DerivedCoefficientsMatchHandWorkedValues) {
    const double* w = modelCoefficients.comWeight;
    const double weight[linkCount] = {-0.0313686, -0.0833912, 0.113744,
                                      -0.0994575, -0.047435,  0.00535545};
    for (int i = 0; i < linkCount; ++i) EXPECT_NEAR(w[i], weight[i], 5e-7) << i;
    EXPECT_NEAR(bodyParams.totalMass, 31.65, 1e-12);

    const double upper[5][5] = {{5.85069, 5.22143, 1.62, -1.41652, -0.675593},
                                {0, 5.10674, 1.62, -1.41652, -0.675593},
                                {0, 0, 1.41, 0, 0},
                                {0, 0, 0, 1.30184, 0.675593},
                                {0, 0, 0, 0, 0.563927}};
    for (int i = 0; i < modelLinkCount; ++i)
        for (int j = i; j < modelLinkCount; ++j)
            EXPECT_NEAR(modelCoefficients.massMatrixCoeff[i][j], upper[i][j], 5e-6) << i << j;

    const GeneratorConstants& c = generatorConstants;
    EXPECT_EQ(c.shankWeight, w[0]);
    EXPECT_EQ(c.thighWeight, w[1]);
    EXPECT_NEAR(c.torsoWeight, w[2], 1e-15);
    EXPECT_NEAR(c.torsoGain, 2.55319, 5e-6);
}

TEST(JointConversions, RoundTripAndZeroPose) {
    const double zero[linkCount] = {0, 0, 0, 0, 0, 0};
    const double expected[linkCount] = {0, 0, 0, pi, pi, 0};
    const LinkAngles a = toLinkAngles(zero);
    for (int i = 0; i < linkCount; ++i) EXPECT_DOUBLE_EQ(a.theta[i], expected[i]);

    const double q[linkCount] = {1.0, 1.0, 0.0, 4.0, 5.8, 1.0};
    const double rates[linkCount] = {0.3, -1.2, 2.5, 0.7, -0.4, 9.0};
    double back[linkCount], links[linkCount], ratesBack[linkCount];
    toJointCoords(toLinkAngles(q), back);
    toLinkRates(rates, links);
    EXPECT_DOUBLE_EQ(links[3], 0.3 - 1.2 + 0.7); // no pi term for rates
    toJointRates(links, ratesBack);
    for (int i = 0; i < linkCount; ++i) {
        EXPECT_NEAR(back[i], q[i], 1e-14);
        EXPECT_NEAR(ratesBack[i], rates[i], 1e-14);
    }
}

// Upright with the swing leg hanging, the joints stack up the links' lengths; at any pose the
// swing ankle and the centre of mass are the pose queries' (within their sine table's error).
TEST(BodyKinematics, JointsFollowTheLinksAndAgreeWithThePoseQueries) {
    setupCore();
    const double L = limbLinkLength;
    const BodyPoints up = bodyPoints(LinkAngles{{halfPi, halfPi, halfPi, halfPi, halfPi, 0}});
    EXPECT_NEAR(up.stanceKnee.y, L, 1e-15);
    EXPECT_NEAR(up.hip.y, 2 * L, 1e-15);
    EXPECT_NEAR(up.torsoTop.y, 3 * L, 1e-15);
    EXPECT_NEAR(up.swingKnee.y, L, 1e-15);
    EXPECT_NEAR(up.swingAnkle.y, 0, 1e-15);
    EXPECT_NEAR(up.toe.x, bodyParams.length[5], 1e-15);
    for (const double q0 : {1.2, 1.5, 1.9}) {
        const RobotState state{{q0, 0.4, -0.3, -2.6, -0.5, 0.9}, {}};
        const BodyPoints p = bodyPoints(toLinkAngles(state.q));
        double com[2];
        centreOfMass(state, com);
        EXPECT_NEAR(p.swingAnkle.x, swingFootReach(state), 2e-5) << q0;
        EXPECT_NEAR(p.com.x, com[0], 2e-5) << q0;
        EXPECT_NEAR(p.com.y, com[1], 2e-5) << q0;
    }
}

} // namespace

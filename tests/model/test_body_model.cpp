#include "model/body_model.h"
#include "model/gait_table.h"

#include <gtest/gtest.h>

using namespace orva;

namespace {

// The derived body figures against their tabulated values: mass fractions, centre-of-mass
// weights, the mass matrix, and the generator's own copies of the weights.
TEST(BodyModel, DerivedCoefficientsMatchTabulatedValues) {
    setupModel();
    setupGeneratorConstants();
    const double* w = modelCoefficients.comWeight;
    const double fraction[linkCount] = {0.112796, 0.116588, 0.505529, 0.116588, 0.112796, 0.035703};
    const double weight[linkCount] = {-0.0313686, -0.0833912, 0.113744,
                                      -0.0994575, -0.047435,  0.00535545};
    for (int i = 0; i < linkCount; ++i) {
        EXPECT_NEAR(bodyParams.massFraction[i], fraction[i], 5e-7) << "link " << i;
        EXPECT_NEAR(w[i], weight[i], 5e-7) << "w" << i;
    }
    EXPECT_NEAR(bodyParams.totalMass, 31.65, 1e-12);

    const double(&D)[modelLinkCount][modelLinkCount] = modelCoefficients.massMatrixCoeff;
    struct Entry {
        int i, j;
        double value, tolerance;
    };
    const Entry table[] = {
        {0, 0, 5.85069, 5e-6},  {0, 1, 5.22143, 5e-6},   {0, 2, 1.62, 5e-3},
        {0, 3, -1.41652, 5e-6}, {0, 4, -0.675593, 5e-7}, {1, 1, 5.10674, 5e-6},
        {1, 2, 1.62, 5e-3},     {1, 3, -1.41652, 5e-6},  {1, 4, -0.675593, 5e-7},
        {2, 2, 1.41, 5e-3},     {3, 3, 1.30184, 5e-6},   {3, 4, 0.675593, 5e-7},
        {4, 4, 0.563927, 5e-7}, {2, 3, 0.0, 0.0},        {2, 4, 0.0, 0.0},
    };
    for (const Entry& e : table) {
        EXPECT_NEAR(D[e.i][e.j], e.value, e.tolerance) << "D" << e.i << e.j;
        EXPECT_EQ(D[e.i][e.j], D[e.j][e.i]) << "symmetry D" << e.i << e.j;
    }

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

TEST(GaitTableRows, FilledValues) {
    fillGaitTable();
    const GaitEntry& r = gaitTable.rows[13];
    const double expected[12] = {0.1, 0.1, 0, 0, 0.23, 0.16, 0.86, 0.05, 0, 0.87, -0.1, -4};
    const double got[12] = {r.backStep,   r.foreStep,     r.backDrop,       r.foreRise,
                            r.meanSpeed,  r.clearance,    r.hipHeightStart, r.hipVyStart,
                            r.hipAyStart, r.hipHeightEnd, r.hipVyEnd,       r.hipAyEnd};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(got[i], expected[i]) << "field " << i;
    for (const GaitEntry& row : gaitTable.rows) EXPECT_EQ(row.backStep, row.foreStep);
    EXPECT_EQ(gaitTable.rows[6].meanSpeed, 0.28);
    EXPECT_EQ(gaitTable.rows[15].clearance, 0.26);
}

} // namespace

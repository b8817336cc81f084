#include "gait/let_loose.h"
#include "gait/momentum.h"
#include "gait/step_generator.h"
#include "model/gait_table.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace orva;

namespace {

constexpr FreeJoints allFree[3] = {FreeJoints::ankle, FreeJoints::torso, FreeJoints::both};

TrajectorySegment rowStep(int mode) {
    TrajectorySegment seg{};
    EXPECT_TRUE(generateStep(gaitTable.rows[mode], seg)) << mode;
    return seg;
}

double jointRate(const double rate[modelLinkCount], int k) {
    const int below[modelLinkCount] = {-1, 0, 1, 1, 3};
    return rate[k] - (below[k] < 0 ? 0 : rate[below[k]]);
}

double energy(const LinkMotion& m) {
    return kineticEnergy(m) + potentialEnergy(m.theta);
}

// The free joints do no work: the work of the driven ones (Simpson's rule over the let-loose
// motion) is the change of kinetic and potential energy, and the free torques vanish.
TEST(LetLoose, DrivenJointsWorkIsTheChangeOfEnergy) {
    for (int mode : {3, 12}) {
        const TrajectorySegment seg = rowStep(mode);
        for (FreeJoints free : allFree) {
            const int n = 2000;
            LooseState s = looseStart;
            double work = 0, start = 0, scale = 0;
            for (int i = 0; i <= n; ++i) {
                advanceLoose(seg, free, s, seg.duration * i / n);
                const LinkMotion m = looseMotion(seg, free, s);
                const DynamicsSample d = inverseDynamics(m);
                double power = 0;
                for (int k = 0; k < modelLinkCount; ++k) power += d.tau[k] * jointRate(m.rate, k);
                work += (i == 0 || i == n ? 1 : i % 2 ? 4 : 2) * power * seg.duration / (3 * n);
                if (i == 0) start = energy(m);
                scale = std::fmax(scale, kineticEnergy(m));
                EXPECT_NEAR(free == FreeJoints::torso ? 0 : d.tau[0], 0, 1e-9) << mode;
                EXPECT_NEAR(free == FreeJoints::ankle ? 0 : d.tau[2], 0, 1e-9) << mode;
                if (i == n) {
                    EXPECT_NEAR(work, energy(m) - start, 1e-8 * scale) << mode;
                }
            }
        }
    }
}

// At the step's start the let-loose state is the plan's; a free coordinate's acceleration then
// departs from the plan's against the torque it lacks, over its effective inertia from the mass
// matrix: the sum of all its entries for q0 (every link turns with it), its torso entry for q2.
TEST(LetLoose, StartsAwayFromThePlanAgainstTheMissingTorque) {
    for (int mode : {0, 3, 8, 15}) {
        const TrajectorySegment seg = rowStep(mode);
        const LinkMotion plan = linkMotionAt(seg, 0);
        const DynamicsSample d = inverseDynamics(plan);
        const Mat5 M = massMatrix(plan.theta);
        double all = 0, torsoColumn = 0;
        for (int i = 0; i < modelLinkCount; ++i) {
            torsoColumn += M(i, 2);
            for (int j = 0; j < modelLinkCount; ++j) all += M(i, j);
        }
        const double ankleAlone = -d.tau[0] / all, torsoAlone = -d.tau[2] / M(2, 2);
        const double det = all * M(2, 2) - torsoColumn * torsoColumn;
        const double ankleBoth = (-d.tau[0] * M(2, 2) + torsoColumn * d.tau[2]) / det;
        const double torsoBoth = (-d.tau[2] * all + torsoColumn * d.tau[0]) / det;
        const double expected[3][2] = {{ankleAlone, 0}, {0, torsoAlone}, {ankleBoth, torsoBoth}};
        for (int f = 0; f < 3; ++f) {
            const LinkMotion m = looseMotion(seg, allFree[f], looseStart);
            const double ankle = m.accel[0] - plan.accel[0];
            const double torso = m.accel[2] - m.accel[1] - (plan.accel[2] - plan.accel[1]);
            EXPECT_NEAR(ankle, expected[f][0], 1e-9 * std::fabs(ankleAlone) + 1e-12) << mode;
            EXPECT_NEAR(torso, expected[f][1], 1e-9 * std::fabs(torsoAlone) + 1e-12) << mode;
            for (int i = 0; i < modelLinkCount; ++i) EXPECT_EQ(m.theta[i], plan.theta[i]);
        }
        EXPECT_LT(ankleAlone * d.tau[0], 0) << mode;
        EXPECT_LT(torsoAlone * d.tau[2], 0) << mode;
    }
}

// Fourth order: halving the step divides the error at the step's end by about 16, and at the
// chosen step the result is within 1e-9 rad of a converged run (a sixteenth of the step).
TEST(LetLoose, ConvergesAtFourthOrderToTheNanoradian) {
    for (int mode : {3, 12}) {
        const TrajectorySegment seg = rowStep(mode);
        for (FreeJoints free : allFree) {
            const int j = free == FreeJoints::torso ? 1 : 0;
            const auto endAngle = [&](double step) {
                const LooseOutcome o = letLoose(seg, free, step);
                return j ? o.torsoDrift : o.ankleDrift;
            };
            const double h = looseStep(free), converged = endAngle(h / 16);
            const double coarse = endAngle(4 * h) - converged, fine = endAngle(2 * h) - converged;
            EXPECT_NEAR(endAngle(h), converged, 1e-9) << mode;
            EXPECT_GT(std::fabs(coarse / fine), 12) << mode;
            EXPECT_LT(std::fabs(coarse / fine), 20) << mode;
        }
    }
}

// With the torso free the legs keep to the plan; with the ankle free of mode 3 ORVA falls
// behind and its swing foot lands late, of mode 4 early: at the contact the swing ankle is on
// the ground, and it was above it since mid-step.
TEST(LetLoose, OffsetsAndEarlyContact) {
    const LooseOutcome torso = letLoose(rowStep(3), FreeJoints::torso);
    EXPECT_EQ(torso.ankleDrift, 0);
    EXPECT_EQ(torso.hipOffset[0], 0);
    EXPECT_EQ(torso.swingAnkleOffset[1], 0);
    EXPECT_TRUE(std::isnan(torso.earlyContact));
    const LooseOutcome late = letLoose(rowStep(3), FreeJoints::ankle);
    EXPECT_LT(late.hipOffset[0], -0.03);
    EXPECT_GT(late.swingAnkleOffset[1], 0.01);
    EXPECT_TRUE(std::isnan(late.earlyContact));

    const TrajectorySegment seg = rowStep(4);
    const LooseOutcome early = letLoose(seg, FreeJoints::ankle);
    ASSERT_GT(early.earlyContact, 0.5 * seg.duration);
    ASSERT_LT(early.earlyContact, seg.duration);
    LooseState s = looseStart;
    for (int i = 0; i <= 10; ++i) {
        advanceLoose(seg, FreeJoints::ankle, s,
                     seg.duration * 0.5 + (early.earlyContact - seg.duration * 0.5) * i / 10);
        const double height = motionPoints(looseMotion(seg, FreeJoints::ankle, s)).swingAnkle.y;
        EXPECT_TRUE(i < 10 ? height > 0 : std::fabs(height) < 1e-9) << i << " " << height;
    }
}

} // namespace

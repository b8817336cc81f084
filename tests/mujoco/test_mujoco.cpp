#include "gait/dynamics.h"
#include "gait/let_loose.h"
#include "gait/step_generator.h"
#include "model/body_model.h"
#include "model/gait_table.h"
#include "tools/mjcf_command.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <mujoco/mujoco.h>
#include <string>
#include <utility>

using namespace orva;

namespace {

// The model text compiled by MuJoCo from memory; nullptr (and a failure) when it refuses it.
struct Loaded {
    mjModel* model = nullptr;
    mjData* data = nullptr;
    ~Loaded() {
        if (data) mj_deleteData(data);
        if (model) mj_deleteModel(model);
    }
};

void load(const std::string& text, Loaded& out) {
    auto vfs = std::make_unique<mjVFS>();
    mj_defaultVFS(vfs.get());
    ASSERT_EQ(mj_makeEmptyFileVFS(vfs.get(), "orva.xml", static_cast<int>(text.size())), 0);
    std::memcpy(vfs->filedata[mj_findFileVFS(vfs.get(), "orva.xml")], text.data(), text.size());
    char error[1000] = "";
    out.model = mj_loadXML("orva.xml", vfs.get(), error, sizeof error);
    mj_deleteVFS(vfs.get());
    ASSERT_NE(out.model, nullptr) << error;
    out.data = mj_makeData(out.model);
}

int body(const mjModel* m, const char* name) {
    const int id = mj_name2id(m, mjOBJ_BODY, name);
    EXPECT_GE(id, 0) << name;
    return id;
}

// Each body's mass, centre of mass (along its link, from the joint it hangs on or stands on)
// and inertia are the body model's as the dynamics module takes them, in both models; the
// walker's feet stand on the floor over the extent the program draws.
TEST(Mujoco, ModelsCarryTheBodyModelsNumbers) {
    Loaded rooted, walker;
    load(mjcfModel(true), rooted);
    load(mjcfModel(false), walker);
    const BodyParams& p = bodyParams;
    const char* rootedNames[dynamicsBodyCount] = {"stance_shank", "stance_thigh", "torso",
                                                  "swing_thigh",  "swing_shank",  "swing_foot"};
    const char* walkerNames[dynamicsBodyCount] = {"shank_left",  "thigh_left",  "torso",
                                                  "thigh_right", "shank_right", "foot_right"};
    // Centres of mass up the link from its lower joint, by the body model's own figures.
    const double up[dynamicsBodyCount] = {p.comDist[0], p.comDist[1], p.comDist[2],
                                          p.comDist[1], p.comDist[0], 0};
    for (int k = 0; k < dynamicsBodyCount; ++k) {
        for (const Loaded* l : {&rooted, &walker}) {
            const mjModel* m = l->model;
            const bool isRooted = l == &rooted;
            const int b = body(m, (isRooted ? rootedNames : walkerNames)[k]);
            // The stance leg's links stand on their lower joint; the others hang from the upper.
            const bool standing = isRooted ? k <= 2 : k == 2;
            const double length = k == 5 ? 0 : p.length[k];
            EXPECT_NEAR(m->body_mass[b], p.mass[k], 1e-15) << k;
            EXPECT_NEAR(m->body_ipos[3 * b + 2], standing ? up[k] : up[k] - length, 1e-12) << k;
            EXPECT_EQ(m->body_ipos[3 * b], 0);
            const double inertia = k < 5 ? p.inertia[k] : isRooted ? 0 : p.inertia[5];
            EXPECT_NEAR(m->body_inertia[3 * b + 1], inertia, 1e-15) << k;
        }
    }
    double total = 0;
    for (int b = 0; b < walker.model->nbody; ++b) total += walker.model->body_mass[b];
    // The walker has two feet of their own mass, the dynamics only the swing one.
    EXPECT_NEAR(total, p.totalMass + p.mass[5], 1e-12);
    mj_forward(walker.model, walker.data);
    const int sole = mj_name2id(walker.model, mjOBJ_GEOM, "sole_left");
    ASSERT_GE(sole, 0);
    const double* at = walker.data->geom_xpos + 3 * sole;
    const double* size = walker.model->geom_size + 3 * sole;
    EXPECT_NEAR(at[2] - size[2], 0, 1e-15);
    EXPECT_NEAR(at[0] - size[0], -0.19 * limbLinkLength, 1e-12);
    EXPECT_NEAR(at[0] + size[0], 0.477 * limbLinkLength, 1e-12);
    EXPECT_EQ(walker.model->nu, 6);
}

// The walker's joints from link angles, the stance leg the left one, its foot flat and the swing
// foot level (as the README tells), and the stance ankle at x: the feet and the hip land where
// the plan puts them.
void walkerPose(const mjModel* m, mjData* d, const double theta[modelLinkCount], double x) {
    LinkMotion motion{};
    std::copy(theta, theta + modelLinkCount, motion.theta);
    const BodyPoints p = motionPoints(motion);
    const std::pair<const char*, double> joints[] = {
        {"rootx", x + p.hip.x},
        {"rootz", p.hip.y - bodyParams.length[0] - bodyParams.length[1]},
        {"rooty", theta[2] - halfPi},
        {"hip_left", theta[1] - theta[2]},
        {"knee_left", theta[0] - theta[1]},
        {"ankle_left", halfPi - theta[0]},
        {"hip_right", theta[3] - theta[2]},
        {"knee_right", theta[4] - theta[3]},
        {"ankle_right", halfPi - theta[4]}};
    for (const auto& [name, value] : joints)
        d->qpos[m->jnt_qposadr[mj_name2id(m, mjOBJ_JOINT, name)]] = value;
    mj_kinematics(m, d);
}

// MuJoCo's inverse dynamics of the stance-rooted chain, moved as the plan moves, gives the
// dynamics module's joint torques; both models put the swing ankle where the plan does.
TEST(Mujoco, InverseDynamicsAgreesAlongSteps) {
    Loaded rooted, walker;
    load(mjcfModel(true), rooted);
    load(mjcfModel(false), walker);
    const mjModel* w = walker.model;
    const int swingFoot = body(rooted.model, "swing_foot"), left = body(w, "foot_left"),
              right = body(w, "foot_right");
    ASSERT_EQ(rooted.model->nv, modelLinkCount);
    const int steps[][2] = {{0, 0}, {3, 3}, {12, 12}, {15, 15}, {15, 0}, {6, 2}};
    for (const auto& step : steps) {
        TrajectorySegment seg{};
        ASSERT_TRUE(generateStep(transitionEntry(step[0], step[1]), seg));
        for (int i = 0; i <= 20; ++i) {
            const double t = seg.duration * i / 20;
            const LinkMotion m = linkMotionAt(seg, t);
            const DynamicsSample d = inverseDynamics(m);
            mjData* data = rooted.data;
            const double* series[3] = {m.theta, m.rate, m.accel};
            mjtNum* targets[3] = {data->qpos, data->qvel, data->qacc};
            for (int s = 0; s < 3; ++s) {
                const double* x = series[s];
                const double joint[modelLinkCount] = {x[0], x[1] - x[0], x[2] - x[1], x[3] - x[1],
                                                      x[4] - x[3]};
                for (int k = 0; k < modelLinkCount; ++k) targets[s][k] = joint[k];
            }
            mj_inverse(rooted.model, data);
            double scale = 0;
            for (double tau : d.tau) scale = std::fmax(scale, std::fabs(tau));
            for (int k = 0; k < modelLinkCount; ++k)
                EXPECT_NEAR(data->qfrc_inverse[k], d.tau[k], 1e-6 * scale)
                    << step[0] << ">" << step[1] << " t " << t << " joint " << k;
            const BodyPoints p = motionPoints(m);
            walkerPose(w, walker.data, m.theta, 1.5);
            const double* stance = walker.data->xpos + 3 * left;
            const double* ankles[2] = {data->xpos + 3 * swingFoot, walker.data->xpos + 3 * right};
            EXPECT_NEAR(stance[0], 1.5, 1e-12);
            EXPECT_NEAR(stance[2], 0, 1e-12);
            for (const double* ankle : ankles) {
                EXPECT_NEAR(ankle[0] - (ankle == ankles[1] ? 1.5 : 0), p.swingAnkle.x, 1e-12);
                EXPECT_NEAR(ankle[2], p.swingAnkle.y, 1e-12);
            }
        }
    }
}

} // namespace

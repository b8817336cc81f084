#include "tools/drift_command.h"

#include "gait/let_loose.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "tools/cli.h"
#include "tools/picture_options.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace orva;

namespace {

const char* const driftHelp =
    "usage: orva-gait drift --mode M [--transition-to N] [--free ankle|torso|both] [--samples K]\n"
    "                       [--summary]\n"
    "       orva-gait drift --gait GAIT [--free ankle|torso|both] [--samples K] [--summary]\n"
    "\n"
    "The step the gait generator makes from gait-table row M (0..15) let loose: the joints the\n"
    "generator calls free get no torque and follow the dynamics, from the plan's angles and\n"
    "rates at the step's start; the other joints keep to the plan. Integrated with the classic\n"
    "fourth-order Runge-Kutta method in steps of at most 2 ms (ankle), 1 ms (torso) or 0.5 ms\n"
    "(both), accurate to 1e-9 rad. CSV with the header\n"
    "  t,theta0,planTheta0,theta2,planTheta2,hipX,hipY,planHipX,planHipY,swingAnkleX,\n"
    "  swingAnkleY,planSwingAnkleX,planSwingAnkleY\n"
    "(one line) then K lines at t = k T / (K - 1), k = 0..K-1, over the step's duration T: the\n"
    "stance shank's and the torso's absolute angles in rad (counter-clockwise from forward),\n"
    "let loose and planned, and the hip and the swing ankle in m from the stance ankle, x\n"
    "forward and y up, let loose and planned. 17 significant digits.\n"
    "\n"
    "  --mode M            gait mode 0..15\n"
    "  --gait GAIT         the step of any gait instead of a row (orva-gait walk --help);\n"
    "                      the summary's mode and to are its base row\n"
    "  --transition-to N   the gait-change step instead: row M landing at row N's backStep\n"
    "  --free JOINTS       ankle (the stance ankle, the default), torso (against the stance\n"
    "                      thigh) or both\n"
    "  --samples K         samples, 2..1000000 (default 101)\n"
    "  --summary           one JSON object instead: mode, to, free, duration, ankleDrift and\n"
    "                      torsoDrift (the stance ankle's and the torso's joint angles let\n"
    "                      loose minus planned at T, rad; 0 for a joint not free), hipOffsetX,\n"
    "                      hipOffsetY, swingAnkleOffsetX, swingAnkleOffsetY (let loose minus\n"
    "                      planned at T, m), earlyContact (the first time after T/2 at which\n"
    "                      the let-loose swing ankle reaches the ground before T, s, or null)\n"
    "  --help              this text\n"
    "\n"
    "Exit status: 0; 1 when the step is unusable or the output cannot be written in full;\n"
    "2 for bad arguments.\n";

// Usage errors name the command as the tool: "orva-gait drift: ... (try 'orva-gait drift --help')".
const char* const driftTool = "orva-gait drift";

std::string driftCsv(const TrajectorySegment& seg, FreeJoints free, int count) {
    std::string out = "t,theta0,planTheta0,theta2,planTheta2,hipX,hipY,planHipX,planHipY,"
                      "swingAnkleX,swingAnkleY,planSwingAnkleX,planSwingAnkleY\n";
    std::vector<LooseSample> samples(count);
    sampleLoose(seg, free, count, samples.data());
    for (const LooseSample& k : samples) {
        const BodyPoints &p = k.loosePoints, &q = k.planPoints;
        appendNumber(out, k.t);
        for (double x : {k.loose.theta[0], k.plan.theta[0], k.loose.theta[2], k.plan.theta[2],
                         p.hip.x, p.hip.y, q.hip.x, q.hip.y, p.swingAnkle.x, p.swingAnkle.y,
                         q.swingAnkle.x, q.swingAnkle.y}) {
            out += ',';
            appendNumber(out, x);
        }
        out += '\n';
    }
    return out;
}

std::string summaryJson(int from, int to, const TrajectorySegment& seg, FreeJoints free) {
    const LooseOutcome o = letLoose(seg, free);
    std::string out = "{\"mode\":" + std::to_string(from) + ",\"to\":" + std::to_string(to) +
                      ",\"free\":\"" + freeJointsNames[static_cast<int>(free)] + "\"";
    appendJson(out, "duration", seg.duration);
    appendJson(out, "ankleDrift", o.ankleDrift);
    appendJson(out, "torsoDrift", o.torsoDrift);
    appendJson(out, "hipOffsetX", o.hipOffset[0]);
    appendJson(out, "hipOffsetY", o.hipOffset[1]);
    appendJson(out, "swingAnkleOffsetX", o.swingAnkleOffset[0]);
    appendJson(out, "swingAnkleOffsetY", o.swingAnkleOffset[1]);
    appendJson(out, "earlyContact", o.earlyContact);
    return out + "}\n";
}

} // namespace

int runDriftCommand(int argc, char** argv) {
    Options options;
    const std::string error = parseOptions(argc, argv,
                                           {{"--mode", true, false},
                                            {"--transition-to", true, false},
                                            {"--gait", true, false},
                                            {"--free", true, false},
                                            {"--samples", true, false},
                                            {"--summary", false, false}},
                                           options);
    if (!error.empty()) return usageError(driftTool, error);
    if (options.help) return writeOutput("drift", "", driftHelp);

    setupCore();
    StepChoice choice;
    if (const std::string problem = chooseStep(options, choice); !problem.empty())
        return usageError(driftTool, problem);
    FreeJoints free;
    if (const std::string problem = chooseFreeJoints(options, free); !problem.empty())
        return usageError(driftTool, problem);
    long count = 0;
    if (const std::string problem = chooseSampleCount(options, count); !problem.empty())
        return usageError(driftTool, problem);
    const bool summary = optionValue(options, "--summary") != nullptr;

    TrajectorySegment seg{};
    StepStats stats{};
    if (!generateStep(choice.entry, seg, &stats)) return unusableStep("drift", choice, stats);
    const std::string text = summary ? summaryJson(choice.from, choice.to, seg, free)
                                     : driftCsv(seg, free, static_cast<int>(count));
    return writeOutput("drift", "", text);
}

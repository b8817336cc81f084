#include "tools/dynamics_command.h"

#include "gait/dynamics.h"
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "tools/cli.h"
#include "tools/picture_options.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace orva;

namespace {

// Usage errors name the command as the tool: "orva-gait dynamics: ... (try 'orva-gait dynamics
// --help')".
const char* const dynamicsTool = "orva-gait dynamics";

} // namespace

namespace {

// The summary's sample count and ORVA's mass come from the core.
std::string dynamicsHelp() {
    char mass[32];
    std::snprintf(mass, sizeof mass, "%g", bodyParams.totalMass);
    return "usage: orva-gait dynamics --mode M [--transition-to N] [--samples K] [--summary]\n"
           "       orva-gait dynamics --gait GAIT [--samples K] [--summary]\n"
           "\n"
           "The inverse dynamics of the step the gait generator makes from gait-table row M "
           "(0..15):\n"
           "what the joints and the ground must supply for its motion, the stance foot on the "
           "ground,\n"
           "the swing foot a point mass at the swing ankle. CSV with the header\n"
           "  t,tau0,tau1,tau2,tau3,tau4,fx,fy,cop,friction,power\n"
           "then K lines at t = k T / (K - 1), k = 0..K-1, over the step's duration T: joint "
           "torques\n"
           "in N m (tau0 the moment the ground applies at the stance ankle, zero for a free "
           "pivot;\n"
           "tau1 stance knee; tau2 torso against the stance thigh; tau3 swing hip; tau4 swing "
           "knee),\n"
           "the ground force on the stance foot in N, the centre of pressure in m ahead of the "
           "stance\n"
           "ankle, the friction needed |fx| / fy, and the joints' power in W. cop and friction "
           "are\n"
           "empty where fy <= 0: there the ground would have to pull. 17 significant digits.\n"
           "At both ends of a step tau0 is not zero but m5 g (x_swingAnkle - x_hip): the "
           "generator's\n"
           "centre of mass leaves the swing foot's mass out of the swing leg's terms.\n"
           "\n"
           "  --mode M            gait mode 0..15\n"
           "  --gait GAIT         the step of any gait instead of a row (orva-gait walk --help);\n"
           "                      the summary's mode and to are its base row\n"
           "  --transition-to N   the gait-change step instead: row M landing at row N's backStep\n"
           "  --samples K         samples, 2..1000000 (default 101)\n"
           "  --summary           one JSON object instead: mode, to, usable, duration, "
           "peakTorque,\n"
           "                      peakAnkleMoment (max |tau0|), copMin, copMax, fyMin, "
           "frictionMax,\n"
           "                      liftOff (share of samples with fy <= 0), all over " +
           std::to_string(summarySampleCount) +
           " samples\n"
           "                      (cop and friction where fy > 0, null where there are none);\n"
           "                      positiveWork (J, the joints' positive work) and costOfTransport\n"
           "                      (positiveWork / (M g (backStep + foreStep)), M = " +
           mass +
           " kg)\n"
           "  --help              this text\n"
           "\n"
           "Exit status: 0; 1 when the step is unusable or the output cannot be written in full;\n"
           "2 for bad arguments.\n";
}

std::string dynamicsCsv(const TrajectorySegment& seg, int count) {
    std::vector<DynamicsSample> samples(count);
    sampleDynamics(seg, count, samples.data());
    std::string out = "t,tau0,tau1,tau2,tau3,tau4,fx,fy,cop,friction,power\n";
    for (int k = 0; k < count; ++k) {
        const DynamicsSample& d = samples[k];
        appendNumber(out, seg.duration * k / (count - 1));
        for (double x : {d.tau[0], d.tau[1], d.tau[2], d.tau[3], d.tau[4], d.fx, d.fy, d.cop,
                         d.friction, d.power}) {
            out += ',';
            appendNumber(out, x);
        }
        out += '\n';
    }
    return out;
}

std::string summaryJson(int from, int to, const TrajectorySegment& seg, const GaitEntry& entry) {
    const DynamicsSummary s = summarizeDynamics(seg, stepLength(entry));
    std::string out =
        "{\"mode\":" + std::to_string(from) + ",\"to\":" + std::to_string(to) + ",\"usable\":true";
    appendJson(out, "duration", seg.duration);
    appendJson(out, "peakTorque", s.peakTorque);
    appendJson(out, "peakAnkleMoment", s.peakAnkleMoment);
    appendJson(out, "copMin", s.copMin);
    appendJson(out, "copMax", s.copMax);
    appendJson(out, "fyMin", s.fyMin);
    appendJson(out, "frictionMax", s.frictionMax);
    appendJson(out, "liftOff", s.liftOff);
    appendJson(out, "positiveWork", s.positiveWork);
    appendJson(out, "costOfTransport", s.costOfTransport);
    return out + "}\n";
}

} // namespace

int runDynamicsCommand(int argc, char** argv) {
    Options options;
    const std::string error = parseOptions(argc, argv,
                                           {{"--mode", true, false},
                                            {"--transition-to", true, false},
                                            {"--gait", true, false},
                                            {"--samples", true, false},
                                            {"--summary", false, false}},
                                           options);
    if (!error.empty()) return usageError(dynamicsTool, error);
    if (options.help) return writeOutput("dynamics", "", dynamicsHelp());

    setupCore();
    StepChoice choice;
    if (const std::string problem = chooseStep(options, choice); !problem.empty())
        return usageError(dynamicsTool, problem);
    long count = 0;
    if (const std::string problem = chooseSampleCount(options, count); !problem.empty())
        return usageError(dynamicsTool, problem);
    const bool summary = optionValue(options, "--summary") != nullptr;

    const GaitEntry& entry = choice.entry;
    TrajectorySegment seg{};
    StepStats stats{};
    if (!generateStep(entry, seg, &stats)) return unusableStep("dynamics", choice, stats);
    const std::string text = summary ? summaryJson(choice.from, choice.to, seg, entry)
                                     : dynamicsCsv(seg, static_cast<int>(count));
    return writeOutput("dynamics", "", text);
}

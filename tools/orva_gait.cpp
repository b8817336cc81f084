// orva-gait: prints the steps the gait generator makes, one JSON object per line, and
// dispatches the walk trace and the figure and atlas pictures.
#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "model/gait_table.h"

#include "shell/gait_option.h"
#include "tools/atlas_command.h"
#include "tools/cli.h"
#include "tools/command_line.h"
#include "tools/drift_command.h"
#include "tools/dynamics_command.h"
#include "tools/figure_command.h"
#include "tools/mjcf_command.h"
#include "tools/walk_command.h"

#include <cmath>
#include <cstdio>
#include <string>

using namespace orva;

namespace {

const char* const tool = "orva-gait";

const char* const helpText =
    "usage: orva-gait COMMAND\n"
    "\n"
    "Commands:\n"
    "  steps                      for each gait mode 0..15, the step generated from that row\n"
    "                             of a freshly filled gait table\n"
    "  steps --transitions        the 256 gait-change steps, from-major: row FROM with its\n"
    "                             foreStep set to row TO's backStep (FROM = TO is the plain row)\n"
    "  steps --gait GAIT          the step generated from one gait (orva-gait walk --help)\n"
    "  walk --calls N [--keys KEYS] [--gait GAIT] [--change CALL:GAIT]...\n"
    "                             start-up and N idle passes without a window, as CSV; KEYS is\n"
    "                             a comma-separated list of K:CHARS, the gait keys CHARS pressed\n"
    "                             just before idle call K (counted from 1); other keys, which\n"
    "                             the program ignores, and K above N are refused\n"
    "                             (orva-gait walk --help)\n"
    "  figure --mode M [--transition-to N] [--dynamics] [--drift [--free F]] [-o FILE]\n"
    "  figure --gait GAIT [--dynamics] [--drift [--free F]] [-o FILE]\n"
    "                             an SVG picture of one step: stick figures, paths, link angles\n"
    "                             and centre of mass, with --dynamics its torques, ground\n"
    "                             force and centre of pressure, and with --drift the step let\n"
    "                             loose beside the plan (orva-gait figure --help)\n"
    "  atlas [--lengths A:B:N] [--speeds A:B:N] [--clearance C]... [--threads T]\n"
    "        [--colour MEASURE] [--csv] [-o FILE]\n"
    "                             where the step generator makes a usable step, as an SVG map\n"
    "                             or CSV (orva-gait atlas --help)\n"
    "  dynamics --mode M [--transition-to N] [--samples K] [--summary]\n"
    "                             joint torques, ground force, centre of pressure, friction and\n"
    "                             power of one step as CSV, or its summary as JSON (orva-gait\n"
    "                             dynamics --help)\n"
    "  drift --mode M [--transition-to N] [--free ankle|torso|both] [--samples K] [--summary]\n"
    "                             one step let loose: the stance ankle, the torso or both\n"
    "                             without torque, the other joints on the plan, as CSV beside\n"
    "                             the plan, or its drift at the step's end as JSON (orva-gait\n"
    "                             drift --help)\n"
    "  mjcf [--stance-rooted]     ORVA as a MuJoCo model, or the step generator's own chain\n"
    "                             rooted at the stance ankle (orva-gait mjcf --help)\n"
    "  --help                     this text\n"
    "  --version                  the version\n"
    "\n"
    "steps prints one JSON object per line:\n"
    "  {\"from\":F,\"to\":T,\"duration\":D,\"blendDuration\":B,\"poly\":[[c0,...,c10] x 5],\n"
    "   \"outerPasses\":N,\"innerPasses\":M,\"converged\":true|false}\n"
    "poly holds the stance shank, stance thigh, torso, swing thigh and swing shank angles (rad)\n"
    "as polynomials in phase time; outerPasses counts the momentum-residual evaluations,\n"
    "innerPasses the torso-rate passes summed over them; converged is false when the step is\n"
    "unusable (an iteration hit its bound or values became undefined). Numbers have 17\n"
    "significant digits; a non-finite number prints as null.\n"
    "\n"
    "Exit status: 0, 1 when standard output cannot be written, 2 for bad arguments.\n";

void printNumber(double x) {
    if (std::isfinite(x))
        std::printf("%.17g", x);
    else
        std::printf("null");
}

void printStep(int from, int to, const GaitEntry& entry) {
    TrajectorySegment seg{};
    StepStats stats{};
    const bool usable = generateStep(entry, seg, &stats);
    std::printf("{\"from\":%d,\"to\":%d,\"duration\":", from, to);
    printNumber(seg.duration);
    std::printf(",\"blendDuration\":");
    printNumber(seg.blendDuration);
    std::printf(",\"poly\":[");
    for (int k = 0; k < modelLinkCount; ++k) {
        std::printf(k ? ",[" : "[");
        for (int i = 0; i < polyCoeffCount; ++i) {
            if (i) std::printf(",");
            printNumber(seg.poly[k].c[i]);
        }
        std::printf("]");
    }
    std::printf("],\"outerPasses\":%d,\"innerPasses\":%d,\"converged\":%s}\n", stats.outerPasses,
                stats.innerPasses, usable ? "true" : "false");
}

int runSteps(bool transitions) {
    setupCore();
    for (int from = 0; from < gaitModeCount; ++from) {
        if (!transitions) {
            printStep(from, from, gaitTable.rows[from]);
            continue;
        }
        for (int to = 0; to < gaitModeCount; ++to) {
            // The walking cycle's transition step: land where the new gait's step begins.
            printStep(from, to, transitionEntry(from, to));
        }
    }
    return 0;
}

const char* const stepsHelp =
    "usage: orva-gait steps [--transitions | --gait GAIT]\n"
    "\n"
    "Prints the steps the gait generator makes, one JSON object per line: for each gait mode\n"
    "0..15 the step of that row; with --transitions the 256 gait-change steps, from-major; with\n"
    "--gait the step of that one gait (from and to its base row), after checking it: a gait\n"
    "with no usable step prints nothing and exits 1. GAIT is described by 'orva-gait walk\n"
    "--help'.\n";

// argv[0] is "steps".
int runStepsCommand(int argc, char** argv) {
    GaitTarget gait{};
    int base = 0;
    setupCore();
    Options options;
    const auto readGait = [&](const std::string& text) {
        const std::string error = parseGaitOption(text, gait, &base);
        return error.empty() ? error : "--gait: " + error;
    };
    const std::string error = parseOptions(
        argc, argv, {{"--transitions", false, false}, {"--gait", true, false, readGait}}, options,
        HelpOption::ends);
    if (!error.empty()) return usageError(tool, "steps: " + error);
    if (options.help) {
        std::fputs(stepsHelp, stdout);
        return 0;
    }
    const bool transitions = optionValue(options, "--transitions") != nullptr;
    const std::string* gaitText = optionValue(options, "--gait");
    if (transitions && gaitText)
        return usageError(tool, "steps: --transitions and --gait exclude each other");
    if (!gaitText) return runSteps(transitions);
    if (!givesUsableStep(gait.entry)) {
        std::fprintf(stderr, "%s: steps: the gait %s gives no usable step\n", tool,
                     gaitText->c_str());
        return 1;
    }
    printStep(base, base, gait.entry);
    return 0;
}

int run(int argc, char** argv) {
    if (argc < 2) return usageError(tool, "missing command");
    if (const int status = answerToolOption(tool, argc, argv, helpText); status >= 0) return status;
    const std::string command = argv[1];
    if (command == "steps") return runStepsCommand(argc - 1, argv + 1);
    if (command == "walk") return runWalkCommand(argc - 1, argv + 1);
    if (command == "figure") return runFigureCommand(argc - 1, argv + 1);
    if (command == "atlas") return runAtlasCommand(argc - 1, argv + 1);
    if (command == "dynamics") return runDynamicsCommand(argc - 1, argv + 1);
    if (command == "drift") return runDriftCommand(argc - 1, argv + 1);
    if (command == "mjcf") return runMjcfCommand(argc - 1, argv + 1);
    return usageError(tool, "unknown command '" + command + "'");
}

} // namespace

int main(int argc, char** argv) {
    return finishOutput(tool, run(argc, argv));
}

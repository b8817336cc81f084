#include "tools/walk_command.h"

#include "tools/cli.h"

#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "shell/gait_option.h"
#include "shell/idle_pass.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace orva;

namespace {

struct KeyPress {
    long call;        // pressed just before this idle call, counted from 1
    std::string keys; // characters, sent in order
};

struct GaitChange {
    long call; // asked for just before this idle call, counted from 1
    std::string text;
    GaitTarget target;
};

// The characters onKey acts on; the window program ignores every other key.
constexpr const char* gaitKeys = "wxqsaz";

std::string walkHelp() {
    return "usage: orva-gait walk --calls N [--keys KEYS] [--gait GAIT] [--change CALL:GAIT]...\n"
           "\n"
           "Starts the walk as the window program does and runs N idle passes without a window,\n"
           "printing one CSV line per pass: the call, the support leg, the gait mode the keys\n"
           "show and the one the walking cycle walks (-1 for a custom gait), the joint angles\n"
           "q0..q5, the stance foot's arc, the hip's side, the centre of mass and the swing\n"
           "foot's reach.\n"
           "\n"
           "  --calls N          the number of idle passes\n"
           "  --keys KEYS        K:CHARS,...: the gait keys CHARS (w x q s a z) pressed just\n"
           "                     before idle call K (counted from 1, at most N)\n"
           "  --gait GAIT        start on this gait instead of row 0, all four segments made\n"
           "                     from it; a gait with no usable step exits 1 before the walk\n"
           "  --change CALL:GAIT ask for this gait just before idle call CALL, as the window's\n"
           "                     explorer does (repeatable); a gait with no usable step, or one\n"
           "                     no usable step leads towards, is said on standard error and\n"
           "                     ORVA keeps its gait\n"
           "  --help             this text\n"
           "\n"
           "With --gait or --change, each line ends with the backStep, foreStep, meanSpeed and\n"
           "clearance of the gait being walked.\n"
           "\n" +
           gaitOptionHelp() +
           "\n"
           "Exit status: 0; 1 for a --gait with no usable step or a failed write; 2 for bad\n"
           "arguments.\n";
}

int badArguments(const std::string& message) {
    return usageError("orva-gait", "walk: " + message);
}

bool parseCount(const char* text, long& out) {
    if (*text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text, &end, 10);
    return errno == 0 && *end == '\0';
}

// KEYS is a comma-separated list of K:CHARS.
bool parseKeys(const std::string& list, std::vector<KeyPress>& out, std::string& error) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string entry = list.substr(start, comma - start);
        const size_t colon = entry.find(':');
        KeyPress press;
        if (colon == std::string::npos || !parseCount(entry.substr(0, colon).c_str(), press.call) ||
            press.call < 1) {
            error = "bad key entry \"" + entry + "\" (expected K:CHARS with K >= 1)";
            return false;
        }
        press.keys = entry.substr(colon + 1);
        const std::size_t other = press.keys.find_first_not_of(gaitKeys);
        if (other != std::string::npos) {
            error = "key '" + press.keys.substr(other, 1) + "' in \"" + entry +
                    "\" is not a gait key (" + gaitKeys + ")";
            return false;
        }
        out.push_back(press);
        start = comma + 1;
    }
    // Several entries may name the same call; they keep their order.
    std::stable_sort(out.begin(), out.end(),
                     [](const KeyPress& a, const KeyPress& b) { return a.call < b.call; });
    return true;
}

// CALL:GAIT; the gait is read and checked on its own.
bool parseChange(const std::string& text, GaitChange& out, std::string& error) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || !parseCount(text.substr(0, colon).c_str(), out.call) ||
        out.call < 1) {
        error = "bad change \"" + text + "\" (expected CALL:GAIT with CALL >= 1)";
        return false;
    }
    out.text = text.substr(colon + 1);
    error = parseGaitOption(out.text, out.target);
    if (!error.empty()) error = "--change " + text + ": " + error;
    return error.empty();
}

bool usableGait(const GaitTarget& target) {
    TrajectorySegment scratch;
    return generateStep(target.entry, scratch);
}

} // namespace

int runWalkCommand(int argc, char** argv) {
    long calls = -1;
    bool keysGiven = false, gaitGiven = false;
    std::vector<KeyPress> presses;
    std::vector<GaitChange> changes;
    GaitTarget start{};
    std::string startText;
    setupCore();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(walkHelp().c_str(), stdout);
            return 0;
        }
        if (arg != "--calls" && arg != "--keys" && arg != "--gait" && arg != "--change")
            return badArguments("unknown option '" + arg + "'");
        if ((arg == "--calls" && calls >= 0) || (arg == "--keys" && keysGiven) ||
            (arg == "--gait" && gaitGiven)) {
            return badArguments(arg + " given twice");
        }
        if (i + 1 >= argc) return badArguments("missing value after " + arg);
        std::string error;
        if (arg == "--calls") {
            if (!parseCount(argv[++i], calls)) return badArguments("--calls takes a count");
        } else if (arg == "--keys") {
            if (!parseKeys(argv[++i], presses, error)) return badArguments(error);
            keysGiven = true;
        } else if (arg == "--gait") {
            startText = argv[++i];
            error = parseGaitOption(startText, start);
            if (!error.empty()) return badArguments("--gait: " + error);
            gaitGiven = true;
        } else {
            GaitChange change;
            if (!parseChange(argv[++i], change, error)) return badArguments(error);
            changes.push_back(change);
        }
    }
    if (calls < 0) return badArguments("--calls N is required");
    if (!presses.empty() && presses.back().call > calls) {
        return badArguments("keys at call " + std::to_string(presses.back().call) +
                            " come after the last call " + std::to_string(calls));
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const GaitChange& a, const GaitChange& b) { return a.call < b.call; });
    if (!changes.empty() && changes.back().call > calls) {
        return badArguments("change at call " + std::to_string(changes.back().call) +
                            " comes after the last call " + std::to_string(calls));
    }
    if (gaitGiven && !usableGait(start)) {
        std::fprintf(stderr, "orva-gait walk: the gait %s gives no usable step\n",
                     startText.c_str());
        return 1;
    }

    startWalking(gaitGiven ? start : tableGait(0));

    // The gait being walked is traced too when gaits are named.
    const bool gaitColumns = gaitGiven || !changes.empty();
    std::printf("call,supportLeg,gaitMode,cycleMode,q0,q1,q2,q3,q4,q5,stanceArc,hipHalfWidth,"
                "comX,comY,swingReach%s\n",
                gaitColumns ? ",backStep,foreStep,meanSpeed,clearance" : "");
    size_t next = 0, nextChange = 0;
    int refusals = 0;
    for (long call = 1; call <= calls; ++call) {
        for (; next < presses.size() && presses[next].call == call; ++next)
            for (char key : presses[next].keys) onKey(static_cast<unsigned char>(key), 0, 0);
        for (; nextChange < changes.size() && changes[nextChange].call == call; ++nextChange) {
            // As the panel does: a gait with no usable step of its own is not asked for.
            const GaitChange& change = changes[nextChange];
            if (usableGait(change.target)) {
                selectGait(change.target);
            } else {
                std::fprintf(stderr,
                             "orva-gait walk: call %ld: the gait %s gives no usable step; ORVA "
                             "keeps its gait\n",
                             call, change.text.c_str());
            }
        }
        idlePass();
        if (walkCycle.refusals != refusals) {
            refusals = walkCycle.refusals;
            std::fprintf(stderr,
                         "orva-gait walk: call %ld: no usable step leads from the gait walked "
                         "towards the one asked for; ORVA keeps its gait\n",
                         call);
        }
        const WalkerPlacement& p = walkerPlacement;
        const double* q = robotState.q;
        std::printf("%ld,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,"
                    "%.17g",
                    call, p.supportLeg, gaitSelection.gaitMode, walkCycle.current.mode, q[0], q[1],
                    q[2], q[3], q[4], q[5], p.stanceArc, p.hipHalfWidth, p.comOffset[0],
                    p.comOffset[1], p.swingReach);
        if (gaitColumns) {
            const GaitEntry& e = walkCycle.current.entry;
            std::printf(",%.17g,%.17g,%.17g,%.17g", e.backStep, e.foreStep, e.meanSpeed,
                        e.clearance);
        }
        std::printf("\n");
    }
    return 0;
}

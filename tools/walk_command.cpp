#include "tools/walk_command.h"

#include "tools/cli.h"
#include "tools/command_line.h"

#include "model/core_setup.h"
#include "shell/gait_option.h"
#include "shell/idle_pass.h"
#include "shell/walk_trace.h"
#include "walking/walk_cycle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace orva;

namespace {

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
        const std::size_t other = press.keys.find_first_not_of(gaitKeyCharacters());
        if (other != std::string::npos) {
            error = "key '" + press.keys.substr(other, 1) + "' in \"" + entry +
                    "\" is not a gait key (" + gaitKeyCharacters() + ")";
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

// The options into request; -1 to go on, else the exit status (0 after --help). Each value is
// read as it is met, so that the first wrong one is the one told.
int parseWalkOptions(int argc, char** argv, WalkTraceRequest& request, std::string& startText,
                     bool& gaitGiven) {
    long calls = -1;
    std::vector<KeyPress>& presses = request.presses;
    std::vector<GaitChange>& changes = request.changes;
    const auto readCalls = [&](const std::string& v) {
        return parseCount(v.c_str(), calls) ? "" : std::string("--calls takes a count");
    };
    const auto readKeys = [&](const std::string& v) {
        std::string error;
        parseKeys(v, presses, error);
        return error;
    };
    const auto readGait = [&](const std::string& v) {
        startText = v;
        const std::string error = parseGaitOption(v, request.start);
        return error.empty() ? error : "--gait: " + error;
    };
    const auto readChange = [&](const std::string& v) {
        GaitChange change;
        std::string error;
        if (parseChange(v, change, error)) changes.push_back(change);
        return error;
    };
    Options options;
    const std::string error = parseOptions(argc, argv,
                                           {{"--calls", true, false, readCalls},
                                            {"--keys", true, false, readKeys},
                                            {"--gait", true, false, readGait},
                                            {"--change", true, true, readChange}},
                                           options, HelpOption::ends);
    if (!error.empty()) return badArguments(error);
    if (options.help) {
        std::fputs(walkHelp().c_str(), stdout);
        return 0;
    }
    gaitGiven = optionValue(options, "--gait") != nullptr;
    if (calls < 0) return badArguments("--calls N is required");
    request.calls = calls;
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
    if (!gaitGiven) request.start = tableGait(0);
    return -1;
}

void printRow(const WalkTraceRow& r, bool gaitColumns) {
    const double* q = r.q;
    std::printf("%ld,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g",
                r.call, r.supportLeg, r.gaitMode, r.cycleMode, q[0], q[1], q[2], q[3], q[4], q[5],
                r.stanceArc, r.hipHalfWidth, r.comX, r.comY, r.swingReach);
    if (gaitColumns) {
        const GaitEntry& e = r.walked;
        std::printf(",%.17g,%.17g,%.17g,%.17g", e.backStep, e.foreStep, e.meanSpeed, e.clearance);
    }
    std::printf("\n");
}

} // namespace

int runWalkCommand(int argc, char** argv) {
    setupCore();
    WalkTraceRequest request;
    std::string startText;
    bool gaitGiven = false;
    if (const int status = parseWalkOptions(argc, argv, request, startText, gaitGiven); status >= 0)
        return status;
    if (gaitGiven && !usableGait(request.start)) {
        std::fprintf(stderr, "orva-gait walk: the gait %s gives no usable step\n",
                     startText.c_str());
        return 1;
    }
    Lab lab;
    std::vector<WalkTraceRow> rows;
    std::vector<std::string> notes;
    traceWalk(lab, request, rows, notes);
    for (const std::string& note : notes)
        std::fprintf(stderr, "orva-gait walk: %s\n", note.c_str());

    // The gait being walked is traced too when gaits are named.
    const bool gaitColumns = gaitGiven || !request.changes.empty();
    std::printf("call,supportLeg,gaitMode,cycleMode,q0,q1,q2,q3,q4,q5,stanceArc,hipHalfWidth,"
                "comX,comY,swingReach%s\n",
                gaitColumns ? ",backStep,foreStep,meanSpeed,clearance" : "");
    for (const WalkTraceRow& row : rows) printRow(row, gaitColumns);
    return 0;
}

#include "tools/walk_command.h"

#include "tools/cli.h"

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

// The characters onKey acts on; the window program ignores every other key.
constexpr const char* gaitKeys = "wxqsaz";

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

} // namespace

int runWalkCommand(int argc, char** argv) {
    long calls = -1;
    bool keysGiven = false;
    std::vector<KeyPress> presses;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg != "--calls" && arg != "--keys")
            return badArguments("unknown option '" + arg + "'");
        if ((arg == "--calls" && calls >= 0) || (arg == "--keys" && keysGiven)) {
            return badArguments(arg + " given twice");
        }
        if (i + 1 >= argc) return badArguments("missing value after " + arg);
        if (arg == "--calls") {
            if (!parseCount(argv[++i], calls)) return badArguments("--calls takes a count");
        } else {
            std::string error;
            if (!parseKeys(argv[++i], presses, error)) return badArguments(error);
            keysGiven = true;
        }
    }
    if (calls < 0) return badArguments("--calls N is required");
    if (!presses.empty() && presses.back().call > calls) {
        return badArguments("keys at call " + std::to_string(presses.back().call) +
                            " come after the last call " + std::to_string(calls));
    }

    startWalking();

    std::printf("call,supportLeg,gaitMode,cycleMode,q0,q1,q2,q3,q4,q5,stanceArc,hipHalfWidth,"
                "comX,comY,swingReach\n");
    size_t next = 0;
    for (long call = 1; call <= calls; ++call) {
        for (; next < presses.size() && presses[next].call == call; ++next)
            for (char key : presses[next].keys) onKey(static_cast<unsigned char>(key), 0, 0);
        idlePass();
        const WalkerPlacement& p = walkerPlacement;
        const double* q = robotState.q;
        std::printf("%ld,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,"
                    "%.17g\n",
                    call, p.supportLeg, gaitSelection.gaitMode, walkCycle.current.mode, q[0], q[1],
                    q[2], q[3], q[4], q[5], p.stanceArc, p.hipHalfWidth, p.comOffset[0],
                    p.comOffset[1], p.swingReach);
    }
    return 0;
}

#include "shell/gait_option.h"

#include "gait/step_generator.h"
#include "shell/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace orva;

std::string gaitModeWanted() {
    return "a gait mode 0.." + std::to_string(gaitModeCount - 1);
}

bool parseGaitMode(const std::string& text, int& mode) {
    long value = 0;
    if (!parseInteger(text, value) || value < 0 || value >= gaitModeCount) return false;
    mode = static_cast<int>(value);
    return true;
}

std::string checkGaitMode(const std::string& text, int& mode) {
    if (parseGaitMode(text, mode)) return "";
    return "mode must be " + gaitModeWanted() + ", not \"" + text + "\"";
}

std::string checkGaitField(const GaitField& f, double value, const std::string& text) {
    const std::string name = f.name;
    if (!std::isfinite(value)) return name + " must be finite, not \"" + text + "\"";
    if (value >= f.lowest && value <= f.highest) return "";
    char range[96];
    if (f.lowest == f.highest)
        std::snprintf(range, sizeof range, " must be %g %s (the world is flat)", f.lowest, f.unit);
    else
        std::snprintf(range, sizeof range, " must lie in %g..%g %s", f.lowest, f.highest, f.unit);
    return name + range + ", not " + text;
}

std::string parseGaitOption(const std::string& text, GaitTarget& out, int* baseMode) {
    int mode = 0;
    bool modeGiven = false;
    bool given[gaitFieldCount] = {};
    double values[gaitFieldCount] = {};
    bool anyField = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string pair = text.substr(start, comma - start);
        start = comma + 1;
        const size_t equals = pair.find('=');
        if (equals == std::string::npos) return "\"" + pair + "\" is not FIELD=VALUE";
        const std::string name = pair.substr(0, equals), value = pair.substr(equals + 1);
        double number = 0;
        if (name == "mode") {
            if (modeGiven) return "mode given twice";
            modeGiven = true;
            if (std::string error = checkGaitMode(value, mode); !error.empty()) return error;
            continue;
        }
        int field = 0;
        while (field < gaitFieldCount && name != gaitFields[field].name) ++field;
        if (field == gaitFieldCount) return "unknown field \"" + name + "\"";
        const GaitField& f = gaitFields[field];
        if (given[field]) return name + " given twice";
        if (isNonFiniteNumber(value))
            number = std::nan("");
        else if (!parseReal(value, number))
            return name + ": \"" + value + "\" is not a number";
        if (std::string error = checkGaitField(f, number, value); !error.empty()) return error;
        given[field] = anyField = true;
        values[field] = number;
    }
    out = tableGait(mode);
    if (baseMode) *baseMode = mode;
    if (!anyField) return "";
    out.mode = customGait;
    for (int i = 0; i < gaitFieldCount; ++i)
        if (given[i]) out.entry.*gaitFields[i].member = values[i];
    return "";
}

std::string gaitOptionHelp() {
    std::string text = "GAIT is mode=M (the base row 0..15, 0 when left out) and FIELD=VALUE\n"
                       "pairs, comma-separated, e.g. mode=6,meanSpeed=0.31,clearance=0.12. The\n"
                       "fields and their ranges:\n";
    char line[96];
    for (const GaitField& f : gaitFields) {
        if (f.lowest == f.highest)
            std::snprintf(line, sizeof line, "  %-16s %g %s (the world is flat)\n", f.name,
                          f.lowest, f.unit);
        else
            std::snprintf(line, sizeof line, "  %-16s %g..%g %s\n", f.name, f.lowest, f.highest,
                          f.unit);
        text += line;
    }
    return text;
}

int takeGaitArgument(int& argc, char** argv, GaitTarget& start) {
    start = tableGait(0);
    bool given = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gait") != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        const char* problem = given ? "--gait given twice" : i + 1 >= argc ? "missing GAIT" : "";
        std::string error = problem;
        if (error.empty()) error = parseGaitOption(argv[++i], start);
        if (!error.empty()) {
            std::fprintf(stderr, "orva: --gait: %s (try 'orva --help')\n", error.c_str());
            return 2;
        }
        given = true;
        if (!givesUsableStep(start.entry)) {
            std::fprintf(stderr, "orva: the gait %s gives no usable step\n", argv[i]);
            return 1;
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return -1;
}

#include "tools/picture_options.h"

#include "shell/gait_option.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int writeOutput(const char* who, const std::string& path, const std::string& text) {
    const bool toStdout = path.empty();
    errno = 0;
    std::FILE* file = toStdout ? stdout : std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (toStdout)
        written = std::fflush(file) == 0 && !std::ferror(file) && written;
    else if (file)
        written = std::fclose(file) == 0 && written;
    if (written) return 0;
    const char* reason = errno ? std::strerror(errno) : "short write";
    std::fprintf(stderr, "orva-gait %s: cannot write %s: %s\n", who,
                 toStdout ? "standard output" : path.c_str(), reason);
    return 1;
}

std::string chooseStep(const Options& options, StepChoice& out) {
    out.gaitText = optionValue(options, "--gait");
    out.custom = false;
    const std::string* mode = optionValue(options, "--mode");
    const std::string* to = optionValue(options, "--transition-to");
    if (out.gaitText) {
        if (mode || to) return "--gait excludes --mode and --transition-to";
        orva::GaitTarget gait;
        const std::string error = parseGaitOption(*out.gaitText, gait, &out.from);
        if (!error.empty()) return "--gait: " + error;
        out.entry = gait.entry;
        out.to = out.from;
        out.custom = gait.mode == orva::customGait;
        return "";
    }
    if (!mode) return "--mode M is required";
    if (!parseGaitMode(*mode, out.from)) return "--mode takes " + gaitModeWanted();
    out.to = out.from;
    if (to && !parseGaitMode(*to, out.to)) return "--transition-to takes " + gaitModeWanted();
    out.entry = orva::transitionEntry(out.from, out.to);
    return "";
}

int unusableStep(const char* who, const StepChoice& choice, const orva::StepStats& stats) {
    if (choice.gaitText)
        std::fprintf(stderr, "orva-gait %s: the gait %s gives no usable step\n", who,
                     choice.gaitText->c_str());
    else
        std::fprintf(stderr,
                     "orva-gait %s: the step from mode %d to mode %d is unusable (%d outer, %d "
                     "inner passes)\n",
                     who, choice.from, choice.to, stats.outerPasses, stats.innerPasses);
    return 1;
}

std::string chooseFreeJoints(const Options& options, orva::FreeJoints& out) {
    out = orva::FreeJoints::ankle;
    const std::string* text = optionValue(options, "--free");
    if (!text) return "";
    for (int k = 0; k < 3; ++k)
        if (*text == orva::freeJointsNames[k]) {
            out = static_cast<orva::FreeJoints>(k);
            return "";
        }
    return "--free takes ankle, torso or both";
}

std::string chooseSampleCount(const Options& options, long& out) {
    out = 101;
    const std::string* text = optionValue(options, "--samples");
    if (text && (!parseInteger(*text, out) || out < 2 || out > 1000000))
        return "--samples takes a count 2..1000000";
    return "";
}

void appendNumber(std::string& out, double x) {
    if (!std::isfinite(x)) return;
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", x);
    out += text;
}

void appendJson(std::string& out, const char* key, double x) {
    out += ",\"";
    out += key;
    out += "\":";
    if (std::isfinite(x))
        appendNumber(out, x);
    else
        out += "null";
}

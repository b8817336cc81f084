#include "tools/picture_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string parseOptions(int argc, char** argv, const std::vector<OptionRule>& rules,
                         Options& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& s : rules)
            if (arg == s.name) rule = &s;
        if (!rule) return "unknown option '" + arg + "'";
        std::vector<std::string>& values = out.values[arg];
        if (!values.empty() && !rule->repeatable) return arg + " given twice";
        if (!rule->takesValue) {
            values.push_back("");
            continue;
        }
        if (i + 1 >= argc) return "missing value after " + arg;
        values.push_back(argv[++i]);
    }
    return "";
}

const std::string* optionValue(const Options& options, const std::string& name) {
    const auto it = options.values.find(name);
    return it == options.values.end() ? nullptr : &it->second.front();
}

bool parseInteger(const std::string& text, long& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseReal(const std::string& text, double& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(out);
}

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

#include "tools/command_line.h"

std::string parseOptions(int argc, char** argv, const std::vector<OptionRule>& rules, Options& out,
                         HelpOption help) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            if (help == HelpOption::ends) return "";
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
        if (rule->read)
            if (std::string error = rule->read(values.back()); !error.empty()) return error;
    }
    return "";
}

const std::string* optionValue(const Options& options, const std::string& name) {
    const auto it = options.values.find(name);
    return it == options.values.end() ? nullptr : &it->second.front();
}

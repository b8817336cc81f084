// Command-line handling shared by `orva-gait figure` and `orva-gait atlas`: options with one
// value each, numbers parsed whole, and output written to standard output or a file with every
// byte checked.
//
// Offers: OptionRule, Options, parseOptions, optionValue, parseInteger, parseReal,
// writeOutput.
#pragma once

#include <map>
#include <string>
#include <vector>

struct OptionRule {
    const char* name; // "--mode", "-o", ...
    bool takesValue;  // the next argument is its value
    bool repeatable;  // may be given more than once
};

struct Options {
    std::map<std::string, std::vector<std::string>> values; // given options, values in order
    bool help = false;                                      // --help or -h was given
};

// Reads argv[1..argc-1]. Returns an empty string, or what is wrong in one line: an unknown or
// repeated option, a missing value.
std::string parseOptions(int argc, char** argv, const std::vector<OptionRule>& rules, Options& out);
// The single value of option name, or nullptr when it was not given.
const std::string* optionValue(const Options& options, const std::string& name);

// Whole-text numbers: no trailing characters, in range, finite.
bool parseInteger(const std::string& text, long& out);
bool parseReal(const std::string& text, double& out);

// Writes text to path, or to standard output when path is empty, and checks that all of it
// was written. Returns 0, or 1 after one line on standard error naming `who`.
int writeOutput(const char* who, const std::string& path, const std::string& text);

// The one option parser of the tools' commands: each option once unless repeatable, a value
// after the options that take one, a value read as soon as it is met when the command says how,
// and --help (-h) anywhere. Its messages go out through cli.h's usageError.
//
// Offers: OptionRule, Options, HelpOption, parseOptions, optionValue.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

struct OptionRule {
    const char* name; // "--mode", "-o", ...
    bool takesValue;  // the next argument is its value
    bool repeatable;  // may be given more than once
    // Reads the value when it is met: returns what is wrong with it in one line, or "". Left
    // empty, the value is only kept.
    std::function<std::string(const std::string&)> read = nullptr;
};

struct Options {
    std::map<std::string, std::vector<std::string>> values; // given options, values in order
    bool help = false;                                      // --help or -h was given
};

// What --help does to the rest of the line: noted and the rest still read (a wrong option after
// it is still an error), or the end of the line (what follows is not looked at).
enum class HelpOption { noted, ends };

// Reads argv[1..argc-1]. Returns an empty string, or what is wrong in one line: an unknown or
// repeated option, a missing value, or the first value its rule's read refused.
std::string parseOptions(int argc, char** argv, const std::vector<OptionRule>& rules, Options& out,
                         HelpOption help = HelpOption::noted);
// The single value of option name, or nullptr when it was not given.
const std::string* optionValue(const Options& options, const std::string& name);

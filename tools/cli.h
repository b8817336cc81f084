// The command-line conventions every tool follows: usage on standard output for --help, the
// project version for --version, one line on standard error and status 2 for a wrong or
// repeated option, and an exit status that tells when standard output could not be written.
//
// Offers: usageError, printVersion, answerToolOption, finishOutput. A tool's main ends with
// `return finishOutput(tool, run(argc, argv));`.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#ifndef ORVA_VERSION
#error "the build defines ORVA_VERSION, the project version"
#endif

// "TOOL: MESSAGE (try 'TOOL --help')" on standard error; returns 2, a usage error's status.
inline int usageError(const char* tool, const std::string& message) {
    std::fprintf(stderr, "%s: %s (try '%s --help')\n", tool, message.c_str(), tool);
    return 2;
}

inline int printVersion(const char* tool) {
    std::printf("%s %s\n", tool, ORVA_VERSION);
    return 0;
}

// The tool-wide options --help (-h) and --version, each alone on the command line. Returns the
// exit status when argv[1] is one of them, -1 otherwise.
inline int answerToolOption(const char* tool, int argc, char** argv, const char* helpText) {
    const std::string option = argv[1];
    if (option != "--help" && option != "-h" && option != "--version") return -1;
    if (argc > 2) return usageError(tool, option + " takes no arguments");
    if (option == "--version") return printVersion(tool);
    std::fputs(helpText, stdout);
    return 0;
}

// Flushes standard output. When that or any earlier write to it failed (a full disk, a closed
// pipe's reader gone), a tool must not report success: one line on standard error and status 1.
// A command that already failed has said why, and keeps its status.
inline int finishOutput(const char* tool, int status) {
    std::cout.flush();
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout;
    if (!failed || status != 0) return status;
    std::fprintf(stderr, "%s: cannot write standard output%s%s\n", tool, errno ? ": " : "",
                 errno ? std::strerror(errno) : "");
    return 1;
}

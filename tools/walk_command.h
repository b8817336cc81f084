// `orva-gait walk --calls N [--keys KEYS]`: start-up and N idle passes without a window,
// traced as CSV on standard output.
#pragma once

// argv[0] is "walk". Returns the exit status: 0, or 2 for bad arguments.
int runWalkCommand(int argc, char** argv);

// `orva-gait dynamics --mode M [--transition-to N] [--samples K] [--summary]`: the inverse
// dynamics of one generated step as CSV, or its summary as one JSON object.
//
// Offers: runDynamicsCommand.
#pragma once

#include "model/gait_table.h"

// argv[0] is "dynamics". Returns the exit status: 0, 1 for an unusable step or a failed write,
// 2 for bad arguments.
int runDynamicsCommand(int argc, char** argv);

// `orva-gait drift [--mode M [--transition-to N] | --gait GAIT] [--free ankle|torso|both]
// [--samples K] [--summary]`: one generated step let loose, its free joints at zero torque, as
// CSV beside the plan, or what that does by the step's end as one JSON object.
//
// Offers: runDriftCommand.
#pragma once

// argv[0] is "drift". Returns the exit status: 0, 1 for an unusable step or a failed write,
// 2 for bad arguments.
int runDriftCommand(int argc, char** argv);

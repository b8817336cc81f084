// `orva-gait mjcf [--stance-rooted]`: ORVA as a MuJoCo model (MJCF), made from the body model's
// and the dynamics module's numbers.
//
// Offers: mjcfModel, runMjcfCommand.
#pragma once

#include <string>

// The walker: planar (x forward, z up), the torso the root on two slides and a hinge, each leg
// a thigh, a shank and a foot box on the floor, a motor on each of the six joints. Stance-rooted:
// the step generator's own model, links 0..4 from a fixed stance ankle with the swing foot a
// point mass at the swing ankle, no contacts; its joints are the dynamics module's q0..q4.
// Needs setupCore.
std::string mjcfModel(bool stanceRooted);

// argv[0] is "mjcf". Returns the exit status: 0, 1 for a failed write, 2 for bad arguments.
int runMjcfCommand(int argc, char** argv);

// `orva-gait atlas`: the step generator run over a grid of symmetric step lengths and mean hip
// speeds, for one or more clearances, as an SVG map of where it makes a usable step and how
// long that step lasts (or what its dynamics ask for), or as CSV.
//
// Offers: atlasCsv, atlasSvg, runAtlasCommand; the grid itself is computed by the
// core's feasibility grid.
#pragma once

#include "gait/feasibility_grid.h"

#include <string>
#include <vector>

// Header and one line per point: backStep,meanSpeed,clearance,usable,duration,outerPasses,
// innerPasses; usable 1 or 0, duration empty when unusable, numbers with 17 significant digits.
// With the dynamics, the summary's columns follow, empty when unusable or undefined.
std::string atlasCsv(const std::vector<orva::AtlasPoint>& points, bool withDynamics = false,
                     bool withDrift = false);

// The maps, one per clearance, with the colour bar and the table rows marked.
std::string atlasSvg(const orva::AtlasGrid& grid, const std::vector<orva::AtlasPoint>& points,
                     orva::AtlasColour colour = orva::AtlasColour::duration);

// argv[0] is "atlas". Returns the exit status: 0, 1 for a failed write, 2 for bad arguments.
int runAtlasCommand(int argc, char** argv);

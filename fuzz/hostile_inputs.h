// Inputs for the fuzz corpus and its replay: the data set made small, and files built to
// hurt a reader (cut short, damaged lengths, huge counts, deep nesting, random bytes).
#pragma once

#include "assets/data_set.h"

#include <vector>

// Named *.3ds or *.tga by the reader they are meant for (random bytes go to both).
std::vector<DataFile> makeSeedInputs();
std::vector<DataFile> makeHostileInputs();

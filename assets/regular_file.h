// Opening a data file for reading, shared by the 3DS reader and the TGA decoder.
//
// Offers: openRegularFile.
#pragma once

#include <cstdio>

// The file opened for binary reading, or nullptr when it cannot be opened or is not a regular
// file: a FIFO would block the open or the first read for ever, and a directory or a device
// holds no data file.
std::FILE* openRegularFile(const char* fileName);

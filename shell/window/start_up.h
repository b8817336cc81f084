// Guards at the window program's start-up, before GLUT sees the command line.
//
// Offers: openStandardStreams, infoOption.
#pragma once

// Opens each closed standard descriptor (0, 1, 2) on /dev/null. Otherwise the X connection
// would take the lowest free one, and the help text printed on F1 would go into it.
void openStandardStreams();

// `orva --help` prints the usage (the keys, the data folder) and `orva --version` the version,
// and both return the exit status: 0, or 1 when standard output cannot be written. -1 for any
// other command line, which goes to glutInit unchanged.
int infoOption(int argc, char** argv);

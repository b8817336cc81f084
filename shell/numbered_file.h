// Files written by a numbered name in the working folder, such as the screenshots orva-0001.png.
//
// Offers: NumberedFile, createNumberedFile. Each name is made with an exclusive create, so a
// name that exists as anything (a file, a folder, a symbolic link even if it dangles) is passed
// over, never opened or followed, and two writers never share a file.
#pragma once

#include <string>

struct NumberedFile {
    int fd = -1;       // open for writing only, closed on exec; the caller closes it
    std::string name;  // the name made, when fd is open
    std::string error; // when fd is -1: why, in one line
};

// The first free name of prefix + 0001 + extension ... prefix + 9999 + extension, made empty
// and opened. prefix may start with a folder.
NumberedFile createNumberedFile(const std::string& prefix, const std::string& extension);

// A stand-in for the GL library, linked into the assets tests instead of it: every GL call
// the assets layer makes is appended to glCallLog as text, so tests read what a list or an
// upload would have sent, without a window.
#pragma once

#include <string>
#include <vector>

extern std::vector<std::string> glCallLog;
// What glGetIntegerv reports for GL_UNPACK_ALIGNMENT; glPixelStorei changes it.
extern int fakeUnpackAlignment;

void resetFakeGl();
// The calls whose text starts with prefix.
std::vector<std::string> glCallsStartingWith(const std::string& prefix);

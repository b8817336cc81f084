// Numbers on the command line, read whole: no leading space, nothing after the number, no
// overflow. Shared by the window program's options and the tools'.
//
// Offers: parseInteger, parseReal, isNonFiniteNumber.
#pragma once

#include <string>

bool parseInteger(const std::string& text, long& out);
// A finite real.
bool parseReal(const std::string& text, double& out);
// A whole number that is not finite: "nan", "inf", or too large for a double.
bool isNonFiniteNumber(const std::string& text);

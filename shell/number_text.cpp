#include "shell/number_text.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// strtod over the whole text, overflow giving an infinity.
bool wholeReal(const std::string& text, double& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0';
}

} // namespace

bool parseInteger(const std::string& text, long& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseReal(const std::string& text, double& out) {
    return wholeReal(text, out) && std::isfinite(out);
}

bool isNonFiniteNumber(const std::string& text) {
    double value = 0;
    return wholeReal(text, value) && !std::isfinite(value);
}

#include "shell/numbered_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string numberedName(const std::string& prefix, int number, const std::string& extension) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return prefix + digits + extension;
}

} // namespace

NumberedFile createNumberedFile(const std::string& prefix, const std::string& extension) {
    NumberedFile file;
    for (int number = 1; number <= 9999; ++number) {
        const std::string name = numberedName(prefix, number, extension);
        // With O_EXCL an existing name fails with EEXIST whatever it is; links are not followed.
        file.fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd >= 0) {
            file.name = name;
            return file;
        }
        if (errno != EEXIST) {
            file.error = name + ": " + std::strerror(errno);
            return file;
        }
    }
    file.error = "no free name: " + numberedName(prefix, 1, extension) + " to " +
                 numberedName(prefix, 9999, extension) + " all exist";
    return file;
}

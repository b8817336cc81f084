#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "shell/numbered_file.h"

namespace {

// Names that exist as anything are passed over, and a planted link is never followed; with no
// name free, the reason says so.
TEST(NumberedFile, PassesOverEveryExistingNameAndSaysWhenNoneIsFree) {
    std::string folder = ::testing::TempDir() + "orva-numbered-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder.data()));
    const std::string prefix = folder + "/orva-";
    std::filesystem::create_symlink(folder + "/target", prefix + "0001.png"); // dangling
    std::filesystem::create_directory(prefix + "0002.png");
    const NumberedFile first = createNumberedFile(prefix, ".png");
    ASSERT_GE(first.fd, 0) << first.error;
    EXPECT_EQ(first.name, prefix + "0003.png");
    EXPECT_FALSE(std::filesystem::exists(folder + "/target"));
    close(first.fd);

    char number[16];
    for (int n = 4; n <= 9999; ++n) {
        std::snprintf(number, sizeof number, "%04d.png", n);
        close(open((prefix + number).c_str(), O_WRONLY | O_CREAT, 0600));
    }
    const NumberedFile none = createNumberedFile(prefix, ".png");
    EXPECT_EQ(none.fd, -1);
    EXPECT_EQ(none.error,
              "no free name: " + prefix + "0001.png to " + prefix + "9999.png all exist");
    EXPECT_EQ(createNumberedFile(folder + "/none/orva-", ".mp4").error,
              folder + "/none/orva-0001.mp4: No such file or directory");
    std::filesystem::remove_all(folder);
}

} // namespace

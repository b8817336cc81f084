#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "gait/step_generator.h"
#include "shell/idle_pass.h"
#include "shell/recording.h"
#include "shell/shell_state.h"
#include "walking/walk_cycle.h"

using namespace orva;
namespace fs = std::filesystem;

namespace {

// parseRecordOptions over "orva" and words; returns its status, err's lines and what is left.
int parse(std::vector<std::string> words, RecordRequest& request, int* lines = nullptr,
          std::vector<std::string>* left = nullptr) {
    words.insert(words.begin(), "orva");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    std::ostringstream err;
    const int status = parseRecordOptions(argc, argv.data(), request, err);
    const std::string said = err.str();
    if (lines) *lines = static_cast<int>(std::count(said.begin(), said.end(), '\n'));
    if (left) left->assign(argv.begin(), argv.begin() + argc);
    return status;
}

TEST(RecordingTest, OptionsAreTakenOutAndTheRestGoesToGlut) {
    RecordRequest r;
    std::vector<std::string> left;
    EXPECT_EQ(parse({"-display", ":1"}, r, nullptr, &left), -1);
    EXPECT_FALSE(r.wanted);
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(parse({"-display", ":1", "--record", "a.mp4", "--seconds", "2.5", "--view", "side-on",
                     "--size", "320x240", "--mode", "7"},
                    r, nullptr, &left),
              -1);
    EXPECT_TRUE(r.wanted);
    EXPECT_EQ(r.file, "a.mp4");
    EXPECT_EQ(r.seconds, 2.5);
    EXPECT_EQ(r.view, 1);
    EXPECT_EQ(r.width * 1000 + r.height, 320240);
    EXPECT_EQ(r.mode, 7);
    EXPECT_EQ(left, (std::vector<std::string>{"orva", "-display", ":1"}));
    RecordRequest d;
    EXPECT_EQ(parse({"--record", "b.mp4"}, d), -1);
    EXPECT_EQ(d.seconds * 1e6 + d.width * 1000 + d.height + d.view + d.mode, 1e7 + 640480);
}

TEST(RecordingTest, WrongOptionsAreRefusedWithOneLine) {
    const std::vector<std::vector<std::string>> wrong = {
        {"--seconds", "3"},
        {"--record"},
        {"--record", "--seconds"},
        {"--record", ""},
        {"--record", "a", "--record", "b"},
        {"--record", "a", "--seconds", "0"},
        {"--record", "a", "--seconds", "-1"},
        {"--record", "a", "--seconds", "nan"},
        {"--record", "a", "--seconds", "3600.5"},
        {"--record", "a", "--seconds", "2s"},
        {"--record", "a", "--size", "641x480"},
        {"--record", "a", "--size", "640x480x2"},
        {"--record", "a", "--size", "14x480"},
        {"--record", "a", "--size", "4098x480"},
        {"--record", "a", "--size", "640X480"},
        {"--record", "a", "--view", "top"},
        {"--record", "a", "--mode", "16"},
        {"--record", "a", "--mode", "-1"},
        {"--record", "a", "--mode", "1.0"},
        {"--record", "a", "--frames", "9"},
    };
    for (const auto& words : wrong) {
        RecordRequest r;
        int lines = 0;
        EXPECT_EQ(parse(words, r, &lines), 2) << words.back();
        EXPECT_EQ(lines, 1) << words.back();
    }
}

// Frame k shows the walk 0.03 k s from its start; those before the duration are kept.
TEST(RecordingTest, FramesComeEveryFourthIncrementUpToTheDuration) {
    EXPECT_EQ(videoFrameCount(2), 67);
    EXPECT_EQ(videoFrameCount(10), 334);
    EXPECT_EQ(videoFrameCount(2.01), 67);
    EXPECT_EQ(videoFrameCount(0.03), 1);
    EXPECT_EQ(videoFrameCount(0.031), 2);
    EXPECT_EQ(videoFrameCount(1e-4), 1);
    EXPECT_EQ(videoFrameCount(3600), 120000);
    VideoClock clock;
    for (int increment = 1; increment <= 12; ++increment)
        EXPECT_EQ(frameDueAfterIncrement(clock), increment % 4 == 0) << increment;
}

// The walk starts on the row asked for as it starts on row 0, and stays there: the keys' mode
// is that row, so no change back is asked for.
TEST(RecordingTest, AWalkStartsOnItsRowInItsViewAndSize) {
    RecordRequest r;
    ASSERT_EQ(parse({"--record", "a", "--mode", "13", "--view", "side-on", "--size", "64x48"}, r),
              -1);
    startWalking(r.mode);
    applyRecordRequest(r);
    TrajectorySegment step;
    ASSERT_TRUE(generateStep(gaitTable.rows[13], step));
    EXPECT_EQ(segments[2].duration, step.duration);
    EXPECT_EQ(segments[0].poly[2].c[3], step.poly[2].c[3]);
    EXPECT_EQ(windowState.width * 1000 + windowState.height, 64048);
    EXPECT_EQ(cameraState.view, 1);
    for (int i = 0; i < 2000; ++i) idlePass();
    EXPECT_EQ(walkCycle.currentMode, 13);
    EXPECT_EQ(walkCycle.changeLatched, 0);
    startWalking();
    EXPECT_EQ(gaitSelection.gaitMode + walkCycle.currentMode, 0);
}

class RecordingFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/orva-recording-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        before = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(before);
        fs::remove_all(dir);
    }
    fs::path dir, before;
};

TEST_F(RecordingFilesTest, OnlyARegularFileInAWritableFolderIsReplaced) {
    std::ofstream(dir / "old.mp4") << "x";
    fs::create_directory(dir / "sub");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink(dir / "old.mp4", dir / "link.mp4");
    EXPECT_EQ(videoPathProblem((dir / "old.mp4").string()), "");
    EXPECT_EQ(videoPathProblem((dir / "new.mp4").string()), "");
    for (const char* bad : {"sub", "sub/", "pipe", "link.mp4", "none/a.mp4", "old.mp4/a.mp4"})
        EXPECT_NE(videoPathProblem((dir / bad).string()), "") << bad;
    EXPECT_NE(videoPathProblem("/proc/orva.mp4"), "");

    std::string error;
    const std::string first = createTemporaryBeside((dir / "new.mp4").string(), error);
    const std::string second = createTemporaryBeside((dir / "new.mp4").string(), error);
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).parent_path(), dir);
    EXPECT_TRUE(fs::is_regular_file(second));
    EXPECT_FALSE(fs::exists(dir / "new.mp4"));
    EXPECT_EQ(createTemporaryBeside((dir / "none/a.mp4").string(), error), "");
    EXPECT_NE(error, "");
}

// A name is taken by any entry, a dangling link too, and is not created through the link.
TEST_F(RecordingFilesTest, NumberedNamesAreClaimedOnceEach) {
    fs::current_path(dir);
    std::string error;
    EXPECT_EQ(claimNumberedName(".mp4", error), "orva-0001.mp4");
    fs::create_symlink(dir / "elsewhere", "orva-0002.mp4");
    std::ofstream("orva-0003.mp4") << "x";
    EXPECT_EQ(claimNumberedName(".mp4", error), "orva-0004.mp4");
    EXPECT_EQ(claimNumberedName(".png", error), "orva-0001.png");
    EXPECT_FALSE(fs::exists(dir / "elsewhere"));
    EXPECT_EQ(fs::file_size("orva-0004.mp4"), 0u);
}

} // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "gait/step_generator.h"
#include "model/core_setup.h"
#include "shell/idle_pass.h"
#include "shell/lab.h"
#include "shell/recording.h"
#include "walking/walk_cycle.h"

using namespace orva;
namespace fs = std::filesystem;

namespace {

// parseRecordOptions (or windowArguments, given start) over "orva" and the words of line; left
// gets what goes on to GLUT.
int parse(const std::string& line, RecordRequest& request, std::string* err = nullptr,
          std::string* left = nullptr, GaitTarget* start = nullptr) {
    std::vector<std::string> words{"orva"};
    std::istringstream split(line);
    for (std::string word; split >> word;) words.push_back(word == "''" ? "" : word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    std::ostringstream said;
    const int status = start ? windowArguments(argc, argv.data(), *start, request, said)
                             : parseRecordOptions(argc, argv.data(), request, said);
    if (err) *err = said.str();
    for (int i = 0; left && i < argc; ++i) *left += std::string(argv[i]) + " ";
    return status;
}

TEST(RecordingTest, OptionsAreTakenOutCheckedAndTheRestGoesToGlut) {
    RecordRequest r, d;
    std::string left;
    EXPECT_EQ(parse("-display :1", r), -1);
    EXPECT_FALSE(r.wanted);
    EXPECT_EQ(parse("--record a.mp4 -display :1 --seconds 2.5 --view side-on --size 320x240 "
                    "--mode 7 --ghost torso",
                    r, nullptr, &left),
              -1);
    EXPECT_EQ(left, "orva -display :1 ");
    EXPECT_TRUE(r.wanted);
    EXPECT_EQ(r.file, "a.mp4");
    EXPECT_EQ(r.seconds, 2.5);
    EXPECT_EQ(r.view, 1) << "side-on";
    EXPECT_EQ(r.width, 320);
    EXPECT_EQ(r.height, 240);
    EXPECT_EQ(r.mode, 7);
    EXPECT_TRUE(r.ghost);
    EXPECT_EQ(r.ghostFree, FreeJoints::torso);
    EXPECT_EQ(parse("--record b.mp4", d), -1);
    EXPECT_EQ(d.seconds, 10);
    EXPECT_EQ(d.width, 640);
    EXPECT_EQ(d.height, 480);
    EXPECT_EQ(d.view, 0) << "follow";
    EXPECT_EQ(d.mode, 0);
    EXPECT_FALSE(d.ghost);

    for (const char* wrong :
         {"--seconds 3", "--record", "--record --seconds 2", "--record a --record b",
          "--record a --seconds 0", "--record a --seconds 2s", "--record a --size 641x480",
          "--record a --size 14x480", "--record a --size 640x480x2", "--record a --view top",
          "--record a --mode 16", "--record a --frames 9", "--record a --ghost knee"}) {
        RecordRequest w;
        std::string err;
        EXPECT_EQ(parse(wrong, w, &err), 2) << wrong;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << wrong; // one line
    }
}

// Frame k shows the walk 0.03 k s from its start; those before the duration are kept.
TEST(RecordingTest, FramesComeEveryFourthIncrementUpToTheDuration) {
    EXPECT_EQ(videoFrameCount(2), 67);
    EXPECT_EQ(videoFrameCount(0.33), 11); // 11.000000000000002 frame periods
    EXPECT_EQ(videoFrameCount(0.031), 2);
    EXPECT_EQ(videoFrameCount(1e-4), 1);
    EXPECT_EQ(videoFrameCount(3600), 120000);
    VideoClock clock;
    for (int increment = 1; increment <= 12; ++increment)
        EXPECT_EQ(frameDueAfterIncrement(clock), increment % 4 == 0) << increment;
}

// The window program's arguments: --mode and --gait exclude each other; --mode's row is the
// start; the container is told by the name. The walk starts on the row asked for as it starts
// on row 0, and stays there: the keys show that row, so no change back is asked for.
TEST(RecordingTest, AWalkStartsOnItsRowInItsViewAndSize) {
    setupCore();
    const std::string file = "/tmp/orva-recording-arguments-" + std::to_string(getpid());
    RecordRequest r;
    GaitTarget start;
    std::string err;
    EXPECT_EQ(parse("--record " + file + ".mp4 --mode 3 --gait mode=2", r, &err, nullptr, &start),
              2);
    EXPECT_NE(err.find("--mode and --gait exclude each other"), std::string::npos) << err;
    for (const char* ending : {".webm", "", ".mp4.part", ".MP4"}) {
        RecordRequest w;
        err.clear();
        EXPECT_EQ(parse("--record " + file + ending, w, &err, nullptr, &start), 2) << ending;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << ending << ": " << err;
    }
    for (const char* ending : {".mkv", ".avi", ".mov"}) {
        RecordRequest w;
        EXPECT_EQ(parse("--record " + file + ending + " --gait mode=2", w, &err, nullptr, &start),
                  -1)
            << ending << ": " << err;
        EXPECT_EQ(start.mode, 2) << "--gait is the start";
    }

    ASSERT_EQ(parse("--record " + file + ".mp4 --mode 13 --view side-on --size 64x48 --ghost both",
                    r, &err, nullptr, &start),
              -1)
        << err;
    EXPECT_EQ(start.mode, 13);
    Lab lab;
    startWalking(lab, start);
    applyRecordRequest(r, lab);
    TrajectorySegment step;
    ASSERT_TRUE(generateStep(gaitTable.rows[13], step));
    EXPECT_EQ(lab.walker.segments[2].duration, step.duration);
    EXPECT_EQ(lab.walker.segments[0].poly[2].c[3], step.poly[2].c[3]);
    EXPECT_EQ(lab.window.width, 64);
    EXPECT_EQ(lab.window.height, 48);
    EXPECT_EQ(lab.camera.view, 1) << "side-on";
    EXPECT_TRUE(lab.ghost.shown);
    EXPECT_EQ(lab.ghost.free, FreeJoints::both);
    for (int i = 0; i < 2000; ++i) idlePass(lab);
    EXPECT_EQ(lab.walker.current.mode, 13);
    EXPECT_EQ(lab.walker.changeLatched, 0);
}

// Only a regular file in a folder that takes new files is replaced; the temporary file lies
// beside it; a numbered name is taken by any entry, a dangling link too, never created through.
TEST(RecordingTest, VideoFilesAreMadeBesideTheirNameAndNeverThroughALink) {
    const fs::path before = fs::current_path();
    char name[] = "/tmp/orva-recording-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const fs::path dir = name;
    fs::current_path(dir);
    std::ofstream("old.mp4") << "x";
    fs::create_directory("sub");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    fs::create_symlink("elsewhere", "orva-0002.mp4");
    EXPECT_EQ(videoPathProblem("old.mp4") + videoPathProblem("sub/new.mp4"), "");
    for (const char* bad : {"sub", "sub/", "pipe", "orva-0002.mp4", "none/a.mp4", "/proc/a.mp4"})
        EXPECT_NE(videoPathProblem(bad), "") << bad;
    std::string error;
    const std::string first = createTemporaryBeside("sub/new.mp4", error);
    EXPECT_NE(first, createTemporaryBeside("sub/new.mp4", error));
    EXPECT_EQ(fs::path(first).parent_path(), "sub");
    EXPECT_FALSE(fs::exists("sub/new.mp4"));
    fs::current_path(before);
    fs::remove_all(dir);
}

} // namespace

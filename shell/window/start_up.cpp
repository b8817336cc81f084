#include "shell/window/start_up.h"

#include "assets/data_files.h"
#include "shell/camera_input.h"
#include "shell/gait_option.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

void openStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor is this one: those below it are open by now.
        ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    }
}

namespace {

const char* const labKeysHelp =
    "r        pacing on or off: the walk follows the wall clock times a speed factor\n"
    "+ or =   speed factor x2 (up to 4x); -  speed factor /2 (down to 1/16x)\n"
    "p        pause or resume; o  while paused, one simulation increment\n"
    "h        the gait lab panel, with the gait explorer and its feasibility map\n"
    "c        camera views in turn: follow, follow side-on, free camera aimed at ORVA\n"
    "v        starts or stops recording the window as a video, orva-NNNN.mp4\n"
    "g        the ghost: each step let loose, its stance ankle free, beside the walk\n"
    "F12      saves the window as orva-NNNN.png (the first free number)\n";

// text with every line indented by margin.
std::string indented(const std::string& text, const std::string& margin) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        out += margin + text.substr(start, next - start);
        start = next;
    }
    return out;
}

} // namespace

int infoOption(int argc, char** argv) {
    const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
    const bool version = argc == 2 && std::strcmp(argv[1], "--version") == 0;
    if (!help && !version) return -1;
    std::ostream& out = std::cout;
    if (version) {
        out << "orva " << ORVA_VERSION << "\n";
    } else {
        out << "usage: orva [--gait GAIT] [GLUT options such as -display DISPLAY]\n"
               "       orva --record FILE.mp4 [--seconds S] [--view follow|side-on] [--size WxH]\n"
               "            [--mode M | --gait GAIT] [--ghost ankle|torso|both]\n\n"
               "Shows ORVA walking in a window. It reads its data files from the folder it is\n"
               "started in:";
        // The file names, wrapped within 80 columns.
        std::string line = "started in:";
        std::vector<std::string> names{basicPieceFile, footPieceFile};
        names.insert(names.end(), std::begin(sceneTextureFiles), std::end(sceneTextureFiles));
        names.back() += ".";
        for (const std::string& name : names) {
            if (line.size() + 1 + name.size() > 80) {
                out << "\n" << name;
                line = name;
            } else {
                out << " " << name;
                line += " " + name;
            }
        }
        out << "\nThe launcher orva-walker starts it in the installed data folder.\n\n"
               "--record writes S seconds of the walk (default 10) from its start on gait mode M\n"
               "(default 0) or GAIT as a video, one frame every 0.03 s of the walk, as fast as\n"
               "the machine allows, then exits; the window is the video's size (default\n"
               "640x480). FILE's ending chooses the container: .mp4, .mkv, .avi or .mov.\n"
               "--ghost shows the ghost (key g) with those joints free. Without a desktop:\n"
               "xvfb-run -a orva --record FILE.mp4 ...\n"
               "The key v records the window to orva-NNNN.mp4 while the walk goes on, the\n"
               "ghost with it while shown.\n\n"
               "  --gait GAIT  start on this gait instead of gait mode 0 (a gait with no usable\n"
               "               step exits 1).\n"
            << indented(gaitOptionHelp(), "               ") << "\nKeys:\n";
        printHelp(out);
        out << "\nThe gait lab's keys:\n" << labKeysHelp;
    }
    if (out.flush()) return 0;
    std::cerr << "orva: cannot write standard output" << std::endl;
    return 1;
}

// orva-replay-assets: runs the 3DS reader and the TGA decoder over the seed and hostile
// inputs, the files and folders named (the data set, kept reproducers written as hex text in
// *.hex files), and cut-short and damaged variants of each, checking what must always hold.
// Built with the sanitizers, it is the test command's guard against crashes found by fuzzing.
//
//   orva-replay-assets [FILE | DIR]...   exit 0 when every input passed
//   orva-replay-assets --write DIR       writes the seeds and hostile inputs as a fuzz corpus:
//                                        DIR/3ds and DIR/tga
#include "fuzz/asset_checks.h"
#include "fuzz/hostile_inputs.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

bool readInput(const fs::path& path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.clear();
    if (path.extension() != ".hex") {
        bytes.assign(text.begin(), text.end());
        return true;
    }
    // Reproducers are kept as hex text: two digits a byte; lines starting with # are notes.
    int high = -1;
    bool note = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 0 || text[i - 1] == '\n') note = c == '#';
        if (note || !std::isxdigit(static_cast<unsigned char>(c))) continue;
        const int digit =
            std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(std::uint8_t(high * 16 + digit));
            high = -1;
        }
    }
    return true;
}

std::size_t checked = 0;

void checkBoth(const Bytes& bytes) {
    checkModelReader(bytes.data(), bytes.size());
    checkTgaDecoder(bytes.data(), bytes.size());
    ++checked;
}

// The input itself, cut at spread-out lengths, and with a few bytes overwritten.
void replay(const Bytes& input) {
    checkBoth(input);
    const std::size_t cuts = std::min<std::size_t>(input.size(), 48);
    for (std::size_t i = 0; i < cuts; ++i) {
        checkBoth(Bytes(input.begin(), input.begin() + std::ptrdiff_t(input.size() * i / cuts)));
    }
    std::uint32_t seed = std::uint32_t(input.size()) * 2654435761u + 1;
    for (int variant = 0; variant < 32 && !input.empty(); ++variant) {
        Bytes damaged = input;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t at = (seed >> 8) % std::min<std::size_t>(damaged.size(), 4096);
            damaged[at] = std::uint8_t(seed >> (variant % 2 ? 24 : 0));
        }
        checkBoth(damaged);
    }
}

int writeCorpus(const fs::path& directory) {
    std::error_code error;
    for (const char* kind : {"3ds", "tga"}) fs::create_directories(directory / kind, error);
    std::vector<DataFile> inputs = makeSeedInputs();
    for (DataFile& file : makeHostileInputs()) inputs.push_back(std::move(file));
    for (const DataFile& file : inputs) {
        const bool image = fs::path(file.name).extension() == ".tga";
        const bool model = fs::path(file.name).extension() == ".3ds";
        for (const char* kind : {"3ds", "tga"}) {
            if ((image && kind[0] == '3') || (model && kind[0] == 't')) continue;
            std::ofstream out(directory / kind / file.name, std::ios::binary);
            out.write(reinterpret_cast<const char*>(file.bytes.data()),
                      std::streamsize(file.bytes.size()));
            if (!out) {
                std::cerr << "orva-replay-assets: cannot write into " << directory << "\n";
                return 1;
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write") return writeCorpus(argv[2]);
    // The reader's warnings are not what is checked here.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    for (const DataFile& file : makeSeedInputs()) replay(file.bytes);
    for (const DataFile& file : makeHostileInputs()) replay(file.bytes);
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> paths;
        if (fs::is_directory(argv[i])) {
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[i])) {
                if (entry.is_regular_file()) paths.push_back(entry.path());
            }
        } else {
            paths.push_back(argv[i]);
        }
        for (const fs::path& path : paths) {
            Bytes bytes;
            if (!readInput(path, bytes)) {
                std::cerr << "orva-replay-assets: cannot read " << path << "\n";
                return 1;
            }
            replay(bytes);
        }
    }
    std::cerr << "orva-replay-assets: " << checked << " inputs passed\n";
    return 0;
}

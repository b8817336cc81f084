// orva-replay-assets: runs the 3DS reader and the TGA decoder over the seed and hostile
// inputs, the files and folders named (the data set, kept reproducers written as hex text in
// *.hex files), and cut-short and damaged variants of each, checking what must always hold.
// Built with the sanitizers, it is the test command's guard against crashes found by fuzzing.
//
//   orva-replay-assets [FILE | DIR]...   exit 0 when every input passed
#include "assets/asset_writer.h"
#include "assets/data_set.h"
#include "fuzz/asset_checks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes randomBytes(std::size_t size, std::uint32_t seed, bool primaryFirst) {
    Bytes bytes(size);
    for (unsigned char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = std::uint8_t(seed >> 24);
    }
    if (primaryFirst) bytes[0] = bytes[1] = 0x4D;
    return bytes;
}

// Each container kind nested far deeper than any stack holds, as the reader's recursion would.
Bytes deepNesting(std::uint16_t container) {
    ChunkWriter w;
    beginChunk(w, 0x4D4D);
    // Objects hold the mesh chunks, materials the map chunks; editor data nests by itself.
    const bool wrapped = container != 0x3D3D;
    if (wrapped) beginChunk(w, container == 0xA200 ? 0xAFFF : 0x4000);
    if (container == 0x4100) putText(w, "deep");
    for (int i = 0; i < 100000; ++i) beginChunk(w, container);
    while (!w.openChunks.empty()) endChunk(w);
    return w.bytes;
}

// The data set made small, for seeds.
std::vector<DataFile> makeSeedInputs() {
    std::vector<DataFile> seeds = makeDataSet(8, 4);
    seeds.push_back({"odd-width.tga", encodeTga(3, 5, 24, Bytes(45, 90))});
    return seeds;
}

// Files built to hurt a reader: deep nesting of each container kind, random bytes. Damaged
// lengths, huge counts and image sizes are the unit tests' cases.
std::vector<DataFile> makeHostileInputs() {
    return {{"deep-meshes", deepNesting(0x4100)},
            {"deep-maps", deepNesting(0xA200)},
            {"deep-editor", deepNesting(0x3D3D)},
            {"random-mesh", randomBytes(4096, 7, true)},
            {"random", randomBytes(4096, 11, false)}};
}

// Reproducers are kept as hex text, two digits a byte; lines starting with # are notes.
Bytes readInput(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "orva-replay-assets: cannot read " << path << "\n";
        std::exit(1);
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (path.extension() != ".hex") return Bytes(text.begin(), text.end());
    Bytes bytes;
    std::string digits;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (text[start] != '#') digits += text.substr(start, end - start);
        start = end + 1;
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(std::uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
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

} // namespace

int main(int argc, char** argv) {
    // The reader's warnings are not what is checked here.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    for (const DataFile& file : makeSeedInputs()) replay(file.bytes);
    for (const DataFile& file : makeHostileInputs()) replay(file.bytes);
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> paths = {argv[i]};
        if (fs::is_directory(argv[i])) {
            paths.clear();
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[i])) {
                if (entry.is_regular_file()) paths.push_back(entry.path());
            }
        }
        for (const fs::path& path : paths) replay(readInput(path));
    }
    std::cerr << "orva-replay-assets: " << checked << " inputs passed\n";
    return 0;
}

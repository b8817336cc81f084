// The fuzz corpus replay: the 3DS reader and the TGA decoder over the seed and hostile inputs
// and the kept reproducers (hex text in fuzz/reproducers/*.hex), each also cut short and
// damaged, checking what must always hold. In the sanitizer build this is where a crash found
// by fuzzing would show.
#include "assets/asset_writer.h"
#include "assets/data_set.h"
#include "fuzz/asset_checks.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

using Bytes = std::vector<unsigned char>;

// Each container kind nested far deeper than any stack holds, as the reader's recursion would.
Bytes deepNesting(std::uint16_t container) {
    ChunkWriter w;
    beginChunk(w, 0x4D4D);
    // Objects hold the mesh chunks, materials the map chunks; editor data nests by itself.
    if (container != 0x3D3D) beginChunk(w, container == 0xA200 ? 0xAFFF : 0x4000);
    if (container == 0x4100) putText(w, "deep");
    for (int i = 0; i < 100000; ++i) beginChunk(w, container);
    while (!w.openChunks.empty()) endChunk(w);
    return w.bytes;
}

// Two hex digits a byte; lines starting with # are notes.
Bytes readHex(const std::filesystem::path& path) {
    std::ifstream in(path);
    Bytes bytes;
    for (std::string line; std::getline(in, line);) {
        for (std::size_t i = 0; line[0] != '#' && i + 1 < line.size(); i += 2) {
            bytes.push_back(std::uint8_t(std::stoi(line.substr(i, 2), nullptr, 16)));
        }
    }
    return bytes;
}

void checkBoth(const Bytes& bytes) {
    checkModelReader(bytes.data(), bytes.size());
    checkTgaDecoder(bytes.data(), bytes.size());
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

// A broken promise aborts with a message, failing the whole test binary.
TEST(AssetInputs, ReadersKeepTheirPromisesOnSeedsHostileFilesAndReproducers) {
    std::vector<Bytes> inputs = {deepNesting(0x4100), deepNesting(0xA200), deepNesting(0x3D3D),
                                 encodeTga(3, 5, 24, Bytes(45, 90))};
    for (const DataFile& file : makeDataSet(8, 4)) inputs.push_back(file.bytes);
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(__FILE__).parent_path() / "reproducers")) {
        if (entry.path().extension() == ".hex") inputs.push_back(readHex(entry.path()));
    }
    ASSERT_GT(inputs.size(), 15u);      // the reproducers were found
    testing::internal::CaptureStdout(); // the reader's warnings are not what is checked here
    for (const Bytes& input : inputs) replay(input);
    testing::internal::GetCapturedStdout();
}

} // namespace

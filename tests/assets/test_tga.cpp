#include "assets/asset_writer.h"
#include "assets/data_set.h"
#include "assets/model_reader.h"
#include "assets/tga_image.h"
#include "tests/assets/temp_file.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

std::string writeTempFile(const std::vector<unsigned char>& bytes, const char* name) {
    const std::string path = testing::TempDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

namespace {

using Bytes = std::vector<unsigned char>;

TEST(TgaImage, SwapsBlueAndRedAndReadsBackWhatTheWriterStores) {
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (const int bits : {24, 32}) {
        const Bytes file = encodeTga(4 * 24 / bits, 1, bits, pixels);
        EXPECT_EQ(Bytes(file.begin() + 18, file.begin() + 21), (Bytes{3, 2, 1})); // stored BGR
        TgaTexture t;
        ASSERT_EQ(decodeTgaImage(t, file.data(), file.size()), TgaStatus::loaded);
        EXPECT_EQ(t.pixels, pixels);
    }
}

TEST(TgaImage, RefusesOtherLayoutsShortFilesAndSizesAboveTheLimit) {
    struct Case {
        int offset, value;
        TgaStatus expected;
    };
    const Case cases[] = {
        {2, 10, TgaStatus::notAccepted}, // run-length encoded
        {0, 1, TgaStatus::notAccepted},  // image ID present
        {1, 1, TgaStatus::notAccepted},  // colour map
        {8, 1, TgaStatus::notAccepted},  // x origin
        {12, 0, TgaStatus::zeroSize},          {16, 16, TgaStatus::unsupportedDepth},
        {16, 64, TgaStatus::unsupportedDepth}, {15, 0x41, TgaStatus::tooLarge}, // 16642 high
    };
    const Bytes whole = encodeTga(1, 2, 24, Bytes(6, 7));
    for (const Case& c : cases) {
        Bytes file = whole;
        file[std::size_t(c.offset)] = std::uint8_t(c.value);
        TgaTexture t;
        EXPECT_EQ(decodeTgaImage(t, file.data(), file.size()), c.expected) << c.offset;
        EXPECT_TRUE(t.pixels.empty());
    }
    TgaTexture t;
    EXPECT_EQ(decodeTgaImage(t, whole.data(), 11), TgaStatus::notAccepted);
    EXPECT_EQ(decodeTgaImage(t, whole.data(), whole.size() - 1), TgaStatus::shortPixels);
    EXPECT_TRUE(t.pixels.empty());
    // A side above the limit, with all its pixels present.
    const Bytes wide = encodeTga(maxTgaSide + 1, 1, 24, Bytes((maxTgaSide + 1) * 3, 1));
    EXPECT_EQ(decodeTgaImage(t, wide.data(), wide.size()), TgaStatus::tooLarge);
}

// A pipe would block the open (or the first read) for ever; a folder holds no data file.
TEST(DataFiles, RegularFilesAreReadPipesAndFoldersRefusedLikeMissingFiles) {
    const std::string pipe = testing::TempDir() + "orva_pipe", folder = testing::TempDir();
    std::remove(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string mesh = writeTempFile(makeBasicPiece(), "orva_piece.3ds");
    const std::string image = writeTempFile(encodeTga(1, 1, 24, {1, 2, 3}), "orva_image.tga");
    for (const std::string& path : {pipe, folder, std::string("no/such/piece"), mesh, image}) {
        TgaTexture texture;
        EXPECT_EQ(readTgaFile(texture, path.c_str()) == TgaStatus::loaded, path == image);
        MeshModel model;
        testing::internal::CaptureStdout();
        EXPECT_EQ(ModelReader{}.importFile(model, path.c_str()), path == mesh);
        EXPECT_EQ(model.objectCount, path == mesh ? 2 : 0);
        const std::string refused = "Error - Unable to find the file: " + path + "\n";
        EXPECT_EQ(testing::internal::GetCapturedStdout() == refused, path != mesh && path != image);
    }
    for (const std::string& path : {pipe, mesh, image}) std::remove(path.c_str());
}

} // namespace

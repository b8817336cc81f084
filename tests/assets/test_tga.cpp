#include "assets/asset_writer.h"
#include "assets/model_reader.h"
#include "assets/tga_image.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;

// Written by hand, apart from the writer the data set uses.
Bytes tgaFile(int width, int height, int bits, Bytes pixels) {
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const int v : {width, height})
        file.push_back(std::uint8_t(v)), file.push_back(std::uint8_t(v >> 8));
    file.push_back(std::uint8_t(bits));
    file.push_back(0);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

std::string writeTemp(const Bytes& bytes, const char* name) {
    const std::string path = testing::TempDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

TEST(TgaImage, SwapsBlueAndRedAndReadsBackWhatTheWriterStores) {
    TgaTexture rgb, rgba;
    ASSERT_EQ(decodeTgaImage(rgb, tgaFile(2, 1, 24, {10, 20, 30, 40, 50, 60}).data(), 24),
              TgaStatus::loaded);
    EXPECT_EQ(rgb.pixels, (Bytes{30, 20, 10, 60, 50, 40}));
    ASSERT_EQ(decodeTgaImage(rgba, tgaFile(1, 1, 32, {1, 2, 3, 4}).data(), 22), TgaStatus::loaded);
    EXPECT_EQ(rgba.pixels, (Bytes{3, 2, 1, 4}));
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (const int bits : {24, 32}) {
        const Bytes file = encodeTga(4 * 24 / bits, 1, bits, pixels);
        ASSERT_EQ(decodeTgaImage(rgb, file.data(), file.size()), TgaStatus::loaded);
        EXPECT_EQ(rgb.pixels, pixels);
    }
}

TEST(TgaImage, RefusesOtherLayoutsShortFilesAndSizesAboveTheLimitBeforeAllocating) {
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
        {16, 64, TgaStatus::unsupportedDepth},
    };
    const Bytes whole = tgaFile(1, 2, 24, Bytes(6, 7));
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

    // A side above the limit, with all its pixels present, from bytes and from a file.
    const Bytes wide = tgaFile(maxTgaSide + 1, 1, 24, Bytes((maxTgaSide + 1) * 3, 1));
    TgaTexture fromBytes, fromFile, sparse;
    EXPECT_NE(decodeTgaImage(fromBytes, wide.data(), wide.size()), TgaStatus::loaded);
    EXPECT_NE(readTgaFile(fromFile, writeTemp(wide, "orva_wide.tga").c_str()), TgaStatus::loaded);
    EXPECT_TRUE(fromBytes.pixels.empty() && fromFile.pixels.empty());
    // A sparse file: 2.4 GB declared, and present as far as its size tells, in a few bytes.
    const std::string path = writeTemp(tgaFile(20000, 30000, 32, {}), "orva_sparse.tga");
    ASSERT_EQ(truncate(path.c_str(), 18 + 20000LL * 30000 * 4), 0);
    EXPECT_EQ(readTgaFile(sparse, path.c_str()), TgaStatus::tooLarge);
    EXPECT_TRUE(sparse.width == 20000 && sparse.height == 30000);
    std::remove(path.c_str());
}

// A pipe would block the open (or the first read) for ever; a folder holds no data file.
TEST(DataFiles, PipesAndFoldersAreRefusedLikeMissingFiles) {
    const std::string pipe = testing::TempDir() + "orva_pipe", folder = testing::TempDir();
    std::remove(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, folder, std::string("no/such/piece")}) {
        TgaTexture texture;
        EXPECT_EQ(readTgaFile(texture, path.c_str()), TgaStatus::cannotOpen);
        MeshModel model;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(ModelReader{}.importFile(model, path.c_str()));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Error - Unable to find the file: " + path + "\n");
    }
    std::remove(pipe.c_str());
}

} // namespace

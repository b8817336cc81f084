#include "assets/asset_writer.h"
#include "assets/tga_image.h"
#include "assets/tga_texture.h"
#include "tests/assets/fake_gl.h"

#include <GL/gl.h>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes tgaFile(int width, int height, int bits, Bytes pixels) {
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const int v : {width, height})
        file.push_back(std::uint8_t(v)), file.push_back(std::uint8_t(v >> 8));
    file.push_back(std::uint8_t(bits));
    file.push_back(0);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

std::string writeTemp(const Bytes& bytes) {
    const std::string path = testing::TempDir() + "orva_test.tga";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

TEST(TgaImage, SwapsBlueAndRedOfEveryPixel) {
    TgaTexture rgb, rgba;
    ASSERT_EQ(decodeTgaImage(rgb, tgaFile(2, 1, 24, {10, 20, 30, 40, 50, 60}).data(), 24),
              TgaStatus::loaded);
    EXPECT_EQ(rgb.pixels, (Bytes{30, 20, 10, 60, 50, 40}));
    ASSERT_EQ(decodeTgaImage(rgba, tgaFile(1, 1, 32, {1, 2, 3, 4}).data(), 22), TgaStatus::loaded);
    EXPECT_EQ(rgba.pixels, (Bytes{3, 2, 1, 4}));
    // The writer the data set uses stores what the decoder reads back.
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const Bytes file = encodeTga(3, 1, 24, pixels);
    ASSERT_EQ(decodeTgaImage(rgb, file.data(), file.size()), TgaStatus::loaded);
    EXPECT_EQ(rgb.pixels, pixels);
}

TEST(TgaImage, RefusesOtherLayoutsShortFilesAndHugeDeclaredSizes) {
    struct Case {
        int offset, value;
        TgaStatus expected;
    };
    const Case cases[] = {
        {2, 10, TgaStatus::notAccepted}, // run-length encoded
        {0, 1, TgaStatus::notAccepted},  // image ID present
        {1, 1, TgaStatus::notAccepted},  // colour map
        {8, 1, TgaStatus::notAccepted},  // x origin
        {12, 0, TgaStatus::zeroSize},    {16, 16, TgaStatus::unsupportedDepth},
    };
    for (const Case& c : cases) {
        Bytes file = tgaFile(1, 2, 24, Bytes(6, 7));
        file[std::size_t(c.offset)] = std::uint8_t(c.value);
        TgaTexture t;
        EXPECT_EQ(decodeTgaImage(t, file.data(), file.size()), c.expected) << c.offset;
        EXPECT_TRUE(t.pixels.empty());
        if (c.expected == TgaStatus::unsupportedDepth) {
            EXPECT_EQ(t.width * 10 + t.height, 12u); // stored before the depth is looked at
        }
    }
    const Bytes whole = tgaFile(1, 2, 24, Bytes(6, 7));
    TgaTexture t;
    EXPECT_EQ(decodeTgaImage(t, whole.data(), 11), TgaStatus::notAccepted);
    EXPECT_EQ(decodeTgaImage(t, whole.data(), whole.size() - 1), TgaStatus::shortPixels);
    EXPECT_TRUE(t.pixels.empty());

    // 65535 x 65535 at 32 bits declares 17 GB; the file holds one byte of it. Refused before
    // allocating, from bytes and from a file.
    const Bytes huge = tgaFile(65535, 65535, 32, {1});
    TgaTexture fromBytes, fromFile;
    EXPECT_EQ(decodeTgaImage(fromBytes, huge.data(), huge.size()), TgaStatus::tooLarge);
    EXPECT_EQ(readTgaFile(fromFile, writeTemp(huge).c_str()), TgaStatus::tooLarge);
    EXPECT_TRUE(fromFile.pixels.empty());
    EXPECT_EQ(fromFile.width, 65535u);
}

TEST(TgaTexture, UploadsTightlyPackedRowsRestoresTheAlignmentAndSkipsBadFiles) {
    resetFakeGl();
    fakeUnpackAlignment = 8;
    TgaTexture odd;
    ASSERT_TRUE(loadTgaTexture(odd, writeTemp(tgaFile(3, 2, 24, Bytes(18, 5))).c_str()));
    EXPECT_EQ(odd.textureName, 1u);
    const std::vector<std::string> expected = {
        "glGenTextures 1",
        "glBindTexture 3553 1",
        "glTexParameterf 3553 10241 9729",
        "glTexParameterf 3553 10240 9729",
        "glPixelStorei 3317 1",
        "glTexImage2D 3553 0 6407 3 2 0 6407 5121 1", // GL_RGB, rows of 9 bytes, alignment 1
        "glPixelStorei 3317 8",
    };
    EXPECT_EQ(glCallLog, expected);

    resetFakeGl();
    TgaTexture rgba;
    ASSERT_TRUE(loadTgaTexture(rgba, writeTemp(tgaFile(1, 1, 32, {1, 2, 3, 4})).c_str()));
    EXPECT_EQ(glCallsStartingWith("glTexImage2D"),
              std::vector<std::string>{"glTexImage2D 3553 0 6408 1 1 0 6408 5121 1"});

    // Missing or refused files make no texture and send nothing.
    resetFakeGl();
    TgaTexture untouched, refused;
    untouched.width = 77;
    EXPECT_FALSE(loadTgaTexture(untouched, "no/such/file.tga"));
    EXPECT_EQ(untouched.width, 77u);
    EXPECT_FALSE(loadTgaTexture(refused, writeTemp(tgaFile(2, 2, 24, {1, 2, 3})).c_str()));
    EXPECT_EQ(refused.textureName, 0u);
    EXPECT_TRUE(glCallLog.empty());
}

} // namespace

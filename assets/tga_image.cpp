#include "assets/tga_image.h"

#include "assets/regular_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t prefixSize = 12;
constexpr std::size_t headerSize = 18;
// No image ID, no colour map, type 2, zero colour-map fields, zero origin.
constexpr unsigned char acceptedPrefix[prefixSize] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Steps up to the size of the pixel data; stores width, height and depth as it goes.
TgaStatus readHeader(TgaTexture& texture, const unsigned char* header, std::size_t size,
                     std::uint32_t maxSide, std::uint64_t& pixelBytes) {
    if (size < prefixSize || std::memcmp(header, acceptedPrefix, prefixSize) != 0) {
        return TgaStatus::notAccepted;
    }
    if (size < headerSize) return TgaStatus::notAccepted;
    const unsigned char* sizes = header + prefixSize; // width, height, depth
    texture.width = sizes[0] + 256u * sizes[1];
    texture.height = sizes[2] + 256u * sizes[3];
    if (texture.width == 0 || texture.height == 0) return TgaStatus::zeroSize;
    if (sizes[4] != 24 && sizes[4] != 32) return TgaStatus::unsupportedDepth;
    texture.bitsPerPixel = sizes[4];
    if (texture.width > maxSide || texture.height > maxSide) return TgaStatus::tooLarge;
    pixelBytes = std::uint64_t(texture.width) * texture.height * (texture.bitsPerPixel / 8);
    return TgaStatus::loaded;
}

bool allocatePixels(TgaTexture& texture, std::uint64_t pixelBytes) {
    try {
        texture.pixels.assign(std::size_t(pixelBytes), 0);
        return true;
    } catch (const std::bad_alloc&) {
        texture.pixels = {};
        return false;
    }
}

void swapRedAndBlue(TgaTexture& texture) {
    const std::size_t step = texture.bitsPerPixel / 8;
    for (std::size_t i = 0; i + 2 < texture.pixels.size(); i += step) {
        std::swap(texture.pixels[i], texture.pixels[i + 2]);
    }
}

} // namespace

TgaStatus decodeTgaImage(TgaTexture& texture, const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr) size = 0;
    std::uint64_t pixelBytes = 0;
    const TgaStatus header = readHeader(texture, bytes, size, maxTgaSide, pixelBytes);
    if (header != TgaStatus::loaded) return header;
    if (size - headerSize < pixelBytes) {
        texture.pixels = {};
        return TgaStatus::shortPixels;
    }
    if (!allocatePixels(texture, pixelBytes)) return TgaStatus::outOfMemory;
    std::memcpy(texture.pixels.data(), bytes + headerSize, texture.pixels.size());
    swapRedAndBlue(texture);
    return TgaStatus::loaded;
}

TgaStatus readTgaFile(TgaTexture& texture, const char* fileName, std::uint32_t maxSide) {
    std::FILE* file = openRegularFile(fileName);
    if (file == nullptr) return TgaStatus::cannotOpen;
    unsigned char header[headerSize];
    const std::size_t got = std::fread(header, 1, headerSize, file);
    std::uint64_t pixelBytes = 0;
    TgaStatus status = readHeader(texture, header, got, maxSide, pixelBytes);
    if (status == TgaStatus::loaded) {
        // Only bytes the file really holds are worth a buffer.
        const long start = std::ftell(file);
        const bool sized = start >= 0 && std::fseek(file, 0, SEEK_END) == 0;
        const long end = sized ? std::ftell(file) : -1;
        const bool enough = end >= start && std::uint64_t(end - start) >= pixelBytes &&
                            std::fseek(file, start, SEEK_SET) == 0;
        if (!enough) {
            status = TgaStatus::shortPixels;
        } else if (!allocatePixels(texture, pixelBytes)) {
            status = TgaStatus::outOfMemory;
        } else if (std::fread(texture.pixels.data(), 1, texture.pixels.size(), file) <
                   texture.pixels.size()) {
            status = TgaStatus::shortPixels;
        }
        if (status == TgaStatus::loaded) {
            swapRedAndBlue(texture);
        } else {
            texture.pixels = {};
        }
    }
    std::fclose(file);
    return status;
}

const char* describeTgaStatus(TgaStatus status) {
    switch (status) {
    case TgaStatus::loaded:
        return "loaded";
    case TgaStatus::cannotOpen:
        return "cannot open the file";
    case TgaStatus::notAccepted:
        return "not an uncompressed true-colour TGA";
    case TgaStatus::zeroSize:
        return "width or height is 0";
    case TgaStatus::unsupportedDepth:
        return "bits per pixel neither 24 nor 32";
    case TgaStatus::tooLarge:
        return "width or height above the largest texture side accepted";
    case TgaStatus::shortPixels:
        return "fewer pixel bytes than the header declares";
    case TgaStatus::outOfMemory:
        return "out of memory";
    }
    return "unknown";
}

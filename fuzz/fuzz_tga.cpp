// libFuzzer target: the TGA decoder on arbitrary bytes.
#include "fuzz/asset_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkTgaDecoder(data, size);
    return 0;
}

// libFuzzer target: the 3DS chunk walk on arbitrary bytes.
#include "fuzz/asset_checks.h"

#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The reader's warnings would flood the fuzzer's own report.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkModelReader(data, size);
    return 0;
}

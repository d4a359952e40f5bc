// One libFuzzer target: QUINDOR_FUZZ_ENTRY names the entry function it drives.

#include "platform_fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return platform_fuzz::QUINDOR_FUZZ_ENTRY(data, size);
}

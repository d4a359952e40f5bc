// libFuzzer driver: see mltlang_fuzz_entries.h.

#include "mltlang_fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return mltlang_fuzz::fuzzObjectStream(data, size);
}

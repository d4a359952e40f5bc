#include "plain_bitmap_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzPlainBitmap(data, size);
}

#pragma once
#include <cstddef>
#include <cstdint>

// Reads the bytes as a page's bitmap and aborts when the plain reader takes bytes that the
// toolkit's reader reads as another image (or not at all).
int fuzzPlainBitmap(const std::uint8_t* data, std::size_t size);

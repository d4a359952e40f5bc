#pragma once
// The plain Windows bitmaps that pages store (16 or 256 colours, or true colour, rows
// uncompressed and bottom up), read without the toolkit: its image reader loads every
// image-format plug-in of the system before it reads a single bitmap. What this reader
// does not take, the toolkit's reader is asked for; what it takes, it reads exactly as
// the toolkit would.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace framework {

struct PlainBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;                // 4, 8 or 24
    std::vector<std::uint32_t> colours;  // 0xffRRGGBB, the colour table of 4 and 8 bits
    // Top row first: colour indexes (4 and 8 bits, each below colours.size()) or
    // 0xffRRGGBB (24 bits).
    std::vector<std::uint32_t> pixels;
    std::int32_t dotsPerMeterX = 0;
    std::int32_t dotsPerMeterY = 0;
};

// The bitmap in bytes, or nothing when it is not a plain bitmap as above (or is cut short).
std::optional<PlainBitmap> readPlainBitmap(std::span<const std::uint8_t> bytes);

}  // namespace framework

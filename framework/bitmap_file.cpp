#include "bitmap_file.h"

#include <cstddef>

namespace framework {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::int64_t kMaxSide = 1 << 15;

std::uint32_t read32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

std::uint16_t read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return 0xff000000u | std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue;
}

std::uint32_t pixelAt(std::span<const std::uint8_t> row, int x, int bits) {
    if (bits == 4) return (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0f;
    if (bits == 8) return row[x];
    const std::size_t at = static_cast<std::size_t>(x) * 3;
    return rgb(row[at + 2], row[at + 1], row[at]);
}

// The rows, bottom up in the file, top down in the bitmap; false on an index beyond the
// colour table (the toolkit's own reading of those is left to it).
bool readRows(std::span<const std::uint8_t> data, std::size_t rowSize, PlainBitmap& bitmap) {
    bitmap.pixels.resize(static_cast<std::size_t>(bitmap.width) *
                         static_cast<std::size_t>(bitmap.height));
    auto out = bitmap.pixels.begin();
    for (int y = bitmap.height - 1; y >= 0; --y) {
        const auto row = data.subspan(static_cast<std::size_t>(y) * rowSize, rowSize);
        for (int x = 0; x < bitmap.width; ++x) *out++ = pixelAt(row, x, bitmap.bitsPerPixel);
    }
    if (bitmap.bitsPerPixel == 24) return true;
    for (const std::uint32_t index : bitmap.pixels) {
        if (index >= bitmap.colours.size()) return false;
    }
    return true;
}

}  // namespace

std::optional<PlainBitmap> readPlainBitmap(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeader + kInfoHeader || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::uint32_t dataAt = read32(bytes, 10);
    const auto width = static_cast<std::int32_t>(read32(bytes, 18));
    const auto height = static_cast<std::int32_t>(read32(bytes, 22));
    const int bits = read16(bytes, 28);
    const std::uint32_t colourCount = read32(bytes, 46);
    if (read32(bytes, 14) != kInfoHeader || read16(bytes, 26) != 1 || read32(bytes, 30) != 0)
        return std::nullopt;
    if ((bits != 4 && bits != 8 && bits != 24) || width <= 0 || height <= 0) return std::nullopt;
    if (width > kMaxSide || height > kMaxSide) return std::nullopt;
    const std::uint32_t colours = bits == 24 ? 0 : (colourCount == 0 ? 1u << bits : colourCount);
    if (colours > (bits == 24 ? 0u : 1u << bits) || (bits == 24 && colourCount != 0))
        return std::nullopt;
    const std::size_t tableEnd = kFileHeader + kInfoHeader + std::size_t{colours} * 4;
    const std::size_t rowSize =
        (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    if (dataAt < tableEnd || dataAt > bytes.size() ||
        (bytes.size() - dataAt) / rowSize < std::size_t(height)) {
        return std::nullopt;
    }
    PlainBitmap bitmap{width,
                       height,
                       bits,
                       {},
                       {},
                       static_cast<std::int32_t>(read32(bytes, 38)),
                       static_cast<std::int32_t>(read32(bytes, 42))};
    for (std::size_t at = kFileHeader + kInfoHeader; at < tableEnd; at += 4) {
        bitmap.colours.push_back(rgb(bytes[at + 2], bytes[at + 1], bytes[at]));
    }
    if (!readRows(bytes.subspan(dataAt), rowSize, bitmap)) return std::nullopt;
    return bitmap;
}

}  // namespace framework

// Page bitmaps read without the toolkit's image reader must be the very images that reader
// makes of the same bytes; bytes the plain reader declines still come out as the toolkit
// reads them.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/bitmap_file.h"
#include "framework/graphics.h"
#include "fuzz/framework/plain_bitmap_entry.h"
#include "fuzz_corpus.h"

using framework::Bytes;

namespace {

struct Layout {
    int width;
    std::int32_t height;  // negative: rows top down
    int bits;
    std::uint32_t coloursUsed = 0;
    std::uint32_t compression = 0;
    std::uint32_t gapBeforeRows = 0;
    std::int32_t dotsPerMeter = 0;
};

void put(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A bitmap file as a paint program writes it; each row's bytes come from rowByte(y, i).
Bytes bitmapFile(const Layout& l, const std::function<std::uint8_t(int, int)>& rowByte) {
    const std::uint32_t colours =
        l.bits > 8 ? 0 : (l.coloursUsed != 0 ? l.coloursUsed : 1u << l.bits);
    const int rowSize = (l.width * l.bits + 31) / 32 * 4;
    const int rows = l.height < 0 ? -l.height : l.height;
    const std::uint32_t dataAt = 14 + 40 + colours * 4 + l.gapBeforeRows;
    Bytes out{'B', 'M'};
    put(out, dataAt + static_cast<std::uint32_t>(rowSize * rows), 4);
    put(out, 0, 4);
    put(out, dataAt, 4);
    for (const std::uint32_t field :
         {40u, static_cast<std::uint32_t>(l.width), static_cast<std::uint32_t>(l.height)}) {
        put(out, field, 4);
    }
    put(out, 1, 2);
    put(out, static_cast<std::uint32_t>(l.bits), 2);
    put(out, l.compression, 4);
    put(out, static_cast<std::uint32_t>(rowSize * rows), 4);
    put(out, static_cast<std::uint32_t>(l.dotsPerMeter), 4);
    put(out, static_cast<std::uint32_t>(l.dotsPerMeter), 4);
    put(out, l.coloursUsed, 4);
    put(out, 0, 4);
    for (std::uint32_t c = 0; c < colours; ++c)
        put(out, (c * 0x3f1d27u) & 0xffffffu, 4);  // blue, green, red, 0
    out.insert(out.end(), l.gapBeforeRows, 0xee);
    for (int y = 0; y < rows; ++y) {
        for (int i = 0; i < rowSize; ++i) out.push_back(rowByte(y, i));
    }
    return out;
}

void expectAsTheToolkitReadsIt(const Bytes& file) {
    const QImage toolkit = QImage::fromData(file.data(), static_cast<int>(file.size()), "BMP");
    ASSERT_FALSE(toolkit.isNull());
    const QImage plain = framework::decodeBitmap(file);
    EXPECT_EQ(plain.format(), toolkit.format());
    EXPECT_EQ(plain.colorTable(), toolkit.colorTable());
    EXPECT_EQ(plain.dotsPerMeterX(), toolkit.dotsPerMeterX());
    EXPECT_EQ(plain.dotsPerMeterY(), toolkit.dotsPerMeterY());
    EXPECT_TRUE(plain == toolkit);
}

}  // namespace

TEST(PlainBitmap, ReadsTheStoredKindsAsTheToolkitDoes) {
    const auto pixels = [](int y, int i) { return static_cast<std::uint8_t>(y * 37 + i * 11); };
    const auto below20 = [](int y, int i) { return static_cast<std::uint8_t>((y * 7 + i) % 20); };
    const std::vector<std::pair<Layout, std::function<std::uint8_t(int, int)>>> cases{
        {{143, 191, 4, 16, 0, 0, 2835}, pixels},  // the welcome page's picture
        {{7, 3, 4}, pixels},                      // odd width: the last pixel is a high nibble
        {{5, 4, 8, 20, 0, 0, 3780}, below20},     // a short colour table
        {{3, 2, 24}, pixels},                     // rows padded to four bytes
        {{32, 16, 4, 0, 0, 12}, pixels},          // rows placed after a gap
    };
    for (const auto& [layout, rowByte] : cases) {
        SCOPED_TRACE(testing::Message()
                     << layout.width << "x" << layout.height << "x" << layout.bits);
        const Bytes file = bitmapFile(layout, rowByte);
        EXPECT_TRUE(framework::readPlainBitmap(file).has_value());
        expectAsTheToolkitReadsIt(file);
    }
}

TEST(PlainBitmap, WhatItDeclinesIsLeftToTheToolkit) {
    const auto pixels = [](int y, int i) { return static_cast<std::uint8_t>(y * 37 + i * 11); };
    Bytes cut = bitmapFile({16, 16, 4}, pixels);
    cut.resize(cut.size() - 3);
    const std::vector<Bytes> declined{
        bitmapFile({6, -4, 8}, pixels),  // top down
        bitmapFile({6, 4, 8, 2},
                   [](int, int) { return std::uint8_t{5}; }),  // index beyond the table
        bitmapFile({9, 4, 1}, pixels),                         // two colours
        bitmapFile({6, 4, 8, 0, 1}, [](int, int) { return std::uint8_t{0}; }),  // run-length coded
        cut,
    };
    for (const Bytes& file : declined) {
        SCOPED_TRACE(&file - declined.data());
        EXPECT_FALSE(framework::readPlainBitmap(file).has_value());
        const QImage toolkit = QImage::fromData(file.data(), static_cast<int>(file.size()), "BMP");
        if (toolkit.isNull()) {
            EXPECT_THROW(framework::decodeBitmap(file), framework::EPropertyError);
        } else {  // pixels the file leaves unset or beyond its colours are the toolkit's own
            const QImage image = framework::decodeBitmap(file);
            EXPECT_EQ(image.size(), toolkit.size());
            EXPECT_EQ(image.format(), toolkit.format());
        }
    }
}

TEST(PlainBitmap, FuzzCorpusReplaysWithoutFinding) {
    EXPECT_GT(testing_support::replayCorpus("plain_bitmap", fuzzPlainBitmap), 0);
}

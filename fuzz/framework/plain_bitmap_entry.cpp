#include "plain_bitmap_entry.h"

#include <QImage>
#include <cstdlib>
#include <vector>

#include "framework/bitmap_file.h"
#include "framework/graphics.h"

int fuzzPlainBitmap(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (!framework::readPlainBitmap(bytes)) return 0;
    const QImage toolkit = QImage::fromData(data, static_cast<int>(size), "BMP");
    const QImage plain = framework::decodeBitmap(bytes);
    if (toolkit.isNull() || plain != toolkit || plain.format() != toolkit.format() ||
        plain.colorTable() != toolkit.colorTable() ||
        plain.dotsPerMeterX() != toolkit.dotsPerMeterX() ||
        plain.dotsPerMeterY() != toolkit.dotsPerMeterY()) {
        std::abort();
    }
    return 0;
}

// A stretched picture shows as the toolkit scales it smoothly, however it is painted.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "framework/picture.h"

namespace {

// A 16-colour bitmap file with sharp edges, where any other scaling shows.
framework::Bytes checkeredBitmap(int width, int height) {
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorCount(16);
    for (int i = 0; i < 16; ++i) image.setColor(i, qRgb(i * 17, 255 - i * 13, (i * 71) % 256));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, ((x / 3) ^ (y / 5)) % 16);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return {bytes.begin(), bytes.end()};
}

QImage smoothlyScaled(const QImage& picture, QSize size) {
    QImage expected(size, QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    return expected;
}

TEST(Picture, AStretchedPictureShowsAsTheToolkitScalesItSmoothly) {
    framework::TImage image(nullptr);
    image.Picture().setData(checkeredBitmap(143, 191));
    image.setStretch(true);
    // Larger and smaller than the picture, and taller than the toolkit paints on one thread.
    for (const QSize frame : {QSize(183, 244), QSize(400, 70), QSize(90, 130), QSize(143, 191)}) {
        image.widget()->resize(frame);
        const QImage shown = image.widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, smoothlyScaled(image.picture(), frame))
            << frame.width() << "x" << frame.height();
    }
}

}  // namespace

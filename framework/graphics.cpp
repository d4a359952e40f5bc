#include "graphics.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "application.h"
#include "bitmap_file.h"

namespace framework {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

QColor toQColor(TColor color) {
    const QPalette palette = QApplication::palette();
    switch (color) {
        case TColor::clBlack: return Qt::black;
        case TColor::clMaroon: return QColor(0x80, 0, 0);
        case TColor::clGreen: return QColor(0, 0x80, 0);
        case TColor::clNavy: return QColor(0, 0, 0x80);
        case TColor::clGray: return QColor(0x80, 0x80, 0x80);
        case TColor::clSilver: return QColor(0xC0, 0xC0, 0xC0);
        case TColor::clRed: return Qt::red;
        case TColor::clBlue: return Qt::blue;
        case TColor::clWhite: return Qt::white;
        case TColor::clBtnFace: return palette.color(QPalette::Button);
        case TColor::clWindow: return palette.color(QPalette::Base);
        case TColor::clWindowText: return Qt::black;
        case TColor::clHighlight: return palette.color(QPalette::Highlight);
        case TColor::clHighlightText: return palette.color(QPalette::HighlightedText);
        case TColor::clGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    }
    return Qt::black;
}

const ClassInfo& TFont::staticClassInfo() {
    using C = TFont;
    return declareClass<C>("TFont", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Name", &C::name, &C::setName),
            valueProperty("Height", &C::height, &C::setHeight),
            valueProperty("Size", &C::size, &C::setSize),
            valueProperty("Style", &C::style, &C::setStyle),
            valueProperty("Color", &C::color, &C::setColor),
        };
    });
}

void TFont::setName(const std::string& value) {
    if (value.empty()) throw EPropertyError("A font needs a name");
    m_name = value;
    changed();
}

void TFont::setHeight(int value) {
    if (value == 0 || value < -1000 || value > 1000)
        throw EPropertyError("Font height out of range");
    m_height = value;
    changed();
}

int TFont::size() const { return mulDiv(std::abs(m_height), 72, pixelsPerInch()); }

void TFont::setSize(int value) { setHeight(-mulDiv(value, pixelsPerInch(), 72)); }

void TFont::setStyle(const TFontStyles& value) {
    m_style = value;
    changed();
}

void TFont::setColor(TColor value) {
    m_color = value;
    changed();
}

int TFont::pixelsPerInch() const {
    if (m_pixelsPerInch > 0) return m_pixelsPerInch;
    return QCoreApplication::instance() != nullptr ? Application::instance().pixelsPerInch()
                                                   : kDesignPixelsPerInch;
}

void TFont::setPixelsPerInch(int value) {
    if (value < 0) throw EPropertyError("Pixels per inch must not be negative");
    m_pixelsPerInch = value;
}

void TFont::assign(const TFont& other) {
    m_name = other.m_name;
    m_height = other.m_height;
    m_style = other.m_style;
    m_color = other.m_color;
    m_pixelsPerInch = other.m_pixelsPerInch;
    changed();
}

QFont TFont::toQFont() const {
    QFont font(QString::fromStdString(m_name));
    // A negative height is the character height in pixels, a positive one the cell height;
    // both map onto a pixel size since page fonts are never scaled by the desktop's DPI.
    font.setPixelSize(std::max(1, std::abs(m_height)));
    font.setBold(m_style.contains(TFontStyle::fsBold));
    font.setItalic(m_style.contains(TFontStyle::fsItalic));
    font.setUnderline(m_style.contains(TFontStyle::fsUnderline));
    font.setStrikeOut(m_style.contains(TFontStyle::fsStrikeOut));
    return font;
}

void TFont::changed() {
    if (onChange) onChange();
}

const ClassInfo& TPicture::staticClassInfo() {
    return declareClass<TPicture>("TPicture", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Data", &TPicture::data, &TPicture::setData)};
    });
}

void TPicture::setData(const Bytes& value) {
    m_image = decodeBitmap(value);
    m_data = value;
    if (onChange) onChange();
}

void TPicture::assign(const TPicture& other) {
    m_data = other.m_data;
    m_image = other.m_image;
    if (onChange) onChange();
}

namespace {

// The image the toolkit's bitmap reader makes of the same bytes: 8-bit indexes over the
// file's colour table, or 32-bit colours.
QImage imageOf(const PlainBitmap& bitmap) {
    const bool indexed = bitmap.bitsPerPixel <= 8;
    QImage image(bitmap.width, bitmap.height,
                 indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (indexed) image.setColorTable(QList<QRgb>(bitmap.colours.begin(), bitmap.colours.end()));
    auto pixel = bitmap.pixels.begin();
    for (int y = 0; y < bitmap.height; ++y) {
        if (indexed) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < bitmap.width; ++x) row[x] = static_cast<uchar>(*pixel++);
        } else {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < bitmap.width; ++x) row[x] = *pixel++;
        }
    }
    image.setDotsPerMeterX(bitmap.dotsPerMeterX);
    image.setDotsPerMeterY(bitmap.dotsPerMeterY);
    return image;
}

}  // namespace

QImage decodeBitmap(const Bytes& data) {
    if (const auto plain = readPlainBitmap(data)) return imageOf(*plain);
    QImage image;
    const bool isBitmap = data.size() > 2 && data[0] == 'B' && data[1] == 'M';
    if (!isBitmap || !image.loadFromData(data.data(), static_cast<int>(data.size()), "BMP")) {
        throw EPropertyError("Bitmap image is not valid");
    }
    return image;
}

}  // namespace framework

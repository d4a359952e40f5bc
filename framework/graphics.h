#pragma once
// The objects controls hold in object properties: fonts and pictures, with the colour
// and font-style enumerations they store.

#include <QImage>
#include <functional>
#include <string>

#include "property.h"

class QColor;
class QFont;

namespace framework {

enum class TColor {
    clBlack,
    clMaroon,
    clGreen,
    clNavy,
    clGray,
    clSilver,
    clRed,
    clBlue,
    clWhite,
    clBtnFace,
    clWindow,
    clWindowText,
    clHighlight,
    clHighlightText,
    clGrayText,
};
template <>
struct EnumTable<TColor> {
    static constexpr std::string_view what = "colour";
    static constexpr EnumName<TColor> names[] = {
        {TColor::clBlack, "clBlack"},
        {TColor::clMaroon, "clMaroon"},
        {TColor::clGreen, "clGreen"},
        {TColor::clNavy, "clNavy"},
        {TColor::clGray, "clGray"},
        {TColor::clSilver, "clSilver"},
        {TColor::clRed, "clRed"},
        {TColor::clBlue, "clBlue"},
        {TColor::clWhite, "clWhite"},
        {TColor::clBtnFace, "clBtnFace"},
        {TColor::clWindow, "clWindow"},
        {TColor::clWindowText, "clWindowText"},
        {TColor::clHighlight, "clHighlight"},
        {TColor::clHighlightText, "clHighlightText"},
        {TColor::clGrayText, "clGrayText"},
    };
};
// The colour on screen; system colours come from the application's palette.
QColor toQColor(TColor color);

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
template <>
struct EnumTable<TFontStyle> {
    static constexpr std::string_view what = "font style";
    static constexpr EnumName<TFontStyle> names[] = {
        {TFontStyle::fsBold, "fsBold"},
        {TFontStyle::fsItalic, "fsItalic"},
        {TFontStyle::fsUnderline, "fsUnderline"},
        {TFontStyle::fsStrikeOut, "fsStrikeOut"},
    };
};
using TFontStyles = Set<TFontStyle>;

// A font as a page stores it: face name, height (negative: character height in pixels,
// positive: cell height, which counts as the character height), size in points (the
// height at pixelsPerInch, by default the screen's), style and colour. onChange runs
// after each change.
class TFont : public Persistent {
    FRAMEWORK_CLASS(Persistent)

    static constexpr int kDesignPixelsPerInch = 96;

    TFont() = default;
    const std::string& name() const { return m_name; }
    void setName(const std::string& value);
    int height() const { return m_height; }
    void setHeight(int value);
    int size() const;
    void setSize(int value);
    TFontStyles style() const { return m_style; }
    void setStyle(const TFontStyles& value);
    TColor color() const { return m_color; }
    void setColor(TColor value);
    // The resolution sizes are converted at; 0 (the default) follows the screen's.
    int pixelsPerInch() const;
    void setPixelsPerInch(int value);

    // Takes every value of another font, with one change notification.
    void assign(const TFont& other);
    QFont toQFont() const;

    std::function<void()> onChange;

private:
    void changed();
    std::string m_name = "Tahoma";
    int m_height = -11;
    TFontStyles m_style;
    TColor m_color = TColor::clWindowText;
    int m_pixelsPerInch = 0;
};

// A picture stored as the bytes of a bitmap file (property Data); anything that is no
// bitmap is an EPropertyError. onChange runs after each change.
class TPicture : public Persistent {
    FRAMEWORK_CLASS(Persistent)

    TPicture() = default;
    const Bytes& data() const { return m_data; }
    void setData(const Bytes& value);
    const QImage& image() const { return m_image; }
    bool empty() const { return m_image.isNull(); }
    void assign(const TPicture& other);

    std::function<void()> onChange;

private:
    Bytes m_data;
    QImage m_image;
};

// Decodes the bytes of a bitmap file; anything else is an EPropertyError.
QImage decodeBitmap(const Bytes& data);

}  // namespace framework

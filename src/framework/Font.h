#pragma once
// A font description (name, height, style, character set, colour) and the GDI
// font made from it on demand, at the DPI of the window it is drawn in.
// Changing the description or the DPI drops the old font.
#include <windows.h>

#include <string>

#include "framework/Color.h"
#include "framework/DevicePixels.h"
#include "framework/EnumSet.h"
#include "framework/Handles.h"

namespace lumora {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = EnumSet<TFontStyle>;

class TFont {
public:
    const std::string& Name() const { return name_; }
    // In pixels at 96 DPI (DevicePixels.h). Negative: the character height;
    // positive: the cell height.
    int Height() const { return height_; }
    TFontStyles Style() const { return style_; }
    BYTE Charset() const { return charset_; }
    TColor Color() const { return color_; }

    void SetName(const std::string& name);
    void SetHeight(int height);
    // Sets the height from a size in points, as pixels at 96 DPI.
    void SetSize(int points);
    void SetStyle(TFontStyles style);
    void SetCharset(BYTE charset);
    void SetColor(TColor color) { color_ = color; }
    // The DPI the GDI font is made for (96 until set); Assign copies it.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int dpi);
    void Assign(const TFont& other);

    // The GDI font; it stays owned by this object. Throws Error when the
    // system cannot make it.
    HFONT Handle();

private:
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TFontStyles style_;
    BYTE charset_ = DEFAULT_CHARSET;
    TColor color_ = clWindowText;
    int pixelsPerInch_ = kLayoutDpi;
    GdiObject<HFONT> handle_;
};

}  // namespace lumora

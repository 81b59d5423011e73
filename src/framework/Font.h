#pragma once
// A font description (name, height, style, character set, colour) and the GDI
// font made from it on demand. Changing the description drops the old font.
#include <windows.h>

#include <string>

#include "framework/Color.h"
#include "framework/EnumSet.h"
#include "framework/Handles.h"

namespace lumora {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = EnumSet<TFontStyle>;

class TFont {
public:
    const std::string& Name() const { return name_; }
    // Negative: the character height in pixels; positive: the cell height.
    int Height() const { return height_; }
    TFontStyles Style() const { return style_; }
    BYTE Charset() const { return charset_; }
    TColor Color() const { return color_; }

    void SetName(const std::string& name);
    void SetHeight(int height);
    // Sets the height from a size in points at the screen's resolution.
    void SetSize(int points);
    void SetStyle(TFontStyles style);
    void SetCharset(BYTE charset);
    void SetColor(TColor color) { color_ = color; }
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
    GdiObject<HFONT> handle_;
};

}  // namespace lumora

#pragma once
// Colours: an RGB value 0x00BBGGRR, or a system colour (clSystemColor plus the
// index of GetSysColor), resolved when drawing.
#include <windows.h>

#include <cstdint>

#include "framework/Handles.h"

namespace lumora {

using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;

COLORREF ColorToRGB(TColor color);

// A solid brush of one colour. System colours use the system's shared brush;
// any other colour gets a brush of its own, deleted with this object.
class TSolidBrush {
public:
    explicit TSolidBrush(TColor color = clBtnFace) : color_(color) {}

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // Throws Error when the brush cannot be made.
    HBRUSH Handle();

private:
    TColor color_;
    GdiObject<HBRUSH> own_;
};

}  // namespace lumora

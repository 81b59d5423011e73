#pragma once
// Draws a push button with the three-dimensional look: into an off-screen
// bitmap of the button's size, copied to the target at the end, so the
// button never flickers. Its border lines and the caption's place are those
// of 96 DPI at the button's DPI.
#include <windows.h>

#include <string>

#include "framework/Color.h"

namespace lumora {

struct ButtonLook {
    int width = 0;  // in device pixels
    int height = 0;
    int dpi = 96;
    TColor color = clBtnFace;  // the parent's colour, under the border
    bool sunken = false;       // pressed or latched
    bool disabled = false;     // the caption engraved
    std::string caption;       // with "&" before the underlined character
    HFONT font = nullptr;
    TColor fontColor = clWindowText;
};

// Paints the button with its top-left corner at (left, top) of `target`.
// Throws Error when the off-screen bitmap cannot be made.
void PaintButton(HDC target, int left, int top, const ButtonLook& look);

}  // namespace lumora

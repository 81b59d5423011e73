#pragma once
// The push button's published properties that only keep their values: the
// glyph, group, drop-down and auto-repeat abilities they steer are not built,
// so a button always paints its caption with the three-dimensional look.
// The defaults are those a newly made button has.
#include <cstdint>

namespace lumora {

enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The number of images in a glyph, 1 to 5.
using TNumGlyphs97 = int;

struct TButtonProperties97 {
    bool Flat = true;
    bool ParentFont = true;
    bool Opaque = true;
    std::int32_t ModalResult = 0;
    bool AllowAllUp = false;
    int GroupIndex = 0;
    bool Down = false;
    TButtonDisplayMode DisplayMode = dmBoth;
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;  // -1: the content is centred
    int Spacing = 4;
    bool WordWrap = false;
    bool NoBorder = false;
    bool OldDisabledStyle = false;
    bool ShowBorderWhenInactive = false;
    TNumGlyphs97 NumGlyphs = 1;
    bool DropdownArrow = true;
    bool DropdownCombo = false;
    bool Repeating = false;
    int RepeatDelay = 400;     // milliseconds
    int RepeatInterval = 100;  // milliseconds
};

}  // namespace lumora

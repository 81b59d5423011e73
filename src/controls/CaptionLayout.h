#pragma once
// Where a button without a glyph puts its caption: centred in the content
// area (the client rectangle inset by the border), moved right and down
// while the button looks pressed.
namespace lumora {

// At 96 DPI: the content area's inset, and the pressed caption's move.
constexpr int kCaptionInset = 2;
constexpr int kPressedShift = 1;

struct CaptionOrigin {
    int left = 0;  // from the button's top-left corner
    int top = 0;
};

// `width`, `height`: the button's client size; `textWidth`, `textHeight`:
// the measured caption; `shift`: how far it moves right and down (0 while
// the button looks raised); `inset`: the content area's inset; all in the
// button's pixels. A caption larger than the content area starts left of
// (or above) it; the halves are truncated toward zero.
CaptionOrigin PlaceCaption(int width, int height, int textWidth, int textHeight, int shift, int inset);

}  // namespace lumora

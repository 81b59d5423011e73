#pragma once
// Where a button without a glyph puts its caption: centred in the content
// area (the client rectangle inset by 2 pixels), moved 1 pixel right and down
// while the button looks pressed.
namespace lumora {

struct CaptionOrigin {
    int left = 0;  // from the button's top-left corner
    int top = 0;
};

// `width`, `height`: the button's client size; `textWidth`, `textHeight`:
// the measured caption. A caption larger than the content area starts left
// of (or above) it; the halves are truncated toward zero.
CaptionOrigin PlaceCaption(int width, int height, int textWidth, int textHeight, bool pressedLook);

}  // namespace lumora

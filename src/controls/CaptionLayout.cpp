#include "controls/CaptionLayout.h"

namespace lumora {

namespace {

constexpr int kContentInset = 2;

// C++ division truncates toward zero, which is the rule here also for a
// negative free space.
int CentredStart(int space, int extent) { return (space - extent + 1) / 2; }

}  // namespace

CaptionOrigin PlaceCaption(int width, int height, int textWidth, int textHeight, bool pressedLook)
{
    const int offset = pressedLook ? 1 : 0;
    const int contentWidth = width - 2 * kContentInset;
    const int contentHeight = height - 2 * kContentInset;
    CaptionOrigin origin;
    origin.left = kContentInset + CentredStart(contentWidth, textWidth) + offset;
    origin.top = kContentInset + CentredStart(contentHeight, textHeight) + offset;
    return origin;
}

}  // namespace lumora

#include "controls/CaptionLayout.h"

namespace lumora {

namespace {

// C++ division truncates toward zero, which is the rule here also for a
// negative free space.
int CentredStart(int space, int extent) { return (space - extent + 1) / 2; }

}  // namespace

CaptionOrigin PlaceCaption(int width, int height, int textWidth, int textHeight, int shift, int inset)
{
    CaptionOrigin origin;
    origin.left = inset + CentredStart(width - 2 * inset, textWidth) + shift;
    origin.top = inset + CentredStart(height - 2 * inset, textHeight) + shift;
    return origin;
}

}  // namespace lumora

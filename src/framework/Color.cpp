#include "framework/Color.h"

#include "framework/Win32Error.h"

namespace lumora {

namespace {

bool IsSystemColor(TColor color) { return (color & clSystemColor) == clSystemColor; }

}  // namespace

COLORREF ColorToRGB(TColor color)
{
    if (IsSystemColor(color))
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

void TSolidBrush::SetColor(TColor color)
{
    if (color == color_)
        return;
    color_ = color;
    own_.Reset();
}

HBRUSH TSolidBrush::Handle()
{
    if (IsSystemColor(color_)) {
        if (HBRUSH shared = GetSysColorBrush(color_ & 0xFF))
            return shared;
        RaiseLastOSError("Cannot get the system brush");
    }
    if (!own_) {
        own_.Reset(CreateSolidBrush(ColorToRGB(color_)));
        if (!own_)
            RaiseLastOSError("Cannot create a brush");
    }
    return own_.Get();
}

}  // namespace lumora

#pragma once
// A picture that a canvas can draw: its size and its drawing into a
// rectangle of a device context.
#include <windows.h>

namespace lumora {

class TGraphic {
public:
    virtual ~TGraphic() = default;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Draws the whole picture stretched into `rect`; nothing when empty.
    virtual void Draw(HDC dc, const RECT& rect) const = 0;
};

}  // namespace lumora

#pragma once
// Where the parts of the main window's backdrop go: the bands of a colour
// gradient, the solid fill, the picture and the footer. Plain arithmetic on
// the main window's sizes, so it is the same on every platform.
//
// The band step is a single-precision real; band edges are its exact multiples
// truncated toward zero. Each band reaches one pixel above and one below its
// own share, so that neighbours overlap and no row is left unpainted.
//
// The picture's size and the places of the picture and the footer are
// lengths at 96 DPI, turned into pixels at the window's DPI by the caller's
// `Scale`; the bands follow the client size as they are.
#include <cstdint>
#include <optional>

namespace lumora::backdrop {

// Left, top, right, bottom; right and bottom are exclusive, as in GDI.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const Rect& a, const Rect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
};

// A length in pixels at 96 DPI as pixels at `dpi` (framework/DevicePixels.h).
using Scale = int (*)(int pixels, int dpi);

// A gradient has this many bands, 0 at the top.
constexpr int kBandCount = 64;

// The height of one band: the client height divided by 63.
float BandStep(std::int32_t clientHeight);

// Band `index` (0 ... 63) of a gradient over a client area `clientWidth`
// wide: from T(index * step) - 1 to T((index + 1) * step) + 1, one pixel
// beyond the right edge.
Rect BandRect(int index, float step, std::int32_t clientWidth);

// The solid fill: the client size with the window's screen position
// (`windowLeft`, `windowTop`) added to it.
Rect SolidRect(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t windowLeft,
               std::int32_t windowTop);

// The picture, at its size at 96 DPI, 30 pixels below the top and 50 pixels
// left of the right edge of a window `windowWidth` wide (its outer width).
Rect PictureRect(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t windowWidth, Scale scale,
                 int dpi);

// The footer's bottom-right reference point for a text `footerWidth` pixels
// wide: 5 pixels left of the client area's right edge and 6 above its
// bottom; none for an empty (zero-width) text, which draws nothing. The text
// moves left of the corner by one pixel per footer width that fits in the
// client width.
std::optional<Point> FooterPosition(std::int32_t clientWidth, std::int32_t clientHeight,
                                    std::int32_t footerWidth, Scale scale, int dpi);

}  // namespace lumora::backdrop

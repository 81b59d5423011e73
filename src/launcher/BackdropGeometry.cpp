#include "launcher/BackdropGeometry.h"

namespace lumora::backdrop {

namespace {

// Truncation toward zero, never rounding to the nearest integer.
std::int32_t Truncate(double value) { return static_cast<std::int32_t>(value); }

// index * step, exactly: a single-precision step times a band number fits a
// double's mantissa. Rounding the product back to single precision would move
// band edges: 63 * (600 / 63.0f) is just below 600 (band 63 of a 600-pixel
// area starts at 598), but rounds to 600.
double Offset(int index, float step) { return static_cast<double>(index) * static_cast<double>(step); }

}  // namespace

float BandStep(std::int32_t clientHeight)
{
    // Stored to force single precision where the processor computes in a
    // wider format (the x87 unit of the 32-bit build).
    volatile float step = static_cast<float>(clientHeight) / 63.0f;
    return step;
}

Rect BandRect(int index, float step, std::int32_t clientWidth)
{
    return Rect{0, Truncate(Offset(index, step)) - 1, clientWidth + 1, Truncate(Offset(index + 1, step)) + 1};
}

Rect SolidRect(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t windowLeft,
               std::int32_t windowTop)
{
    return Rect{0, 0, clientWidth + windowLeft, clientHeight + windowTop};
}

Rect PictureRect(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t windowWidth, Scale scale,
                 int dpi)
{
    const std::int32_t width = scale(pictureWidth, dpi);
    const std::int32_t top = scale(30, dpi);
    const std::int32_t left = windowWidth - width - scale(50, dpi);
    return Rect{left, top, left + width, top + scale(pictureHeight, dpi)};
}

std::optional<Point> FooterPosition(std::int32_t clientWidth, std::int32_t clientHeight,
                                    std::int32_t footerWidth, Scale scale, int dpi)
{
    if (footerWidth == 0)
        return std::nullopt;
    return Point{clientWidth - clientWidth / footerWidth - scale(5, dpi), clientHeight - scale(6, dpi)};
}

}  // namespace lumora::backdrop

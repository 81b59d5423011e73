#include "controls/ButtonPainter.h"

#include "base/PathEncoding.h"
#include "controls/CaptionLayout.h"
#include "framework/DevicePixels.h"
#include "framework/FontFallback.h"
#include "framework/Handles.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

struct MemoryDCTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type dc) { DeleteDC(dc); }
};
using MemoryDC = UniqueHandle<MemoryDCTraits>;

// Selects an object into a device context and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// At 96 DPI: the width of each of the border's two lines, and how far right
// and down the engraved caption's light copy lies.
constexpr int kBorderLine = 1;
constexpr int kEngraving = 1;

// The caption is drawn as measured: centred in a rectangle of its own size,
// on one line, with "&" marking the underlined character.
constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

void DrawCaption(HDC dc, const std::wstring& caption, RECT place, COLORREF color)
{
    SetTextColor(dc, color);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &place, kCaptionFormat);
}

// The border of `edge` (EDGE_RAISED or EDGE_SUNKEN: an outer and an inner
// line) with lines `line` pixels wide, and the face inside it. DrawEdge at
// inset i draws ring i in the outer line's colours and ring i + 1 in the
// inner line's: the inner band is drawn from the inside out, then the outer
// band from the outside in, so that the last call to reach each ring gives
// it its band's colours. At one pixel, the rings are DrawEdge's own.
void DrawBorder(HDC dc, const RECT& area, UINT edge, int line)
{
    const auto draw = [&](int inset, UINT flags) {
        RECT ring = area;
        InflateRect(&ring, -inset, -inset);
        DrawEdge(dc, &ring, edge, BF_RECT | BF_SOFT | flags);
    };
    draw(2 * line - 2, BF_MIDDLE);
    for (int inset = 2 * line - 3; inset >= line; --inset)
        draw(inset, 0);
    for (int inset = 0; inset < line; ++inset)
        draw(inset, 0);
}

}  // namespace

void PaintButton(HDC target, int left, int top, const ButtonLook& look)
{
    if (look.width <= 0 || look.height <= 0)
        return;
    MemoryDC dc(CreateCompatibleDC(target));
    if (!dc)
        RaiseLastOSError("Cannot paint a button");
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, look.width, look.height));
    if (!bitmap)
        RaiseLastOSError("Cannot paint a button");
    // Declared after the objects it selects, so it is undone before they go.
    const Selection bitmapSelection(dc.Get(), bitmap.Get());

    const RECT client{0, 0, look.width, look.height};
    TSolidBrush face(look.color);
    FillRect(dc.Get(), &client, face.Handle());
    DrawBorder(dc.Get(), client, look.sunken ? EDGE_SUNKEN : EDGE_RAISED, ScaleToDpi(kBorderLine, look.dpi));

    if (!look.caption.empty()) {
        const std::wstring caption = WideText(look.caption);
        // A caption in a script that the face lacks (Japanese in MS Sans
        // Serif) is drawn in a face that has it.
        const GdiObject<HFONT> fallback = CoveringFont(look.font, caption);
        const Selection fontSelection(dc.Get(), fallback ? fallback.Get() : look.font);
        SetBkMode(dc.Get(), TRANSPARENT);
        RECT measured{0, 0, 0, 0};
        DrawTextW(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &measured,
                  DT_CALCRECT | DT_SINGLELINE);
        const int textWidth = measured.right - measured.left;
        const int textHeight = measured.bottom - measured.top;
        const CaptionOrigin origin =
            PlaceCaption(look.width, look.height, textWidth, textHeight,
                         look.sunken ? ScaleToDpi(kPressedShift, look.dpi) : 0, ScaleToDpi(kCaptionInset, look.dpi));
        RECT place{origin.left, origin.top, origin.left + textWidth, origin.top + textHeight};
        if (look.disabled) {
            const int engraving = ScaleToDpi(kEngraving, look.dpi);
            RECT engraved = place;
            OffsetRect(&engraved, engraving, engraving);
            DrawCaption(dc.Get(), caption, engraved, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawCaption(dc.Get(), caption, place, GetSysColor(COLOR_BTNSHADOW));
        } else {
            DrawCaption(dc.Get(), caption, place, ColorToRGB(look.fontColor));
        }
    }

    if (!BitBlt(target, left, top, look.width, look.height, dc.Get(), 0, 0, SRCCOPY))
        RaiseLastOSError("Cannot paint a button");
}

}  // namespace lumora

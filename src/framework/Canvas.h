#pragma once
// A canvas: drawing with a brush, a font and text settings on a device
// context that someone else owns (the system's, during a paint).
//
// The canvas saves the context's state when it is pointed at it and restores
// it when it lets go (SetHandle with another context or none, or its own
// destruction): the palette, text colour, alignment and background mode set
// through the canvas do not outlive its use. The font is selected only for
// the call that draws or measures with it and selected out again, so the
// font may change, and its GDI object be replaced, between calls.
#include <windows.h>

#include <string>

#include "framework/Color.h"
#include "framework/Font.h"
#include "framework/Handles.h"

namespace lumora {

class TGraphic;

class TCanvas {
public:
    TCanvas() = default;
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    // Points the canvas at `dc` (not owned; null for none).
    void SetHandle(HDC dc);

    // Colour of FillRect.
    TSolidBrush Brush{clWhite};
    // Font of TextOut and TextWidth; its colour is the text colour. A text
    // with characters its face has no glyph for is drawn and measured in a
    // face that has them (FontFallback.h).
    TFont Font;

    // The calls below throw Error when the canvas has no context.
    void FillRect(const RECT& rect);
    void TextOut(int x, int y, const std::string& text);
    // The width in pixels of `text` in Font.
    int TextWidth(const std::string& text);
    // TRANSPARENT or OPAQUE.
    void SetBkMode(int mode);
    // TA_ flags: where the point given to TextOut lies on the text.
    void SetTextAlign(UINT align);
    // Selects `palette` into the context; `forceBackground` as in
    // SelectPalette. The context's own palette returns when the canvas lets go.
    void SelectPalette(HPALETTE palette, bool forceBackground);
    // Draws `graphic` stretched into `rect`.
    void StretchDraw(const RECT& rect, const TGraphic& graphic);
    // DrawEdge: `edge` EDGE_ or BDR_ values, `flags` BF_ values.
    void DrawEdge(const RECT& rect, UINT edge, UINT flags);

private:
    HDC RequireHandle() const;
    void Release();
    // Font, or the fallback font for `text`, which lives until the next call.
    HFONT FontFor(const std::wstring& text);

    HDC dc_ = nullptr;
    int savedState_ = 0;
    GdiObject<HFONT> fallback_;
};

}  // namespace lumora

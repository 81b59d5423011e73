#include "framework/Canvas.h"

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/FontFallback.h"
#include "framework/Graphic.h"

namespace lumora {

namespace {

// Selects a GDI object into a context for one call and the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

TCanvas::~TCanvas() { Release(); }

void TCanvas::SetHandle(HDC dc)
{
    if (dc == dc_)
        return;
    Release();
    if (!dc)
        return;
    dc_ = dc;
    savedState_ = SaveDC(dc);
}

void TCanvas::Release()
{
    if (dc_ && savedState_ != 0)
        RestoreDC(dc_, savedState_);
    dc_ = nullptr;
    savedState_ = 0;
}

HDC TCanvas::RequireHandle() const
{
    if (!dc_)
        throw Error("The canvas has no device context to draw on");
    return dc_;
}

void TCanvas::FillRect(const RECT& rect) { ::FillRect(RequireHandle(), &rect, Brush.Handle()); }

HFONT TCanvas::FontFor(const std::wstring& text)
{
    const HFONT font = Font.Handle();
    fallback_ = CoveringFont(font, text);
    return fallback_ ? fallback_.Get() : font;
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    const HDC dc = RequireHandle();
    const std::wstring wide = WideText(text);
    SelectedObject font(dc, FontFor(wide));
    ::SetTextColor(dc, ColorToRGB(Font.Color()));
    ::TextOutW(dc, x, y, wide.data(), static_cast<int>(wide.size()));
}

int TCanvas::TextWidth(const std::string& text)
{
    const HDC dc = RequireHandle();
    const std::wstring wide = WideText(text);
    SelectedObject font(dc, FontFor(wide));
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size))
        return 0;
    return size.cx;
}

void TCanvas::SetBkMode(int mode) { ::SetBkMode(RequireHandle(), mode); }

void TCanvas::SetTextAlign(UINT align) { ::SetTextAlign(RequireHandle(), align); }

void TCanvas::SelectPalette(HPALETTE palette, bool forceBackground)
{
    ::SelectPalette(RequireHandle(), palette, forceBackground ? TRUE : FALSE);
}

void TCanvas::StretchDraw(const RECT& rect, const TGraphic& graphic) { graphic.Draw(RequireHandle(), rect); }

void TCanvas::DrawEdge(const RECT& rect, UINT edge, UINT flags)
{
    RECT area = rect;
    ::DrawEdge(RequireHandle(), &area, edge, flags);
}

}  // namespace lumora

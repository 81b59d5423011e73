#include "framework/Label.h"

#include "base/PathEncoding.h"
#include "framework/Handles.h"

namespace lumora {

TWinControl::CreateParams TLabel::Params() const
{
    DWORD style = SS_LEFT;
    if (Alignment == taCenter)
        style = SS_CENTER;
    else if (Alignment == taRightJustify)
        style = SS_RIGHT;
    else if (!WordWrap)
        style = SS_LEFTNOWORDWRAP;
    return {L"STATIC", style, 0};
}

void TLabel::Created()
{
    if (AutoSize)
        AdjustSize();
}

void TLabel::DpiChanged()
{
    TWinControl::DpiChanged();
    if (AutoSize)
        AdjustSize();
}

void TLabel::SetCaption(const std::string& caption)
{
    SetText(caption);
    if (AutoSize && Handle())
        AdjustSize();
}

void TLabel::AdjustSize()
{
    WindowDC dc(Handle());
    if (!dc)
        return;  // the label keeps its size
    const HGDIOBJ previous = SelectObject(dc.Get(), Font());
    RECT extent{0, 0, 0, 0};
    const std::wstring caption = WideText(Caption());
    DrawTextW(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent,
              DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    SelectObject(dc.Get(), previous);
    PlaceWindow(extent.right - extent.left, extent.bottom - extent.top);
}

}  // namespace lumora

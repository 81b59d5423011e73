#include "framework/WinControl.h"

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/FontFallback.h"
#include "framework/Form.h"
#include "framework/Win32Error.h"

namespace lumora {

TWinControl::TWinControl(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

TWinControl::~TWinControl()
{
    // The parent's window may have gone first and taken this one with it.
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
}

void TWinControl::SetParent(TForm& parent) { CreateWindowIn(parent.Handle(), parent.Font.Handle()); }

void TWinControl::SetParent(TWinControl& parent)
{
    if (!parent.window_)
        throw Error("Cannot place " + Name() + " in " + parent.Name() + ", which has no window yet");
    CreateWindowIn(parent.window_, parent.font_);
}

void TWinControl::CreateWindowIn(HWND parent, HFONT font)
{
    if (window_)
        throw Error("The control " + Name() + " has its parent already");
    const CreateParams params = Params();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.style;
    if (visible_)
        style |= WS_VISIBLE;
    const std::wstring text = WideText(text_);
    window_ = CreateWindowExW(params.exStyle, params.className, text.c_str(), style, left_, top_, width_, height_,
                              parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_)
        RaiseLastOSError("Cannot create the control " + Name());
    font_ = font;
    FitFont(text, true);
    Created();
}

void TWinControl::FitFont(std::wstring_view text, bool always)
{
    GdiObject<HFONT> fallback = CoveringFont(font_, text);
    if (!always && !fallback && !fallback_)
        return;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fallback ? fallback.Get() : font_), FALSE);
    // The window holds the new font now; the old fallback may go.
    fallback_ = std::move(fallback);
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (window_ && !MoveWindow(window_, left, top, width, height, TRUE))
        RaiseLastOSError("Cannot move the control " + Name());
}

void TWinControl::SetVisible(bool visible)
{
    visible_ = visible;
    if (window_)
        ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetText(const std::string& text)
{
    text_ = text;
    if (!window_)
        return;
    const std::wstring wide = WideText(text_);
    FitFont(wide, false);
    if (!SetWindowTextW(window_, wide.c_str()))
        RaiseLastOSError("Cannot set the text of " + Name());
}

}  // namespace lumora

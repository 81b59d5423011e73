#include "framework/WinControl.h"

#include <utility>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/DevicePixels.h"
#include "framework/FontFallback.h"
#include "framework/Form.h"
#include "framework/Win32Error.h"

namespace lumora {

TWinControl::TWinControl(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

TWinControl::~TWinControl()
{
    if (form_) {
        TWinControl** link = &form_->controls_;
        while (*link != this)
            link = &(*link)->next_;
        *link = next_;
    }
    // The parent's window may have gone first and taken this one with it.
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
}

void TWinControl::SetParent(TForm& parent) { CreateWindowIn(parent.Handle(), &parent); }

void TWinControl::SetParent(TWinControl& parent)
{
    if (!parent.window_ || !parent.form_)
        throw Error("Cannot place " + Name() + " in " + parent.Name() + ", which has no window yet");
    CreateWindowIn(parent.window_, parent.form_);
}

int TWinControl::Scaled(int pixels) const { return ScaleToDpi(pixels, form_ ? form_->Dpi() : kLayoutDpi); }

void TWinControl::CreateWindowIn(HWND parent, TForm* form)
{
    if (window_)
        throw Error("The control " + Name() + " has its parent already");
    const CreateParams params = Params();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.style;
    if (visible_)
        style |= WS_VISIBLE;
    const std::wstring text = WideText(text_);
    const int dpi = form->Dpi();
    window_ = CreateWindowExW(params.exStyle, params.className, text.c_str(), style, ScaleToDpi(left_, dpi),
                              ScaleToDpi(top_, dpi), ScaleToDpi(width_, dpi), ScaleToDpi(height_, dpi), parent,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_)
        RaiseLastOSError("Cannot create the control " + Name());
    form_ = form;
    next_ = std::exchange(form->controls_, this);
    font_ = form->Font.Handle();
    FitFont(text, true);
    Created();
}

void TWinControl::DpiChanged()
{
    font_ = form_->Font.Handle();
    FitFont(WideText(text_), true);
    PlaceWindow(Scaled(width_), Scaled(height_));
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
    if (window_)
        PlaceWindow(Scaled(width), Scaled(height));
}

void TWinControl::PlaceWindow(int width, int height)
{
    if (!MoveWindow(window_, Scaled(left_), Scaled(top_), width, height, TRUE))
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

#pragma once
// A control with a window of its own: a child window of a form or of another
// such control, of one of the system's classes (labels, group boxes, edit
// boxes) or of the framework's (the page container). The control keeps its
// bounds, text and visibility and hands them to its window, so other
// programs read the same texts from the window.
//
// The window is made when the control gets its parent (a form's window is
// made then if it has none), so the layout fields that derived controls
// read at creation are set before SetParent. A control takes its parent's
// font, or, while its text holds characters that font has no glyph for, a
// fallback font that has them (FontFallback.h). Child windows go with their
// parent's window; a control that goes first takes its window with it.
//
// Bounds are the layout's, in pixels at 96 DPI; the window is placed at the
// DPI of the form the control sits on (DevicePixels.h), and placed and given
// its font anew when the form's DPI changes.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/Component.h"
#include "framework/Handles.h"

namespace lumora {

class TForm;

class TWinControl : public TComponent {
public:
    TWinControl(TComponent* owner, std::string name);
    ~TWinControl() override;

    // Places the control in the parent's client area and makes its window.
    // A control gets its parent once; a second call throws Error, as does a
    // parent control without a window.
    void SetParent(TForm& parent);
    void SetParent(TWinControl& parent);

    // The layout's bounds, in pixels at 96 DPI.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    // The control's own visibility; its window shows only while all its
    // parents show too.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // Null until the control has a parent.
    HWND Handle() const { return window_; }
    // The font the control's text is drawn in: its parent's, owned by the
    // form it sits on, or the control's own fallback font.
    HFONT Font() const { return fallback_ ? fallback_.Get() : font_; }

protected:
    struct CreateParams {
        const wchar_t* className;
        DWORD style;    // besides WS_CHILD, WS_CLIPSIBLINGS and WS_VISIBLE
        DWORD exStyle;
    };
    virtual CreateParams Params() const = 0;
    // Called once the window exists and has its font.
    virtual void Created() {}
    // The form's DPI has changed: the window takes the form's font and its
    // place at the new DPI.
    virtual void DpiChanged();

    // Moves the window to the layout's place and gives it this size, both in
    // pixels of the form's DPI.
    void PlaceWindow(int width, int height);

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);

private:
    friend class TForm;
    void CreateWindowIn(HWND parent, TForm* form);
    // A length of the layout in pixels of the form's DPI.
    int Scaled(int pixels) const;
    // Gives the window the font that draws `text`; `always`: also when it
    // has that font already.
    void FitFont(std::wstring_view text, bool always);

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    std::string text_;
    HWND window_ = nullptr;
    // The form the control sits on, which keeps a list of its controls; null
    // before the control has a parent and once the form has gone.
    TForm* form_ = nullptr;
    TWinControl* next_ = nullptr;  // in the form's list
    HFONT font_ = nullptr;
    // Deleted as a member, after the destructor has destroyed the window.
    GdiObject<HFONT> fallback_;
};

}  // namespace lumora

#pragma once
// A form: one top-level window of the program, with the events its handlers
// hang on. The derived class sets its layout (the public fields below) in its
// constructor and wires its events; the window is made when first needed
// (Handle()), hidden, and shown by Show() or, for the main form, by the
// application's Run().
//
// Window messages arrive in WndProc(), which hands each one the form handles
// to a named handler and everything else to DefaultHandler() (DefFrameProc
// for an MDI frame, DefMDIChildProc for an MDI child, DefWindowProc
// otherwise). A derived window kind adds a message by overriding WndProc()
// and calling the base for the rest.
// Exceptions from handlers are caught before they reach the system and are
// shown by the application's standard error box.
//
// The layout (the client size, the font, the controls' bounds) is in pixels
// at 96 DPI; the form lays itself out at its window's DPI (DevicePixels.h)
// as the window is made, and again in WM_DPICHANGED, when the window has
// moved to a monitor of another scale, and so do the MDI children of a
// frame with it.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/Component.h"
#include "framework/Color.h"
#include "framework/DevicePixels.h"
#include "framework/EnumSet.h"
#include "framework/Events.h"
#include "framework/Font.h"
#include "framework/GraphicControlHost.h"
#include "framework/Handles.h"

namespace lumora {

class TWinControl;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize };
using TBorderIcons = EnumSet<TBorderIcon>;
enum TPosition { poDesigned, poDefault, poScreenCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
// fsMDIChild: a window inside the MDI client of the main form (which must be
// an MDI frame), shown as soon as it is created.
enum TFormStyle { fsNormal, fsMDIForm, fsMDIChild };

class TForm : public TComponent {
public:
    // `className` names the window class, so other programs (and tests) can
    // find the form's window by it.
    TForm(TComponent* owner, std::string name, std::string className);
    ~TForm() override;

    TForm* AsForm() final { return this; }

    // ----- layout, read when the window is made ---------------------------
    // Sizes and positions in pixels at 96 DPI.
    TBorderStyle BorderStyle = bsSizeable;
    TBorderIcons BorderIcons{biSystemMenu, biMinimize, biMaximize};
    int ClientWidth = 300;
    int ClientHeight = 200;
    int Left = 0;  // used with poDesigned
    int Top = 0;
    TPosition Position = poDesigned;
    TWindowState WindowState = wsNormal;
    TFormStyle FormStyle = fsNormal;
    // The form's OnKeyDown sees the keys of every window in its window tree
    // before they are dispatched (see TApplication).
    bool KeyPreview = false;
    TFont Font;
    // Set by a clicked button to its own ModalResult when that is not 0.
    int ModalResult = 0;

    // ----- events ----------------------------------------------------------
    TNotifyEvent OnCreate;   // once, right after construction (TApplication::CreateForm)
    TNotifyEvent OnShow;     // each time the form is about to become visible
    TCloseEvent OnClose;     // the user or the program asks the form to close
    TNotifyEvent OnDestroy;  // once, before the form and its window go
    TKeyEvent OnKeyDown;     // with KeyPreview on
    TNotifyEvent OnResize;   // the window's size changed
    TNotifyEvent OnDpiChange;  // the form has been laid out at a new DPI

    // ----- properties with an effect on an existing window ----------------
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TColor Color() const { return brush_.Color(); }
    void SetColor(TColor color);

    // The DPI the form is laid out at: its window's, or before the window
    // exists 96.
    int Dpi() const { return dpi_; }
    // Lays the form, its controls and, for an MDI frame, its MDI children
    // out at `dpi`, with fonts made anew: the window moves into `suggested`
    // (screen coordinates; MDI children: none), or keeps its top-left corner
    // and takes the client size of the layout. The page, focus and scroll
    // positions of the controls stay.
    void ChangeDpi(int dpi, const RECT* suggested);

    // ----- the window ------------------------------------------------------
    // Makes the window if it does not exist yet; throws Error if that fails.
    HWND Handle();
    void HandleNeeded() { Handle(); }
    bool HandleAllocated() const { return window_.Valid(); }
    // The MDICLIENT window of an MDI frame (a child of the form, destroyed
    // with it); null for other forms or before the window exists.
    HWND ClientHandle() const { return client_; }
    bool Visible() const;
    // The form that owns `window`, or null when it is not a form's window.
    static TForm* FromHandle(HWND window);

    // Runs OnShow (before anything is drawn), then shows the window as
    // WindowState says. Does nothing when the form is visible already.
    void Show();
    void Hide();
    // Asks the form to close: OnClose decides what happens (caHide unless
    // the handler says otherwise). Closing the main form ends the application.
    void Close();
    // Frees the form once the messages now queued have been handled; safe to
    // call from the form's own handlers.
    void Release();
    // Invalidates the whole window and draws it at once.
    void Repaint();

    // The palette the window realises when it comes to the foreground or the
    // system palette changes; none by default.
    virtual HPALETTE GetPalette() { return nullptr; }

    // Event raisers, used by TApplication. DoCreate and DoDestroy report an
    // exception of their handler themselves.
    void DoCreate();
    void DoDestroy();
    void DoKeyDown(std::uint16_t& key, TShiftState shift);

    // The form's windowless controls. DialogChar offers them a character
    // typed for them (see TApplication); true when one acted on it.
    GraphicControlHost& GraphicControls() { return graphicControls_; }
    bool DialogChar(char32_t typed) { return graphicControls_.DialogChar(typed); }

protected:
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

    // Named handlers of the messages a form deals with.
    void WMClose() { Close(); }
    void WMSize();
    LRESULT WMEraseBkgnd(HDC dc);
    LRESULT WMQueryNewPalette();
    void WMPaletteChanged(HWND changer);
    void WMDpiChanged(WPARAM dpis, const RECT* suggested) { ChangeDpi(HIWORD(dpis), suggested); }

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateHandle();
    void CreateClientWindow();
    void Attach(HWND window);
    void Detach();
    bool RealizeOwnPalette(bool foreground);
    void DoShow();
    friend class TWinControl;

    std::string className_;
    std::string caption_;
    TSolidBrush brush_{clBtnFace};
    WindowHandle window_;
    HWND client_ = nullptr;
    bool destroyed_ = false;
    int dpi_ = kLayoutDpi;
    // The controls with windows on the form, the last made first, linked
    // through TWinControl::next_; each takes itself out when it goes.
    TWinControl* controls_ = nullptr;
    GraphicControlHost graphicControls_{*this};
};

// Posted to a form's window by Release(); the form is freed when it arrives.
constexpr UINT CM_RELEASE = WM_APP + 0x100;

}  // namespace lumora

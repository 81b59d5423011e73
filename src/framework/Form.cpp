#include "framework/Form.h"

#include <utility>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Application.h"
#include "framework/WinControl.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

// The form whose window CreateWindowEx is making right now. Its first message
// (WM_GETMINMAXINFO comes even before WM_NCCREATE) binds the window to it.
// The program makes its windows on one thread; a thread_local here would
// link libgcc's emulated thread-local storage (1.5 KB of the setup program).
TForm* s_creating = nullptr;

// Window property that holds the form of a window.
const wchar_t kFormProperty[] = L"Lumora.Form";

// Command identifier of the first MDI child window.
constexpr UINT kFirstMDIChildId = 0xFF00;

// WM_DPICHANGED, which the headers declare only for Windows 7 and later.
constexpr UINT kDpiChanged = 0x02E0;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

struct WindowStyles {
    DWORD style = 0;
    DWORD exStyle = 0;
};

WindowStyles StylesOf(TBorderStyle border, TBorderIcons icons, TFormStyle formStyle)
{
    WindowStyles s;
    s.style = WS_CLIPSIBLINGS;
    if (formStyle == fsMDIForm)
        s.style |= WS_CLIPCHILDREN;
    if (formStyle == fsMDIChild) {
        s.style |= WS_CHILD | WS_CLIPCHILDREN;
        s.exStyle |= WS_EX_MDICHILD;
    }
    switch (border) {
    case bsNone:
        if (formStyle != fsMDIChild)
            s.style |= WS_POPUP;
        break;
    case bsSingle: s.style |= WS_CAPTION; break;
    case bsSizeable: s.style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        s.style |= WS_CAPTION;
        s.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    // Minimise and maximise boxes exist only beside a system menu, and a
    // dialog frame has neither.
    if (border != bsNone && icons.Contains(biSystemMenu)) {
        s.style |= WS_SYSMENU;
        if (border != bsDialog && icons.Contains(biMinimize))
            s.style |= WS_MINIMIZEBOX;
        if (border != bsDialog && icons.Contains(biMaximize))
            s.style |= WS_MAXIMIZEBOX;
    }
    return s;
}

int ShowCommandOf(TWindowState state)
{
    switch (state) {
    case wsNormal: return SW_SHOWNORMAL;
    case wsMinimized: return SW_SHOWMINIMIZED;
    case wsMaximized: return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

void RegisterFormClass(const std::string& name, const std::wstring& wideName, WNDPROC procedure)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(Instance(), wideName.c_str(), &wc))
        return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = Instance();
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = wideName.c_str();
    if (!RegisterClassExW(&wc))
        RaiseLastOSError("Cannot register the window class " + name);
}

}  // namespace

TForm::TForm(TComponent* owner, std::string name, std::string className)
    : TComponent(owner, std::move(name)), className_(std::move(className))
{
}

TForm::~TForm()
{
    for (TWinControl* control = controls_; control; control = control->next_)
        control->form_ = nullptr;
    if (window_) {
        // Unbound first: the messages of the window's destruction must not
        // reach a form that is half destroyed.
        const HWND window = window_.Release();
        RemovePropW(window, kFormProperty);
        client_ = nullptr;
        // The MDI client destroys its children itself, so that it can
        // activate the next one and forget this one.
        const HWND mdiClient = FormStyle == fsMDIChild ? GetParent(window) : nullptr;
        if (mdiClient)
            SendMessageW(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        else
            DestroyWindow(window);
    }
}

TForm* TForm::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    return static_cast<TForm*>(GetPropW(window, kFormProperty));
}

HWND TForm::Handle()
{
    if (!window_)
        CreateHandle();
    return window_.Get();
}

void TForm::CreateHandle()
{
    const std::wstring className = WideText(className_);
    RegisterFormClass(className_, className, StaticWndProc);

    HWND parent = nullptr;
    // A top-level window is laid out at the system's DPI, an MDI child at
    // its frame's, and so are the windowless controls placed so far.
    dpi_ = DpiOf(nullptr);
    if (FormStyle == fsMDIChild) {
        TForm* const frame = Application.MainForm();
        if (frame && frame != this) {
            frame->HandleNeeded();
            parent = frame->ClientHandle();
            dpi_ = frame->Dpi();
        }
        if (!parent)
            throw Error("Cannot create the window " + className_ + ": there is no MDI frame to hold it");
    }
    Font.SetPixelsPerInch(dpi_);
    graphicControls_.DpiChanged();

    const WindowStyles styles = StylesOf(BorderStyle, BorderIcons, FormStyle);
    RECT bounds{0, 0, ScaleToDpi(ClientWidth, dpi_), ScaleToDpi(ClientHeight, dpi_)};
    if (!AdjustWindowRectEx(&bounds, styles.style, FALSE, styles.exStyle))
        RaiseLastOSError("Cannot size the window " + className_);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    int x = ScaleToDpi(Left, dpi_);
    int y = ScaleToDpi(Top, dpi_);
    if (Position == poScreenCenter) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    } else if (Position == poDefault) {
        x = y = CW_USEDEFAULT;
    }

    TForm* const outer = std::exchange(s_creating, this);
    const HWND window = CreateWindowExW(styles.exStyle, className.c_str(), WideText(caption_).c_str(),
                                        styles.style, x, y, width, height, parent, nullptr, Instance(), nullptr);
    s_creating = outer;
    if (!window)
        RaiseLastOSError("Cannot create the window " + className_);
    if (FromHandle(window) != this) {
        DestroyWindow(window);
        throw Error("Cannot bind the window " + className_ + " to its form");
    }
    if (FormStyle == fsMDIForm) {
        try {
            CreateClientWindow();
        } catch (...) {
            const HWND failed = window_.Release();
            RemovePropW(failed, kFormProperty);
            DestroyWindow(failed);
            throw;
        }
    }
    // A top-level window that the system placed on a monitor of another
    // scale than the system's.
    const int dpi = DpiOf(window);
    if (!parent && dpi != dpi_)
        ChangeDpi(dpi, nullptr);
}

void TForm::CreateClientWindow()
{
    RECT area{};
    if (!GetClientRect(window_.Get(), &area))
        RaiseLastOSError("Cannot read the size of " + className_);
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = nullptr;
    ccs.idFirstChild = kFirstMDIChildId;
    // MDIS_ALLCHILDSTYLES: an MDI child keeps the border and border icons
    // its form asks for, instead of the system's full set.
    client_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL |
                                  WS_VSCROLL | MDIS_ALLCHILDSTYLES,
                              0, 0, area.right, area.bottom, window_.Get(), nullptr, Instance(), &ccs);
    if (!client_)
        RaiseLastOSError("Cannot create the MDI client window of " + className_);
}

void TForm::Attach(HWND window)
{
    if (SetPropW(window, kFormProperty, this))
        window_ = WindowHandle(window);
}

void TForm::Detach()
{
    const HWND window = window_.Release();
    if (window)
        RemovePropW(window, kFormProperty);
    client_ = nullptr;
}

LRESULT CALLBACK TForm::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TForm* form = FromHandle(window);
    if (!form && s_creating) {
        form = std::exchange(s_creating, nullptr);
        form->Attach(window);
        if (FromHandle(window) != form)
            form = nullptr;
    }
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        form->Detach();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may unwind through the system's frames: a failing handler is
    // reported here and the message counts as handled.
    try {
        if (message == CM_RELEASE) {
            Application.FreeForm(form);  // `form` is gone after this
            return 0;
        }
        return form->WndProc(message, wParam, lParam);
    } catch (...) {
        Application.HandleException(form);
        return 0;
    }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (graphicControls_.HandleMessage(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_CLOSE:
        WMClose();
        return 0;
    case WM_SIZE: {
        // The default procedure first: it fits the MDI client to the frame,
        // so the resize handler sees the new layout.
        const LRESULT result = DefaultHandler(message, wParam, lParam);
        WMSize();
        return result;
    }
    case WM_ERASEBKGND: return WMEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_QUERYNEWPALETTE: return WMQueryNewPalette();
    case kDpiChanged:
        WMDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_PALETTECHANGED:
        WMPaletteChanged(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_SYSCOMMAND:
        // A form without a system menu shows no close command, so the
        // system's (Ctrl+F4 on an MDI child, Alt+F4) does not close it
        // either; Close() still does.
        if ((wParam & 0xFFF0) == SC_CLOSE && !BorderIcons.Contains(biSystemMenu))
            return 0;
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TForm::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (FormStyle == fsMDIForm)
        return DefFrameProcW(window_.Get(), client_, message, wParam, lParam);
    if (FormStyle == fsMDIChild)
        return DefMDIChildProcW(window_.Get(), message, wParam, lParam);
    return DefWindowProcW(window_.Get(), message, wParam, lParam);
}

void TForm::WMSize()
{
    if (OnResize)
        OnResize(this);
}

LRESULT TForm::WMEraseBkgnd(HDC dc)
{
    RECT area{};
    if (!GetClientRect(window_.Get(), &area))
        RaiseLastOSError("Cannot read the size of " + className_);
    FillRect(dc, &area, brush_.Handle());
    return 1;
}

LRESULT TForm::WMQueryNewPalette() { return RealizeOwnPalette(true) ? TRUE : FALSE; }

void TForm::WMPaletteChanged(HWND changer)
{
    if (changer != window_.Get())
        RealizeOwnPalette(false);
}

bool TForm::RealizeOwnPalette(bool foreground)
{
    const HPALETTE palette = GetPalette();
    if (!palette || !window_)
        return false;
    WindowDC dc(window_.Get());
    if (!dc)
        return false;
    const HPALETTE previous = SelectPalette(dc.Get(), palette, foreground ? FALSE : TRUE);
    const UINT changed = RealizePalette(dc.Get());
    if (previous)
        SelectPalette(dc.Get(), previous, TRUE);
    if (changed == GDI_ERROR || changed == 0)
        return false;
    // The colours of the whole window tree may have moved, the MDI client's
    // backdrop included.
    RedrawWindow(window_.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

void TForm::ChangeDpi(int dpi, const RECT* suggested)
{
    dpi_ = dpi;
    Font.SetPixelsPerInch(dpi);
    if (!window_)
        return;
    const HWND window = window_.Get();
    // The controls take the new font before anything is drawn with it.
    for (TWinControl* control = controls_; control; control = control->next_)
        control->DpiChanged();
    graphicControls_.DpiChanged();
    constexpr UINT kPlacing = SWP_NOZORDER | SWP_NOACTIVATE;
    if (suggested) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, kPlacing);
    } else {
        // The frame as the system draws it at this DPI, around the layout's
        // client size.
        RECT outer{}, client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left - client.right + ScaleToDpi(ClientWidth, dpi),
                     outer.bottom - outer.top - client.bottom + ScaleToDpi(ClientHeight, dpi), kPlacing | SWP_NOMOVE);
    }
    // MDI children get no WM_DPICHANGED of their own.
    for (HWND child = client_ ? GetWindow(client_, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT))
        if (TForm* const form = FromHandle(child))
            form->ChangeDpi(dpi, nullptr);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (OnDpiChange)
        OnDpiChange(this);
}

void TForm::SetCaption(const std::string& caption)
{
    caption_ = caption;
    if (window_ && !SetWindowTextW(window_.Get(), WideText(caption_).c_str()))
        RaiseLastOSError("Cannot set the caption of " + className_);
}

void TForm::SetColor(TColor color)
{
    brush_.SetColor(color);
    if (window_)
        InvalidateRect(window_.Get(), nullptr, TRUE);
}

bool TForm::Visible() const { return window_ && IsWindowVisible(window_.Get()); }

void TForm::Show()
{
    const HWND window = Handle();
    if (Visible())
        return;
    DoShow();
    ShowWindow(window, ShowCommandOf(WindowState));
    // An MDI child becomes the client's active child, which takes the
    // keyboard focus whenever the frame has it.
    if (FormStyle == fsMDIChild)
        SendMessageW(GetParent(window), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
}

void TForm::Hide()
{
    if (window_)
        ShowWindow(window_.Get(), SW_HIDE);
}

void TForm::Close()
{
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (Application.MainForm() == this)
        Application.Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        ShowWindow(Handle(), SW_MINIMIZE);
    else
        Release();
}

void TForm::Release()
{
    if (!PostMessageW(Handle(), CM_RELEASE, 0, 0))
        RaiseLastOSError("Cannot release the form " + Name());
}

void TForm::Repaint()
{
    if (!window_)
        return;
    InvalidateRect(window_.Get(), nullptr, TRUE);
    UpdateWindow(window_.Get());
}

void TForm::DoCreate()
{
    try {
        if (OnCreate)
            OnCreate(this);
    } catch (...) {
        Application.HandleException(this);
    }
}

void TForm::DoShow()
{
    // A failing show handler is reported; the window is shown all the same,
    // so the program never runs on without a visible window.
    try {
        if (OnShow)
            OnShow(this);
    } catch (...) {
        Application.HandleException(this);
    }
}

void TForm::DoDestroy()
{
    if (std::exchange(destroyed_, true))
        return;
    try {
        if (OnDestroy)
            OnDestroy(this);
    } catch (...) {
        Application.HandleException(this);
    }
}

void TForm::DoKeyDown(std::uint16_t& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

}  // namespace lumora

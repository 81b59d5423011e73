#include "SaverWindow.h"

#include <cstdlib>

#include "Handles.h"

namespace aurora {

namespace {

const char kClassName[] = "AuroraSaverWindow";
const char kFullScreenTitle[] = "Aurora";
const char kPreviewTitle[] = "Aurora preview";
const UINT_PTR kFrameTimer = 1;
const UINT kFrameMs = 40;
// The mouse may wander this many pixels before the full-screen picture ends.
const int kMouseSlack = 4;

bool registerClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, kClassName, &wc))
        return true;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

bool SaverWindow::createFullScreen(HINSTANCE instance, bool randomPlay)
{
    fullScreen_ = true;
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT area{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!create(instance, randomPlay, WS_EX_TOPMOST, WS_POPUP, nullptr, area))
        return false;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
    ShowCursor(FALSE);
    return true;
}

bool SaverWindow::createPreview(HINSTANCE instance, HWND parent, bool randomPlay)
{
    if (!parent || !IsWindow(parent))
        return false;
    parent_ = parent;
    RECT area{};
    GetClientRect(parent, &area);
    return create(instance, randomPlay, 0, WS_CHILD | WS_VISIBLE, parent, area);
}

bool SaverWindow::create(HINSTANCE instance, bool randomPlay, DWORD exStyle, DWORD style, HWND parent,
                         RECT area)
{
    if (!registerClass(instance, windowProc))
        return false;
    scene_.reset(new AuroraScene(randomPlay, GetTickCount() ^ GetCurrentProcessId()));
    if (!CreateWindowExA(exStyle, kClassName, fullScreen_ ? kFullScreenTitle : kPreviewTitle, style, area.left,
                         area.top, area.right - area.left, area.bottom - area.top, parent, nullptr, instance,
                         this))
        return false;
    SetTimer(window_, kFrameTimer, kFrameMs, nullptr);
    return true;
}

int SaverWindow::run()
{
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK SaverWindow::windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SaverWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SaverWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wparam, lparam);
    return self->handle(message, wparam, lparam);
}

LRESULT SaverWindow::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SIZE:
        onSize(LOWORD(lparam), HIWORD(lparam));
        return 0;
    case WM_TIMER:
        if (wparam == kFrameTimer)
            onTimer();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        onPaint();
        return 0;
    case WM_DESTROY:
        KillTimer(window_, kFrameTimer);
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    if (fullScreen_ && handleUserInput(message, lparam))
        return message == WM_SETCURSOR ? TRUE : 0;
    return DefWindowProcA(window_, message, wparam, lparam);
}

// Full screen, any key, any button and a mouse that really moves end the
// picture; the pointer is hidden. True when the message was taken.
bool SaverWindow::handleUserInput(UINT message, LPARAM lparam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return true;
    case WM_MOUSEMOVE:
        onMouseMove(POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        DestroyWindow(window_);
        return true;
    default:
        return false;
    }
}

void SaverWindow::onSize(int width, int height)
{
    if (width <= 0 || height <= 0 || !scene_)
        return;
    if (frame_.resize(window_, width, height)) {
        scene_->resize(frame_.dc(), width, height);
        scene_->paint(frame_.dc());
    }
}

void SaverWindow::onTimer()
{
    if (parent_ && !IsWindow(parent_)) {
        DestroyWindow(window_);
        return;
    }
    if (!scene_ || !frame_.ready())
        return;
    scene_->step();
    scene_->paint(frame_.dc());
    InvalidateRect(window_, nullptr, FALSE);
}

void SaverWindow::onPaint()
{
    sample::PaintDc dc(window_);
    frame_.copyTo(dc.get());
}

void SaverWindow::onMouseMove(POINT at)
{
    // The first report only tells where the pointer rests: the system sends
    // one when a window appears under it.
    if (!mouseSeen_) {
        mouseSeen_ = true;
        mouseStart_ = at;
        return;
    }
    if (std::abs(at.x - mouseStart_.x) > kMouseSlack || std::abs(at.y - mouseStart_.y) > kMouseSlack)
        DestroyWindow(window_);
}

}  // namespace aurora

#include "framework/GraphicControlHost.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "framework/Form.h"
#include "framework/FormAccessible.h"
#include "framework/GraphicControl.h"

namespace lumora {

namespace {

// Every host in the process: the application's deactivation reaches the top
// windows only, but concerns the controls of MDI children as well.
std::vector<GraphicControlHost*>& Hosts()
{
    static std::vector<GraphicControlHost*> hosts;
    return hosts;
}

// BeginPaint and EndPaint around the painting of an update region.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

TMouseButton ButtonOf(UINT message)
{
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP: return mbRight;
    default: return mbLeft;
    }
}

// Whether the window and all windows it sits in are enabled.
bool ReachesInput(HWND window)
{
    for (; window && window != GetDesktopWindow(); window = GetAncestor(window, GA_PARENT))
        if (!IsWindowEnabled(window))
            return false;
    return true;
}

bool IsDoubleClick(UINT message) { return message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK; }

// The keys and buttons of a mouse message; Alt from the keyboard state.
TShiftState MouseShiftState(WPARAM keys, bool doubleClick)
{
    TShiftState shift;
    if (keys & MK_SHIFT)
        shift.Include(ssShift);
    if (keys & MK_CONTROL)
        shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0)
        shift.Include(ssAlt);
    if (keys & MK_LBUTTON)
        shift.Include(ssLeft);
    if (keys & MK_RBUTTON)
        shift.Include(ssRight);
    if (keys & MK_MBUTTON)
        shift.Include(ssMiddle);
    if (doubleClick)
        shift.Include(ssDouble);
    return shift;
}

}  // namespace

GraphicControlHost::GraphicControlHost(TForm& form) : form_(form) { Hosts().push_back(this); }

GraphicControlHost::~GraphicControlHost()
{
    for (TGraphicControl* control : controls_)
        control->parent_ = nullptr;
    auto& hosts = Hosts();
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
}

void GraphicControlHost::Add(TGraphicControl& control)
{
    if (!Contains(&control))
        controls_.push_back(&control);
}

void GraphicControlHost::Remove(TGraphicControl& control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
    if (capture_ == &control)
        ReleaseMouseCapture();
    if (mouseControl_ == &control)
        mouseControl_ = nullptr;
}

bool GraphicControlHost::Contains(const TGraphicControl* control) const
{
    return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

template <class Action>
void GraphicControlHost::ForEachControl(Action action)
{
    const std::vector<TGraphicControl*> snapshot = controls_;
    for (TGraphicControl* control : snapshot)
        if (Contains(control))
            action(*control);
}

TGraphicControl* GraphicControlHost::ControlAt(POINT point) const
{
    // The last added lies on top.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TGraphicControl* control = *it;
        if (control->Visible() && control->Enabled() && PtInRect(&control->BoundsRect(), point))
            return control;
    }
    return nullptr;
}

bool GraphicControlHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return MouseButtonDown(message, wParam, lParam);
    case WM_MOUSEMOVE: return MouseMove(wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: return MouseButtonUp(message, wParam, lParam);
    case WM_CANCELMODE:
        // The default handler runs as well.
        CancelMode();
        return false;
    case WM_CAPTURECHANGED:
        CaptureChanged(reinterpret_cast<HWND>(lParam));
        return false;
    case WM_ACTIVATEAPP:
        if (!wParam) {
            const std::vector<GraphicControlHost*> hosts = Hosts();
            for (GraphicControlHost* host : hosts)
                if (std::find(Hosts().begin(), Hosts().end(), host) != Hosts().end())
                    host->ForEachControl([](TGraphicControl& control) { control.ApplicationDeactivated(); });
        }
        return false;
    case WM_PAINT: {
        if (controls_.empty())
            return false;
        // BeginPaint has the form's background erased first where needed.
        PaintScope paint(form_.Handle());
        Paint(paint.Dc(), paint.Area());
        return true;
    }
    case WM_DESTROY:
        capture_ = nullptr;
        mouseControl_ = nullptr;
        return false;
    case WM_GETOBJECT: return AnswerGetObject(form_, wParam, lParam, result);
    case CM_DEFAULTACTION: {
        // The control may have gone since the action was asked for. As a
        // mouse click, the action does not reach a form that is disabled or
        // sits in a disabled window (a modal box is up).
        TGraphicControl* const control = reinterpret_cast<TGraphicControl*>(lParam);
        if (Contains(control) && ReachesInput(form_.Handle()))
            control->DoDefaultAction();
        return true;
    }
    }
    return false;
}

bool GraphicControlHost::PostDefaultAction(TGraphicControl& control)
{
    return form_.HandleAllocated() &&
           PostMessageW(form_.Handle(), CM_DEFAULTACTION, 0, reinterpret_cast<LPARAM>(&control)) != FALSE;
}

bool GraphicControlHost::MouseButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = PointOf(lParam);
    TGraphicControl* target = capture_ ? capture_ : ControlAt(point);
    if (!target)
        return false;
    const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    if (left && !capture_ && target->CapturesMouse()) {
        SetCapture(form_.Handle());
        capture_ = target;
    }
    target->MouseDown(ButtonOf(message), MouseShiftState(wParam, IsDoubleClick(message)), point.x - target->Left(),
                      point.y - target->Top(), IsDoubleClick(message));
    return true;
}

bool GraphicControlHost::MouseMove(WPARAM wParam, LPARAM lParam)
{
    const POINT point = PointOf(lParam);
    const TShiftState shift = MouseShiftState(wParam, false);
    if (capture_) {
        capture_->MouseMove(shift, point.x - capture_->Left(), point.y - capture_->Top());
        return true;
    }
    TGraphicControl* const target = ControlAt(point);
    if (target != mouseControl_) {
        TGraphicControl* const left = std::exchange(mouseControl_, target);
        if (left)
            left->MouseLeave();
    }
    // The leave handler may have removed the new control too.
    if (!mouseControl_)
        return false;
    mouseControl_->MouseMove(shift, point.x - mouseControl_->Left(), point.y - mouseControl_->Top());
    return true;
}

bool GraphicControlHost::MouseButtonUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = PointOf(lParam);
    TGraphicControl* const target = capture_ ? capture_ : ControlAt(point);
    // The capture goes before the control hears of the release: its click
    // handler may open windows that want the mouse.
    if (message == WM_LBUTTONUP && capture_)
        ReleaseMouseCapture();
    if (!target)
        return false;
    target->MouseUp(ButtonOf(message), MouseShiftState(wParam, false), point.x - target->Left(),
                    point.y - target->Top());
    return true;
}

void GraphicControlHost::ReleaseMouseCapture()
{
    // Cleared first: the WM_CAPTURECHANGED that ReleaseCapture sends is then
    // no loss of the capture for a control.
    capture_ = nullptr;
    if (form_.HandleAllocated() && GetCapture() == form_.Handle())
        ReleaseCapture();
}

void GraphicControlHost::CancelMode()
{
    ReleaseMouseCapture();
    ForEachControl([](TGraphicControl& control) { control.CancelMode(); });
}

void GraphicControlHost::CaptureChanged(HWND newCapture)
{
    if (!capture_ || (form_.HandleAllocated() && newCapture == form_.Handle()))
        return;
    TGraphicControl* const holder = std::exchange(capture_, nullptr);
    holder->CancelMode();
}

void GraphicControlHost::Paint(HDC dc, const RECT& area)
{
    ForEachControl([dc, &area](TGraphicControl& control) {
        RECT common{};
        if (control.Visible() && IntersectRect(&common, &control.BoundsRect(), &area))
            control.Paint(dc);
    });
}

void GraphicControlHost::DpiChanged()
{
    for (TGraphicControl* control : controls_)
        control->DpiChanged();
}

bool GraphicControlHost::DialogChar(char32_t typed)
{
    const std::vector<TGraphicControl*> snapshot = controls_;
    for (TGraphicControl* control : snapshot)
        if (Contains(control) && control->DialogChar(typed))
            return true;
    return false;
}

}  // namespace lumora

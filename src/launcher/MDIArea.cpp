#include "launcher/MDIArea.h"

#include <utility>

#include "base/Error.h"
#include "launcher/NewBevel.h"

namespace lumora {

namespace {

const char kNotOnMDIForm[] = "TMDIArea can only be used on a form with FormStyle=fsMDIForm";

TForm* RequireMDIForm(TComponent* owner)
{
    TForm* const form = owner ? owner->AsForm() : nullptr;
    if (!form || form->FormStyle != fsMDIForm)
        throw Error(kNotOnMDIForm);
    return form;
}

// Points a canvas at a device context for one paint and lets go of it after,
// also when the paint fails.
class CanvasScope {
public:
    CanvasScope(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
    ~CanvasScope() { canvas_.SetHandle(nullptr); }
    CanvasScope(const CanvasScope&) = delete;
    CanvasScope& operator=(const CanvasScope&) = delete;

private:
    TCanvas& canvas_;
};

}  // namespace

TMDIArea::TMDIArea(TComponent* owner, std::string name) : TGraphicControl(RequireMDIForm(owner), std::move(name))
{
    SetBounds(0, 0, 150, 40);
    Parent()->HandleNeeded();
    AlignToParent();
    clientProcedure_.emplace(Parent()->ClientHandle(), [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return ClientWndProc(message, wParam, lParam);
    });
}

TMDIArea::~TMDIArea() = default;

HWND TMDIArea::ClientWindow() const { return clientProcedure_ ? clientProcedure_->Window() : nullptr; }

void TMDIArea::AlignToParent()
{
    TForm* const form = Parent();
    if (!form || !form->HandleAllocated())
        return;
    RECT area{};
    if (GetClientRect(form->Handle(), &area))
        Place(area);
}

LRESULT TMDIArea::ClientWndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        clientProcedure_->CallPrevious(message, wParam, lParam);
        PaintClient(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_WINDOWPOSCHANGING: return WMWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL: {
        const LRESULT result = clientProcedure_->CallPrevious(message, wParam, lParam);
        InvalidateRect(ClientWindow(), nullptr, TRUE);
        return result;
    }
    }
    return clientProcedure_->CallPrevious(message, wParam, lParam);
}

LRESULT TMDIArea::WMWindowPosChanging(WINDOWPOS& position)
{
    // The form is being laid out (or SetBevel moves the client window): the
    // control's bounds follow the form's client area first.
    AlignToParent();
    const int b = bevel_ ? 1 : 0;
    position.x = Left() + 2 * b;
    position.y = Top() + 2 * b;
    position.cx = Width() - 4 * b;
    position.cy = Height() - 4 * b;
    return 0;
}

void TMDIArea::PaintClient(HDC dc)
{
    CanvasScope scope(clientCanvas_, dc);
    RECT rect{};
    GetClientRect(ClientWindow(), &rect);
    PaintBackground(clientCanvas_, rect);
    if (OnPaint)
        OnPaint(this, clientCanvas_, rect);
}

void TMDIArea::PaintBackground(TCanvas& canvas, const RECT& rect)
{
    canvas.Brush.SetColor(backgroundColor_);
    canvas.FillRect(rect);
}

void TMDIArea::Paint(HDC dc)
{
    if (!bevel_)
        return;
    TCanvas canvas;
    canvas.SetHandle(dc);
    DrawSunkenBevel(canvas, BoundsRect());
}

void TMDIArea::SetBackgroundColor(TColor color)
{
    if (color == backgroundColor_)
        return;
    backgroundColor_ = color;
    if (ClientWindow())
        InvalidateRect(ClientWindow(), nullptr, TRUE);
    Repaint();
}

void TMDIArea::SetBevel(bool bevel)
{
    if (bevel == bevel_)
        return;
    bevel_ = bevel;
    TForm* const form = Parent();
    if (ClientWindow() && form && form->HandleAllocated()) {
        RECT area{};
        GetClientRect(form->Handle(), &area);
        // The client window's procedure turns this into the control's bounds.
        SetWindowPos(ClientWindow(), nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Repaint();
}

}  // namespace lumora

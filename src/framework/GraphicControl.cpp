#include "framework/GraphicControl.h"

#include <utility>

#include "framework/DevicePixels.h"
#include "framework/Form.h"
#include "framework/FormAccessible.h"

namespace lumora {

TGraphicControl::TGraphicControl(TForm* parent, std::string name)
    : TComponent(parent, std::move(name)), parent_(parent)
{
    if (parent_)
        parent_->GraphicControls().Add(*this);
}

TGraphicControl::~TGraphicControl()
{
    if (!parent_)
        return;
    if (visible_)
        InvalidateArea(bounds_, true);
    parent_->GraphicControls().Remove(*this);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height)
{
    layout_ = RECT{left, top, left + width, top + height};
    PlaceByLayout();
}

void TGraphicControl::DpiChanged() { PlaceByLayout(); }

void TGraphicControl::PlaceByLayout()
{
    const int dpi = parent_ ? parent_->Dpi() : kLayoutDpi;
    const int left = ScaleToDpi(layout_.left, dpi);
    const int top = ScaleToDpi(layout_.top, dpi);
    Place(RECT{left, top, left + ScaleToDpi(layout_.right - layout_.left, dpi),
               top + ScaleToDpi(layout_.bottom - layout_.top, dpi)});
}

void TGraphicControl::Place(const RECT& bounds)
{
    if (EqualRect(&bounds, &bounds_))
        return;
    const RECT old = std::exchange(bounds_, bounds);
    if (visible_) {
        InvalidateArea(old, true);
        Invalidate();
    }
}

void TGraphicControl::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible_)
        Invalidate();
    else
        InvalidateArea(bounds_, true);
    VisibleChanged();
}

void TGraphicControl::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    EnabledChanged();
    Invalidate();
}

void TGraphicControl::Invalidate()
{
    // The control paints all of its rectangle: no need to erase under it.
    if (visible_)
        InvalidateArea(bounds_, false);
}

void TGraphicControl::Repaint()
{
    Invalidate();
    if (parent_ && parent_->HandleAllocated())
        UpdateWindow(parent_->Handle());
}

void TGraphicControl::InvalidateArea(const RECT& area, bool erase) const
{
    if (parent_ && parent_->HandleAllocated())
        InvalidateRect(parent_->Handle(), &area, erase ? TRUE : FALSE);
}

bool TGraphicControl::PointerOver() const
{
    if (!parent_ || !parent_->HandleAllocated() || !visible_)
        return false;
    const HWND window = parent_->Handle();
    POINT point{};
    if (!GetCursorPos(&point) || WindowFromPoint(point) != window || !ScreenToClient(window, &point))
        return false;
    return PtInRect(&bounds_, point) != FALSE;
}

void TGraphicControl::AccessibleNameChanged() const
{
    if (parent_ && parent_->HandleAllocated())
        NotifyAccessibleNameChange(*parent_, *this);
}

void TGraphicControl::MouseDown(TMouseButton, TShiftState, int, int, bool) {}
void TGraphicControl::MouseMove(TShiftState, int, int) {}
void TGraphicControl::MouseUp(TMouseButton, TShiftState, int, int) {}
void TGraphicControl::MouseLeave() {}
void TGraphicControl::CancelMode() {}
bool TGraphicControl::DialogChar(char32_t) { return false; }
void TGraphicControl::ApplicationDeactivated() {}

}  // namespace lumora

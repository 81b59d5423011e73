#include "controls/TB97.h"

#include <utility>

#include "controls/ButtonAccessibility.h"
#include "controls/ButtonPainter.h"
#include "controls/SharedHoverTracker.h"
#include "framework/Form.h"

namespace lumora {

TToolbarButton97::TToolbarButton97(TForm* owner, std::string name)
    : TGraphicControl(owner, std::move(name)), behaviour_(*this, *this, ButtonHoverTracker())
{
    SetBounds(0, 0, 22, 23);
}

TToolbarButton97::~TToolbarButton97() = default;

void TToolbarButton97::SetCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    Invalidate();
    AccessibleNameChanged();
}

void TToolbarButton97::SetFlat(bool flat)
{
    Flat = flat;
    Invalidate();
}

void TToolbarButton97::SetFont(const TFont& font)
{
    Font.Assign(font);
    ParentFont = false;
    Invalidate();
}

void TToolbarButton97::SetParentFont(bool parentFont)
{
    ParentFont = parentFont;
    Invalidate();
}

void TToolbarButton97::Click() { behaviour_.Click(); }

void TToolbarButton97::Paint(HDC dc)
{
    TForm* const form = Parent();
    TFont& font = ParentFont && form ? form->Font : Font;
    const TButtonState97 state = behaviour_.State();
    ButtonLook look;
    look.dpi = form ? form->Dpi() : kLayoutDpi;
    font.SetPixelsPerInch(look.dpi);
    look.width = Width();
    look.height = Height();
    look.color = form ? form->Color() : clBtnFace;
    look.sunken = state == bsPressed || state == bsLatched;
    look.disabled = state == bsDisabled;
    look.caption = caption_;
    look.font = font.Handle();
    look.fontColor = font.Color();
    PaintButton(dc, Left(), Top(), look);
}

void TToolbarButton97::MouseDown(TMouseButton button, TShiftState shift, int x, int y, bool)
{
    // The second press of a double click is a press like the first.
    if (button == mbLeft)
        behaviour_.Press();
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TToolbarButton97::MouseMove(TShiftState, int x, int y) { behaviour_.Move(Inside(x, y)); }

void TToolbarButton97::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
    if (button == mbLeft)
        behaviour_.Release(Inside(x, y));
    else if (button == mbRight)
        behaviour_.RightRelease();
}

void TToolbarButton97::MouseLeave() { behaviour_.Move(false); }

void TToolbarButton97::CancelMode() { behaviour_.Cancel(); }

bool TToolbarButton97::DialogChar(char32_t typed) { return behaviour_.DialogChar(caption_, Visible(), typed); }

void TToolbarButton97::ApplicationDeactivated() { behaviour_.ApplicationDeactivated(); }

bool TToolbarButton97::DescribeAccessible(AccessibleElement& element) const
{
    element = DescribeButton(caption_, behaviour_, Visible());
    return true;
}

void TToolbarButton97::DoDefaultAction() { behaviour_.DefaultAction(Visible()); }

void TToolbarButton97::EnabledChanged() { behaviour_.SetEnabled(Enabled()); }

void TToolbarButton97::VisibleChanged()
{
    if (!Visible())
        behaviour_.Cancel();
}

void TToolbarButton97::ClickAction()
{
    // 0 leaves the form's result alone: a modeless form is not affected.
    if (ModalResult != 0)
        if (TForm* const form = Parent())
            form->ModalResult = ModalResult;
    if (OnClick)
        OnClick(this);
}

void TToolbarButton97::MouseEntered()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TToolbarButton97::MouseExited()
{
    if (OnMouseExit)
        OnMouseExit(this);
}

}  // namespace lumora

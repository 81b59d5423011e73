#pragma once
// TToolbarButton97: the push button of the installer's forms. A windowless
// control (see TGraphicControl) that paints itself on its form with the
// three-dimensional look and a centred caption, captures the mouse while the
// left button is held on it, clicks on a release over it, on its caption's
// accelerator or on an accessibility client's default action, and takes
// double clicks as two presses. It never has the keyboard focus.
//
//   TToolbarButton97 button(form, "ToolbarButton971");
//   button.SetBounds(144, 247, 67, 26);
//   button.SetCaption("< &Back");
//   button.Flat = false;
//   button.OnClick = Handler(form, &TSetupWiz::ToolbarButton971Click);
//
// The published properties of TButtonProperties97 keep their values; the
// glyph, group, drop-down, auto-repeat and flat looks are not built.
#include <windows.h>

#include <string>

#include "controls/ButtonBehaviour.h"
#include "controls/ButtonProperties.h"
#include "framework/Events.h"
#include "framework/Font.h"
#include "framework/GraphicControl.h"

namespace lumora {

class TForm;

class TToolbarButton97 : public TGraphicControl, public TButtonProperties97, private ButtonBehaviourHost {
public:
    // `owner` hosts the button on its client area; 22 x 23 pixels at 0, 0.
    TToolbarButton97(TForm* owner, std::string name);
    ~TToolbarButton97() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    void SetFlat(bool flat);
    // The font used when ParentFont is false; setting it clears ParentFont.
    TFont Font;
    void SetFont(const TFont& font);
    void SetParentFont(bool parentFont);

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // The click operation: the button looks pressed while the form's
    // ModalResult is set (when the button's is not 0) and OnClick runs, and
    // is up again afterwards, also when OnClick throws; the exception then
    // goes on to the caller.
    void Click();

    TButtonState97 State() const { return behaviour_.State(); }
    bool Tracking() const { return behaviour_.Tracking(); }
    bool PointerInside() const { return behaviour_.PointerInside(); }
    bool InClick() const { return behaviour_.InClick(); }

    // ----- TGraphicControl --------------------------------------------------
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y, bool doubleClick) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void CancelMode() override;
    bool DialogChar(char32_t typed) override;
    void ApplicationDeactivated() override;
    bool DescribeAccessible(AccessibleElement& element) const override;
    void DoDefaultAction() override;

protected:
    void EnabledChanged() override;
    void VisibleChanged() override;

private:
    // ----- ButtonBehaviourHost ---------------------------------------------
    void RepaintButton() override { Repaint(); }
    bool PointerOverButton() override { return PointerOver(); }
    void ClickAction() override;
    void MouseEntered() override;
    void MouseExited() override;

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }

    std::string caption_;
    ButtonBehaviour behaviour_;
};

}  // namespace lumora

#pragma once
// The push button's behaviour without its window system: the button state,
// mouse tracking, the click operation, accelerators, enabling and hover.
// The control feeds it the mouse and keyboard input the form routes to it;
// the behaviour asks the control, through ButtonBehaviourHost, to repaint,
// to report where the pointer is and to run the click's action.
#include <memory>
#include <string_view>

#include "controls/ButtonProperties.h"
#include "controls/HoverTracker.h"

namespace lumora {

// up; disabled; pressed (held by the mouse or during a click); latched (held
// down in a group); hot (under the pointer).
enum TButtonState97 { bsUp, bsDisabled, bsPressed, bsLatched, bsHot };

class ButtonBehaviourHost {
public:
    // Draws the button in its current state, at once: a click's handler may
    // run long without letting the window system paint.
    virtual void RepaintButton() = 0;
    // Whether the pointer is over the button's client area right now.
    virtual bool PointerOverButton() = 0;
    // The click's effect: the form's ModalResult, then OnClick.
    virtual void ClickAction() = 0;
    // Raise OnMouseEnter / OnMouseExit.
    virtual void MouseEntered() = 0;
    virtual void MouseExited() = 0;

protected:
    ~ButtonBehaviourHost() = default;
};

class ButtonBehaviour : private HoverTarget {
public:
    ButtonBehaviour(ButtonBehaviourHost& host, const TButtonProperties97& properties, HoverTracker& hover);
    ~ButtonBehaviour();
    ButtonBehaviour(const ButtonBehaviour&) = delete;
    ButtonBehaviour& operator=(const ButtonBehaviour&) = delete;

    TButtonState97 State() const { return state_; }
    bool Tracking() const { return tracking_; }
    bool PointerInside() const { return pointerInside_; }
    bool InClick() const { return clickDepth_ > 0; }
    bool Enabled() const { return enabled_; }
    // Whether the button is the hot control: the pointer is over it.
    bool Hot() const { return hover_.Hot() == this; }

    // Left button pressed on the button (also the second press of a double
    // click). Ignored while disabled. The control raises OnMouseDown after it.
    void Press();
    // The pointer moved; `inside`: it is in the client area. While tracking,
    // every move arrives here (the mouse is captured).
    void Move(bool inside);
    // Left button released; `inside`: at a point of the client area. The
    // control raises OnMouseUp before it. Clicks when tracking and inside.
    void Release(bool inside);
    void RightRelease();
    // The window system cancelled the mouse mode (the capture went elsewhere).
    void Cancel();
    // The click operation. An exception of the action leaves the button up
    // and continues to the caller.
    void Click();
    // A dialog character offered by the form: clicks and returns true when it
    // is the caption's accelerator and the button is enabled and visible.
    bool DialogChar(std::string_view caption, bool visible, char32_t typed);
    // The default action an accessibility client asks for: clicks and
    // returns true when the button is enabled and visible.
    bool DefaultAction(bool visible);
    void SetEnabled(bool enabled);
    void ApplicationDeactivated() { hover_.ApplicationDeactivated(); }

private:
    bool PointerOver() override { return host_.PointerOverButton(); }
    void HoverEntered() override;
    void HoverLeft() override;

    void SetState(TButtonState97 state);
    void ReleaseWithoutClick();
    void EndClick();

    ButtonBehaviourHost& host_;
    const TButtonProperties97& properties_;
    HoverTracker& hover_;
    TButtonState97 state_ = bsUp;
    bool enabled_ = true;
    bool tracking_ = false;
    bool pointerInside_ = false;
    int clickDepth_ = 0;
    // Turns false when the behaviour goes: a click whose handler destroyed
    // the button must not touch it afterwards. Not std::make_shared: in a
    // build without run-time type information its control block links
    // libstdc++'s shared_ptr support, about 3 KB of the setup program.
    std::shared_ptr<bool> alive_{new bool(true)};
};

}  // namespace lumora

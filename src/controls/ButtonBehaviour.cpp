#include "controls/ButtonBehaviour.h"

#include <utility>

#include "controls/Accelerator.h"

namespace lumora {

ButtonBehaviour::ButtonBehaviour(ButtonBehaviourHost& host, const TButtonProperties97& properties,
                                 HoverTracker& hover)
    : host_(host), properties_(properties), hover_(hover)
{
}

ButtonBehaviour::~ButtonBehaviour()
{
    *alive_ = false;
    hover_.Forget(*this);
}

void ButtonBehaviour::Press()
{
    if (!enabled_)
        return;
    pointerInside_ = true;
    if (!properties_.Down)
        SetState(bsPressed);
    tracking_ = true;
}

void ButtonBehaviour::Move(bool inside)
{
    pointerInside_ = inside;
    if (tracking_ && state_ != bsLatched)
        SetState(inside ? bsPressed : bsUp);
    if (!inside) {
        hover_.Leave(*this);
        return;
    }
    if (!enabled_)
        return;
    hover_.PointerOver(*this);
    // Back to up after a click while the pointer stayed on the button.
    if (hover_.Hot() == this && state_ == bsUp)
        SetState(bsHot);
}

void ButtonBehaviour::Release(bool inside)
{
    if (!tracking_)
        return;
    tracking_ = false;
    if (inside) {
        Click();
        return;
    }
    if (state_ == bsPressed)
        SetState(bsUp);
    pointerInside_ = host_.PointerOverButton();
}

void ButtonBehaviour::RightRelease() { ReleaseWithoutClick(); }

void ButtonBehaviour::Cancel() { ReleaseWithoutClick(); }

// Ends a press without a click. Only the press's own pressed look is undone:
// during a click the button stays pressed until the click ends.
void ButtonBehaviour::ReleaseWithoutClick()
{
    if (std::exchange(tracking_, false) && state_ == bsPressed)
        SetState(bsUp);
    hover_.Leave(*this);
}

void ButtonBehaviour::Click()
{
    const std::shared_ptr<bool> alive = alive_;
    ++clickDepth_;
    try {
        if (state_ == bsUp || state_ == bsHot)
            SetState(bsPressed);
        host_.ClickAction();
    } catch (...) {
        if (*alive) {
            // The handler's error is the one to report; a failing repaint
            // after it changes nothing about the state.
            try {
                EndClick();
            } catch (...) {
            }
        }
        throw;
    }
    if (*alive)
        EndClick();
}

void ButtonBehaviour::EndClick()
{
    --clickDepth_;
    if (state_ == bsPressed)
        state_ = bsUp;
    host_.RepaintButton();
    pointerInside_ = host_.PointerOverButton();
}

bool ButtonBehaviour::DialogChar(std::string_view caption, bool visible, char32_t typed)
{
    return IsAccelerator(caption, typed) && DefaultAction(visible);
}

bool ButtonBehaviour::DefaultAction(bool visible)
{
    if (!enabled_ || !visible)
        return false;
    Click();
    return true;
}

void ButtonBehaviour::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (!enabled) {
        tracking_ = false;
        hover_.Leave(*this);
        SetState(bsDisabled);
    } else if (state_ == bsDisabled) {
        SetState(properties_.Down && properties_.GroupIndex != 0 ? bsLatched : bsUp);
    }
}

void ButtonBehaviour::HoverEntered()
{
    if (state_ == bsUp)
        SetState(bsHot);
    host_.MouseEntered();
}

void ButtonBehaviour::HoverLeft()
{
    if (state_ == bsHot)
        SetState(bsUp);
    host_.MouseExited();
}

void ButtonBehaviour::SetState(TButtonState97 state)
{
    if (state == state_)
        return;
    state_ = state;
    host_.RepaintButton();
}

}  // namespace lumora

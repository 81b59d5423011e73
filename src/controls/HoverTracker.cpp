#include "controls/HoverTracker.h"

#include <utility>

namespace lumora {

void HoverTracker::PointerOver(HoverTarget& target)
{
    if (hot_ == &target || !environment_.ApplicationActive())
        return;
    // The timer runs on for the new control.
    if (HoverTarget* const left = std::exchange(hot_, nullptr))
        left->HoverLeft();
    // The previous control's exit handler may have made a control hot
    // itself; that one stays.
    if (hot_)
        return;
    RunTimer(true);
    hot_ = &target;
    target.HoverEntered();
}

void HoverTracker::Leave(HoverTarget& target)
{
    if (hot_ == &target)
        EndHot();
}

void HoverTracker::Tick()
{
    if (!hot_) {
        RunTimer(false);
        return;
    }
    if (!environment_.ApplicationActive() || !hot_->PointerOver())
        EndHot();
}

void HoverTracker::ApplicationDeactivated() { EndHot(); }

void HoverTracker::Forget(HoverTarget& target)
{
    if (hot_ != &target)
        return;
    hot_ = nullptr;
    RunTimer(false);
}

// The tracker is brought to rest before the control hears of it, so that the
// control's handlers find a consistent tracker.
void HoverTracker::EndHot()
{
    HoverTarget* const left = std::exchange(hot_, nullptr);
    if (!left)
        return;
    RunTimer(false);
    left->HoverLeft();
}

void HoverTracker::RunTimer(bool run)
{
    if (run == timerRunning_)
        return;
    if (run)
        environment_.StartTimer();
    else
        environment_.StopTimer();
    timerRunning_ = run;
}

}  // namespace lumora

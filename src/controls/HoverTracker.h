#pragma once
// The hot control: the one control under the pointer while the application is
// active. One tracker serves all buttons of the program. Its timer (a
// periodic tick, 125 ms for the buttons) runs only while some control is hot
// and ends the hot state once the pointer has left the control by a way that
// sends the control no message (off the window, behind another window) or the
// application is no longer active.
namespace lumora {

class HoverTarget {
public:
    // Whether the pointer is over the control's client area right now.
    virtual bool PointerOver() = 0;
    // The control became the hot one / stopped being it.
    virtual void HoverEntered() = 0;
    virtual void HoverLeft() = 0;

protected:
    ~HoverTarget() = default;
};

// The platform's side: the shared timer and the application's activation.
class HoverEnvironment {
public:
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;
    virtual bool ApplicationActive() = 0;

protected:
    ~HoverEnvironment() = default;
};

class HoverTracker {
public:
    explicit HoverTracker(HoverEnvironment& environment) : environment_(environment) {}
    HoverTracker(const HoverTracker&) = delete;
    HoverTracker& operator=(const HoverTracker&) = delete;

    HoverTarget* Hot() const { return hot_; }
    bool TimerRunning() const { return timerRunning_; }

    // The pointer is over `target`: while the application is active it
    // becomes the hot control, after the previous one has left.
    void PointerOver(HoverTarget& target);
    // `target` stops being the hot control, if it is.
    void Leave(HoverTarget& target);
    // The timer's tick: the hot control leaves when the pointer is no longer
    // over it or the application is not active.
    void Tick();
    void ApplicationDeactivated();
    // `target` goes away: it is no longer hot, and is told nothing.
    void Forget(HoverTarget& target);

private:
    void EndHot();
    void RunTimer(bool run);

    HoverEnvironment& environment_;
    HoverTarget* hot_ = nullptr;
    bool timerRunning_ = false;
};

}  // namespace lumora

#pragma once
// A hover environment for tests: the timer is a flag, the application's
// activation a switch.
#include "controls/HoverTracker.h"

namespace lumora::test {

struct FakeHoverEnvironment : HoverEnvironment {
    void StartTimer() override
    {
        running = true;
        ++starts;
    }
    void StopTimer() override { running = false; }
    bool ApplicationActive() override { return active; }

    bool active = true;
    bool running = false;
    int starts = 0;
};

}  // namespace lumora::test

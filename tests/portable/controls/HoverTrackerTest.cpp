#include <gtest/gtest.h>

#include <string>

#include "FakeHover.h"
#include "controls/HoverTracker.h"

namespace lumora::test {
namespace {

struct Target : HoverTarget {
    Target(char name, std::string& log) : name(name), log(log) {}
    bool PointerOver() override { return over; }
    void HoverEntered() override { log += {'+', name}; }
    void HoverLeft() override { log += {'-', name}; }

    char name;
    std::string& log;
    bool over = true;
};

class Hover : public ::testing::Test {
protected:
    FakeHoverEnvironment environment;
    HoverTracker tracker{environment};
    std::string log;
    Target a{'a', log};
    Target b{'b', log};
};

TEST_F(Hover, TheTimerRunsOnlyWhileSomeControlIsHot)
{
    EXPECT_FALSE(environment.running);
    tracker.PointerOver(a);
    tracker.PointerOver(a);
    tracker.PointerOver(b);  // the first leaves before the second enters
    EXPECT_EQ(log, "+a-a+b");
    EXPECT_EQ(environment.starts, 1);

    tracker.Tick();
    EXPECT_EQ(tracker.Hot(), &b);
    b.over = false;
    tracker.Tick();
    EXPECT_EQ(tracker.Hot(), nullptr);
    EXPECT_FALSE(environment.running);
    EXPECT_EQ(log, "+a-a+b-b");

    // A control that goes is told nothing.
    tracker.PointerOver(a);
    tracker.Forget(a);
    EXPECT_FALSE(environment.running);
    EXPECT_EQ(log, "+a-a+b-b+a");
}

// Only an active application has a hot control; the tick and the
// deactivation end it.
TEST_F(Hover, TheApplicationMustBeActive)
{
    environment.active = false;
    tracker.PointerOver(a);
    environment.active = true;
    tracker.PointerOver(b);
    environment.active = false;
    tracker.Tick();
    environment.active = true;
    tracker.PointerOver(a);
    tracker.ApplicationDeactivated();
    EXPECT_EQ(log, "+b-b+a-a");
    EXPECT_FALSE(environment.running);
}

}  // namespace
}  // namespace lumora::test

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeHover.h"
#include "base/Error.h"
#include "controls/ButtonAccessibility.h"
#include "controls/ButtonBehaviour.h"

namespace lumora::test {
namespace {

// The control side of a behaviour, recording what it is asked to do.
struct FakeButton : ButtonBehaviourHost {
    explicit FakeButton(HoverTracker& hover)
        : behaviour(std::make_unique<ButtonBehaviour>(*this, properties, hover))
    {
    }

    void RepaintButton() override { painted.push_back(behaviour->State()); }
    bool PointerOverButton() override { return true; }
    void ClickAction() override
    {
        ++clicks;
        stateInClick = behaviour->State();
        if (onClick)
            onClick();
    }
    void MouseEntered() override { events += "+"; }
    void MouseExited() override { events += "-"; }

    // P press, i/o move inside/outside, U/u release inside/outside, r right
    // release, C cancel, D/E disable/enable.
    void Run(const std::string& steps)
    {
        for (char step : steps) {
            switch (step) {
            case 'P': behaviour->Press(); break;
            case 'i': behaviour->Move(true); break;
            case 'o': behaviour->Move(false); break;
            case 'U': behaviour->Release(true); break;
            case 'u': behaviour->Release(false); break;
            case 'r': behaviour->RightRelease(); break;
            case 'C': behaviour->Cancel(); break;
            case 'D': behaviour->SetEnabled(false); break;
            case 'E': behaviour->SetEnabled(true); break;
            }
        }
    }

    TButtonProperties97 properties;
    std::unique_ptr<ButtonBehaviour> behaviour;
    std::vector<TButtonState97> painted;
    TButtonState97 stateInClick = bsUp;
    std::string events;
    int clicks = 0;
    std::function<void()> onClick;
};

struct Sequence {
    const char* steps;
    int clicks;
    TButtonState97 state;
    bool tracking;
    const char* events;      // "+" hover entered, "-" left
    const char* accessible;  // the states accessibility clients read: u unavailable, p pressed, h hot-tracked
};

const Sequence kSequences[] = {
    {"PU", 1, bsUp, false, "", ""},
    {"Pi", 0, bsPressed, true, "+", "ph"},
    {"Po", 0, bsUp, true, "", ""},       // held, pointer off: looks up
    {"PoiU", 1, bsUp, false, "+", "h"},  // off and back on before the release: one click
    {"Pou", 0, bsUp, false, "", ""},     // released off the button: no click
    {"PCU", 0, bsUp, false, "", ""},     // cancelled, then released on the button
    {"PrU", 0, bsUp, false, "", ""},     // right button released while the left is held
    {"PUPU", 2, bsUp, false, "", ""},    // double click: the second press is a press
    {"U", 0, bsUp, false, "", ""},
    {"DPU", 0, bsDisabled, false, "", "u"},
    {"PDEU", 0, bsUp, false, "", ""},    // disabled while held: the press is gone
    {"iPUi", 1, bsHot, false, "+", "h"}, // up after the click, hot again at the next move
    {"iC", 0, bsUp, false, "+-", ""},
    {"ir", 0, bsUp, false, "+-", ""},
    {"iD", 0, bsDisabled, false, "+-", "u"},
    {"Di", 0, bsDisabled, false, "", "u"},
};

std::string AccessibleLetters(TAccessibleStates states)
{
    std::string letters;
    if (states.Contains(asUnavailable))
        letters += 'u';
    if (states.Contains(asPressed))
        letters += 'p';
    if (states.Contains(asHotTracked))
        letters += 'h';
    if (states.Contains(asInvisible))
        letters += 'i';
    return letters;
}

TEST(ButtonBehaviour, InputSequences)
{
    for (const Sequence& s : kSequences) {
        FakeHoverEnvironment environment;
        HoverTracker hover{environment};
        FakeButton button{hover};
        button.Run(s.steps);
        EXPECT_EQ(button.clicks, s.clicks) << s.steps;
        EXPECT_EQ(button.behaviour->State(), s.state) << s.steps;
        EXPECT_EQ(button.behaviour->Tracking(), s.tracking) << s.steps;
        EXPECT_EQ(button.events, s.events) << s.steps;
        EXPECT_EQ(AccessibleLetters(DescribeButton("&Yes", *button.behaviour, true).states), s.accessible) << s.steps;
    }
}

class Behaviour : public ::testing::Test {
protected:
    FakeHoverEnvironment environment;
    HoverTracker hover{environment};
    FakeButton button{hover};
};

TEST_F(Behaviour, RepaintsOnlyWhenTheStateChanges)
{
    button.Run("Pii");
    EXPECT_EQ(button.painted, std::vector<TButtonState97>{bsPressed});
    button.Run("oo");
    EXPECT_EQ(button.painted, (std::vector<TButtonState97>{bsPressed, bsUp}));
}

// A click from up (an accelerator) looks pressed while its handler runs; a
// failing handler leaves the button up and its exception goes on.
TEST_F(Behaviour, TheClickLooksPressedDuringItsHandlerAndUpAfterEvenWhenItFails)
{
    button.behaviour->Click();
    EXPECT_EQ(button.stateInClick, bsPressed);
    EXPECT_EQ(button.painted, (std::vector<TButtonState97>{bsPressed, bsUp}));

    button.onClick = [] { throw Error("the handler failed"); };
    EXPECT_THROW(button.Run("PU"), Error);
    EXPECT_EQ(button.behaviour->State(), bsUp);
    EXPECT_FALSE(button.behaviour->InClick());
    EXPECT_EQ(button.painted.back(), bsUp);
    EXPECT_EQ(button.clicks, 2);
}

// What a screen reader reads of a button, and its default action: a click
// when the button is enabled and visible, as an accelerator's.
TEST_F(Behaviour, AccessibilityClientsReadTheCaptionAndPressOnlyAnEnabledVisibleButton)
{
    const AccessibleElement hidden = DescribeButton("&Next >", *button.behaviour, false);
    EXPECT_EQ(hidden.role, arPushButton);
    EXPECT_EQ(hidden.name, "Next >");
    EXPECT_EQ(hidden.shortcut, "Alt+N");
    EXPECT_EQ(hidden.defaultAction, "Press");
    EXPECT_EQ(AccessibleLetters(hidden.states), "i");

    EXPECT_FALSE(button.behaviour->DefaultAction(false));
    button.Run("D");
    EXPECT_FALSE(button.behaviour->DefaultAction(true));
    EXPECT_EQ(button.clicks, 0);
    button.Run("E");
    EXPECT_TRUE(button.behaviour->DefaultAction(true));
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(button.stateInClick, bsPressed);
}

TEST_F(Behaviour, AHandlerMayDestroyTheButton)
{
    button.onClick = [this] { button.behaviour.reset(); };
    button.Run("PU");
    EXPECT_EQ(button.clicks, 1);
}

}  // namespace
}  // namespace lumora::test

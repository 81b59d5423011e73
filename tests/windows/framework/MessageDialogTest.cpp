#include <gtest/gtest.h>

#include "framework/MessageDialog.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"

namespace lumora::test {
namespace {

using MessageDialog = ApplicationTest;

// Moves every dialog box of this thread to the screen's corner right after
// the system has laid it out (WM_INITDIALOG), as a system that centres boxes
// on their owner would leave it. Only the message dialog's own placement,
// made as the box is activated, can bring it to the screen's centre.
class SystemPlacesBoxesInTheCorner {
public:
    SystemPlacesBoxesInTheCorner()
        : hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, Displace, nullptr, GetCurrentThreadId()))
    {
    }
    ~SystemPlacesBoxesInTheCorner() { UnhookWindowsHookEx(hook_); }
    bool Installed() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Displace(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        char name[16] = {};
        if (code == HC_ACTION && call->message == WM_INITDIALOG && GetClassNameA(call->hwnd, name, sizeof name) &&
            std::string(name) == "#32770")
            SetWindowPos(call->hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

struct DialogCase {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* caption;
    const char* systemIcon;
    std::vector<std::string> buttonTexts;
    int press;
    TModalResult result;
};

TEST_F(MessageDialog, ShowsKindButtonsAndHelpContextCentredOnTheScreenAndReturnsThePressedButton)
{
    // An active owner in the top-left corner: a box centred on its owner
    // would not be centred on the screen.
    TTestForm* owner = nullptr;
    Application.CreateForm(owner);
    SetWindowPos(owner->Handle(), nullptr, 0, 0, 200, 150, SWP_NOZORDER);
    owner->Show();
    SetActiveWindow(owner->Handle());
    SystemPlacesBoxesInTheCorner corner;
    ASSERT_TRUE(corner.Installed());

    const DialogCase cases[] = {
        {mtError, {mbOK}, "Error", IDI_HAND, {"OK"}, IDOK, mrOk},
        {mtWarning, {mbYes, mbNo}, "Warning", IDI_EXCLAMATION, {"&Yes", "&No"}, IDNO, mrNo},
        {mtInformation, {mbOK}, "Information", IDI_ASTERISK, {"OK"}, IDOK, mrOk},
        {mtConfirmation, {mbYes, mbNo}, "Confirm", IDI_QUESTION, {"&Yes", "&No"}, IDYES, mrYes},
        {mtWarning, {mbYes, mbNo, mbCancel}, "Warning", IDI_EXCLAMATION, {"&Yes", "&No", "Cancel"}, IDCANCEL,
         mrCancel},
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.caption);
        const std::string text = std::string("A message for the ") + c.caption + " box";
        BoxWatcher watcher(c.press);
        const TModalResult result = MessageDlg(text, c.type, c.buttons, kDialogHelpContext);
        const BoxView& box = watcher.Result();
        ASSERT_TRUE(box.found);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.buttons, c.buttonTexts);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, c.systemIcon));
        EXPECT_EQ(box.helpContext, 512u);
        const POINT centre = CentreOf(box.bounds);
        EXPECT_NEAR(centre.x, ScreenCentre().x, 1);
        EXPECT_NEAR(centre.y, ScreenCentre().y, 1);
    }
}

}  // namespace
}  // namespace lumora::test

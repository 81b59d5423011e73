#include <gtest/gtest.h>

#include "base/Error.h"
#include "framework/MessageDialog.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"

namespace lumora::test {
namespace {

class TTestChild : public TForm {
public:
    explicit TTestChild(TComponent* owner) : TForm(owner, "TestChild", "TTestChild")
    {
        SetCaption("Setup Wizard");
        FormStyle = fsMDIChild;
        BorderStyle = bsSingle;
        BorderIcons = {};
        ClientWidth = 402;
        ClientHeight = 275;
        Left = 30;
        Top = 20;
        OnShow = [this](TObject*) {
            ++shows;
            visibleInShow = IsWindowVisible(Handle()) != FALSE;
        };
        OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
        OnDestroy = [](TObject*) { ++destroyed; };
    }
    int shows = 0;
    bool visibleInShow = true;
    static inline int destroyed = 0;
};

class TTestFrame : public TForm {
public:
    explicit TTestFrame(TComponent* owner) : TForm(owner, "TestFrame", "TTestFrame")
    {
        FormStyle = fsMDIForm;
        ClientWidth = 600;
        ClientHeight = 400;
    }
};

class MDIChild : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        TTestChild::destroyed = 0;
        Application.CreateForm(frame_);
    }
    HWND ActiveChild() const
    {
        return reinterpret_cast<HWND>(SendMessageA(frame_->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
    }
    TTestFrame* frame_ = nullptr;
};

TEST_F(MDIChild, IsShownOnCreationInsideTheMainFormsClientWithoutBorderIcons)
{
    TTestChild* child = nullptr;
    Application.CreateForm(child);
    const HWND window = child->Handle();

    EXPECT_EQ(child->shows, 1);
    EXPECT_FALSE(child->visibleInShow);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(GetParent(window), frame_->ClientHandle());
    EXPECT_EQ(ActiveChild(), window);

    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
    char caption[32] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Setup Wizard");

    RECT client{}, bounds{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 402);
    EXPECT_EQ(client.bottom, 275);
    GetWindowRect(window, &bounds);
    MapWindowPoints(nullptr, frame_->ClientHandle(), reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.left, 30);
    EXPECT_EQ(bounds.top, 20);
}

// A closed child is freed by the loop and leaves the MDI client without an
// active child; the frame lives on. The system's close command does not
// close a child that shows no close box.
TEST_F(MDIChild, ClosedWithCaFreeIsDestroyedThroughTheMDIClient)
{
    TTestChild* child = nullptr;
    Application.CreateForm(child);
    frame_->Show();
    const HWND window = child->Handle();
    // Without a system menu there is no close command: Ctrl+F4 in the MDI
    // client sends this one.
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Application.ProcessMessages();
    ASSERT_TRUE(IsWindow(window));
    SendMessageA(window, WM_CLOSE, 0, 0);
    Application.ProcessMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TTestChild::destroyed, 1);
    EXPECT_EQ(ActiveChild(), nullptr);
    EXPECT_TRUE(IsWindowVisible(frame_->Handle()));
    EXPECT_FALSE(Application.Terminated());
}

TEST(MDIChildAlone, CannotBeMadeWithoutAnMDIFrame)
{
    TTestChild child(nullptr);
    EXPECT_THROW(child.Handle(), Error);
    EXPECT_FALSE(child.HandleAllocated());
}

using YesNoBox = ApplicationTest;

// The dialog manager turns Escape into Cancel; a Yes/No box has no Cancel
// button and answers No. Where there is a Cancel button, Escape stays Cancel.
TEST_F(YesNoBox, EscapeAnswersNo)
{
    {
        BoxWatcher watcher(BoxWatcher::kEscapeKey);
        EXPECT_EQ(MessageDlg(" Setup is not complete", mtWarning, {mbYes, mbNo}, kDialogHelpContext), mrNo);
        EXPECT_EQ(watcher.Result().buttons, (std::vector<std::string>{"&Yes", "&No"}));
    }
    {
        BoxWatcher watcher(BoxWatcher::kEscapeKey);
        EXPECT_EQ(MessageDlg("Three buttons", mtWarning, {mbYes, mbNo, mbCancel}, kDialogHelpContext), mrCancel);
        EXPECT_TRUE(watcher.Result().found);
    }
    {
        BoxWatcher watcher(IDYES);
        EXPECT_EQ(MessageDlg("Yes still answers Yes", mtWarning, {mbYes, mbNo}, kDialogHelpContext), mrYes);
        EXPECT_TRUE(watcher.Result().found);
    }
}

}  // namespace
}  // namespace lumora::test

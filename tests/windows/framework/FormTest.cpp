#include <gtest/gtest.h>

#include <memory>

#include "support/ApplicationTest.h"

namespace lumora::test {
namespace {

using Form = ApplicationTest;

// Run shows the main form: OnShow runs once while the window is still
// hidden, then the window appears maximised. Closing the main form ends the
// loop, and Run frees the forms, running OnDestroy.
TEST_F(Form, RunShowsTheMainFormAfterItsShowHandlerAndFreesItAtTheEnd)
{
    TTestForm* form = nullptr;
    Application.CreateForm(form);
    form->WindowState = wsMaximized;
    ASSERT_EQ(Application.MainForm(), form);
    const HWND window = form->Handle();

    int shows = 0, destroys = 0;
    bool visibleInShow = true, visibleAtClose = false, maximisedAtClose = false;
    form->OnShow = [&](TObject*) {
        ++shows;
        visibleInShow = IsWindowVisible(window) != FALSE;
        PostMessageA(window, WM_CLOSE, 0, 0);
    };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        visibleAtClose = IsWindowVisible(window) != FALSE;
        maximisedAtClose = IsZoomed(window) != FALSE;
        action = caFree;
    };
    form->OnDestroy = [&](TObject*) { ++destroys; };

    Application.Run();

    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(visibleInShow);
    EXPECT_TRUE(visibleAtClose);
    EXPECT_TRUE(maximisedAtClose);
    EXPECT_TRUE(Application.Terminated());
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(Application.MainForm(), nullptr);
    EXPECT_FALSE(IsWindow(window));
}

// A form other than the main one that closes with caFree is freed once the
// loop gets back to it, not while its own handler still runs.
TEST_F(Form, ASecondFormClosedWithCaFreeIsFreedByTheLoop)
{
    TTestForm* main = nullptr;
    TTestForm* second = nullptr;
    Application.CreateForm(main);
    Application.CreateForm(second);
    const HWND window = second->Handle();
    int destroys = 0;
    second->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    second->OnDestroy = [&destroys](TObject*) { ++destroys; };

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(destroys, 0);

    Application.ProcessMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(destroys, 1);
    EXPECT_FALSE(Application.Terminated());
    EXPECT_EQ(Application.MainForm(), main);
}

TEST_F(Form, AnMDIFrameHasAnMDIClientFillingItsClientArea)
{
    auto frame = std::make_unique<TTestForm>(nullptr);
    frame->FormStyle = fsMDIForm;
    frame->ClientWidth = 400;
    frame->ClientHeight = 300;
    const HWND client = (frame->Handle(), frame->ClientHandle());
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(GetParent(client), frame->Handle());
    char name[32] = {};
    GetClassNameA(client, name, sizeof name);
    EXPECT_STRCASEEQ(name, "MDIClient");

    frame->Show();
    RECT area{}, inner{};
    GetClientRect(frame->Handle(), &area);
    GetWindowRect(client, &inner);
    EXPECT_EQ(inner.right - inner.left, area.right);
    EXPECT_EQ(inner.bottom - inner.top, area.bottom);
}

}  // namespace
}  // namespace lumora::test

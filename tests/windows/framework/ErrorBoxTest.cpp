#include <gtest/gtest.h>

#include "base/Error.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"

namespace lumora::test {
namespace {

using StandardErrorBox = ApplicationTest;

// A failing handler inside a window procedure is reported with the standard
// error box, and the program goes on with its windows as they were.
TEST_F(StandardErrorBox, ReportsAFailingMessageHandlerAndCarriesOn)
{
    TTestForm* form = nullptr;
    Application.CreateForm(form);
    int resizes = 0;
    form->OnResize = [&resizes](TObject*) {
        if (++resizes == 1)
            throw Error("The disk is full");
    };

    BoxWatcher watcher(IDOK);
    SendMessageA(form->Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 100));
    const BoxView& box = watcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "The disk is full.");
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});

    ASSERT_TRUE(IsWindow(form->Handle()));
    SendMessageA(form->Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 100));
    EXPECT_EQ(resizes, 2);
}

// Key preview runs in the message loop, outside any window procedure; its
// failures are reported the same way, and a message that already ends in a
// full stop gets no second one.
TEST_F(StandardErrorBox, ReportsAFailingKeyPreviewFromTheMessageLoop)
{
    TTestForm* form = nullptr;
    Application.CreateForm(form);
    form->KeyPreview = true;
    form->OnKeyDown = [](TObject*, std::uint16_t&, TShiftState) { throw Error("No keys today."); };

    BoxWatcher watcher(IDOK);
    PostMessageA(form->Handle(), WM_KEYDOWN, VK_F2, 1);
    Application.ProcessMessages();
    const BoxView& box = watcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "No keys today.");
    EXPECT_EQ(box.caption, kTitle);
}

}  // namespace
}  // namespace lumora::test

#include <gtest/gtest.h>

#include "framework/FileStream.h"
#include "launcher/Unit1.h"
#include "settings/CmnFunc2.h"
#include "settings/ExtractionFolder.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"

namespace lumora::test {
namespace {

class MainWindow : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        // FormCreate opens this test program's own file, whose last four
        // bytes serve as its trailer.
        Application.CreateForm(MainForm);
        ASSERT_EQ(Application.MainForm(), MainForm);
    }
};

TEST_F(MainWindow, IsAFixedMDIFrameCentredOnTheScreenWithOnlyACloseBox)
{
    const HWND window = MainForm->Handle();
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Setup Program");

    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(IsWindowVisible(window));  // shown by the message loop

    RECT client{}, bounds{};
    GetClientRect(window, &client);
    GetWindowRect(window, &bounds);
    EXPECT_EQ(client.right, 430);
    EXPECT_EQ(client.bottom, 316);
    EXPECT_NEAR(CentreOf(bounds).x, ScreenCentre().x, 1);
    EXPECT_NEAR(CentreOf(bounds).y, ScreenCentre().y, 1);

    char clientClass[32] = {};
    ASSERT_NE(MainForm->ClientHandle(), nullptr);
    GetClassNameA(MainForm->ClientHandle(), clientClass, sizeof clientClass);
    EXPECT_STRCASEEQ(clientClass, "MDIClient");
}

TEST_F(MainWindow, FormCreateOpensItsOwnFileAtThePayloadAndMakesTheBluePalette)
{
    std::int32_t trailer = 0;
    std::int64_t size = 0;
    {
        TFileStream own(Application.ExeName(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        size = own.Size();
        own.Seek(size - 4, Stream::Origin::Begin);
        own.ReadBuffer(&trailer, 4);  // little-endian, as the processor
    }
    ASSERT_TRUE(MainForm->PayloadStream);
    EXPECT_EQ(MainForm->PayloadStream->FileName(), Application.ExeName());
    EXPECT_EQ(MainForm->PayloadOffset, trailer);
    EXPECT_EQ(MainForm->PayloadStream->Position(), trailer >= 0 ? trailer : size);

    const HPALETTE palette = MainForm->GetPalette();
    ASSERT_NE(palette, nullptr);
    WORD count = 0;
    ASSERT_EQ(GetObjectA(palette, sizeof count, &count), static_cast<int>(sizeof count));
    ASSERT_EQ(count, 64);
    PALETTEENTRY entries[64] = {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 64, entries), 64u);
    for (int i = 0; i < 64; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].peRed, 0);
        EXPECT_EQ(entries[i].peGreen, 0);
        EXPECT_EQ(entries[i].peBlue, 255 - 4 * i);
        EXPECT_EQ(entries[i].peFlags, 0);
    }
}

TEST_F(MainWindow, AltF4IsDiscardedWhileTheCloseBoxEndsTheProgram)
{
    const HWND window = MainForm->Handle();
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // with Alt held
    Application.ProcessMessages();
    EXPECT_TRUE(MainForm->PayloadStream);
    EXPECT_FALSE(Application.Terminated());

    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Application.ProcessMessages();
    EXPECT_FALSE(MainForm->PayloadStream);
    EXPECT_TRUE(Application.Terminated());

    // What Run does once its loop has ended: FormDestroy deletes the palette.
    const HPALETTE palette = MainForm->GetPalette();
    ASSERT_NE(palette, nullptr);
    Application.DestroyForms();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetObjectType(palette), 0u);
}

TEST_F(MainWindow, ARestoreErrorFollowsTheFixedTextWithoutABlank)
{
    BoxWatcher watcher(IDOK);
    MainForm->BackupFile1Error(MainForm, 1, "Cannot read file");
    const BoxView& box = watcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, "please contact technical quoting this ref number :Cannot read file");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.helpContext, 512u);
}

// Windows ends the process soon after the session has ended, without the
// program's own ending.
TEST_F(MainWindow, TheEndOfTheSessionTakesTheExtractionFolder)
{
    CreateExtractionFolderIn(GetTempFolder(), false);
    const std::string folder = ExtractionFolder();
    SendMessageA(MainForm->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ExtractionFolder(), folder);
    SendMessageA(MainForm->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ExtractionFolder(), "");
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace lumora::test

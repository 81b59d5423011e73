#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "author/Translations.h"
#include "base/PathEncoding.h"
#include "base/TextTables.h"
#include "base/UiTexts.h"
#include "controls/CaptionLayout.h"
#include "framework/FileStream.h"
#include "framework/FontFallback.h"
#include "launcher/Unit1.h"
#include "settings/CmnFunc2.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"
#include "wizard/IntroFrm.h"

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

constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

// Where `window` lies in the client area of `origin`.
RECT PlaceIn(HWND window, HWND origin)
{
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, origin, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// `r` at 96 DPI times dpi / 96, each of left, top, width and height within
// a pixel of `seen`.
void ExpectScaled(const RECT& r, int dpi, const RECT& seen, bool sized, const std::string& what)
{
    const double scale = dpi / 96.0;
    EXPECT_NEAR(seen.left, r.left * scale, 1) << what;
    EXPECT_NEAR(seen.top, r.top * scale, 1) << what;
    if (sized) {
        EXPECT_NEAR(seen.right - seen.left, (r.right - r.left) * scale, 1) << what;
        EXPECT_NEAR(seen.bottom - seen.top, (r.bottom - r.top) * scale, 1) << what;
    }
}

// The room `text` needs in `font`: `format` as DrawText takes it, broken
// into lines `width` pixels wide with DT_WORDBREAK.
SIZE Needed(HFONT font, const std::wstring& text, UINT format, int width)
{
    WindowDC dc(nullptr);
    const HGDIOBJ previous = SelectObject(dc.Get(), font);
    RECT r{0, 0, width, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
    SelectObject(dc.Get(), previous);
    return SIZE{r.right, r.bottom};
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A label's text takes no more room than its window has, in its own font.
void ExpectTextFits(const TLabel& label)
{
    const HWND window = label.Handle();
    RECT client{};
    GetClientRect(window, &client);
    const bool wraps = (GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    const SIZE needed = Needed(font, WindowText(window), wraps ? DT_WORDBREAK : DT_SINGLELINE, client.right);
    EXPECT_LE(needed.cx, client.right) << label.Name();
    EXPECT_LE(needed.cy, client.bottom) << label.Name();
}

// A button's caption fits inside its border, in the font it is painted in.
void ExpectCaptionFits(const TToolbarButton97& button, TFont& font, int dpi)
{
    const std::wstring caption = WideText(button.Caption());
    const GdiObject<HFONT> fallback = CoveringFont(font.Handle(), caption);
    const SIZE needed = Needed(fallback ? fallback.Get() : font.Handle(), caption, DT_SINGLELINE, 0);
    const int inset = 2 * MulDiv(kCaptionInset, dpi, 96);
    EXPECT_LE(needed.cx, button.Width() - inset) << button.Name();
    EXPECT_LE(needed.cy, button.Height() - inset) << button.Name();
}

// Words that fill a line of `memo` to within a letter.
std::string FullLine(HWND memo)
{
    RECT format{};
    SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0));
    const auto fits = [&](const std::string& line) {
        return Needed(font, WideText(line), DT_SINGLELINE, 0).cx < format.right - format.left;
    };
    std::string line = "Terms";
    while (fits(line + " terms"))
        line += " terms";
    while (fits(line + "s"))
        line += "s";
    return line;
}

// The read-me's line at the top of the memo: the first character shown.
LRESULT FirstShown(HWND memo)
{
    return SendMessageW(memo, EM_LINEINDEX, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

class WizardAtADpi : public MainWindow {
protected:
    void TearDown() override
    {
        UseEnglishTexts();
        Globals = SetupSettings{};
        MainWindow::TearDown();
    }
};

// The main window moved to a monitor of another scale: the wizard inside
// it laid out again in the window's new DPI, in English, German (the
// longest texts) and Japanese.
TEST_F(WizardAtADpi, EveryWindowScalesEveryTextFitsAndThePageFocusAndScrollPositionStay)
{
    std::vector<TextTable> tables;
    for (const setuppack::Translation& t : setuppack::Translations())
        if (std::strcmp(t.tag, "de") == 0 || std::strcmp(t.tag, "ja") == 0)
            tables.push_back(TextTable{t.language, t.texts});
    const std::string tableBytes = WriteTextTables(tables);
    ShowWindow(MainForm->Handle(), SW_SHOWNORMAL);
    const HWND frame = MainForm->Handle();

    for (const std::uint16_t language : {0x0409, 0x0407, 0x0411}) {
        SCOPED_TRACE(language);
        EXPECT_EQ(UseTextTables(tableBytes, language), language != 0x0409);
        Globals.ShowReadMe = "True";
        Application.CreateForm(SetupWiz);
        TSetupWiz& wizard = *SetupWiz;
        // Paragraphs that just fit on a line at 96 DPI: where the font grows a
        // little more than the memo, the last word wraps, and the line that
        // was at the top is further down.
        wizard.Memo1.SetLines(std::vector<std::string>(60, FullLine(wizard.Memo1.Handle())));
        wizard.FillMemoBox();
        SendMessageW(wizard.Memo1.Handle(), EM_LINESCROLL, 0, 20);
        SetFocus(wizard.Memo1.Handle());
        const LRESULT firstShown = FirstShown(wizard.Memo1.Handle());
        ASSERT_GT(firstShown, 0);

        // Every window and button as laid out at 96 DPI, in the wizard's
        // client area.
        const HWND form = wizard.Handle();
        std::map<std::string, std::pair<HWND, RECT>> windows;
        for (TWinControl* control :
             std::initializer_list<TWinControl*>{&wizard.Pages, &wizard.Pages.Page("1"), &wizard.Pages.Page("2"),
                                                 &wizard.Pages.Page("4"), &wizard.Pages.Page("5"), &wizard.Label3,
                                                 &wizard.Memo1, &wizard.Label5, &wizard.GroupBox1, &wizard.Label4,
                                                 &wizard.Label9, &wizard.Memo2, &wizard.Label8})
            windows[control->Name()] = {control->Handle(), PlaceIn(control->Handle(), form)};
        std::map<TToolbarButton97*, RECT> buttons;
        for (TToolbarButton97* button : {&wizard.ToolbarButton971, &wizard.ToolbarButton972, &wizard.ToolbarButton973})
            buttons[button] = button->BoundsRect();
        RECT client96{};
        GetClientRect(form, &client96);

        for (const int dpi : {120, 144, 192}) {
            SCOPED_TRACE(dpi);
            RECT suggested{};
            GetWindowRect(frame, &suggested);
            OffsetRect(&suggested, 10, 10);
            SendMessageW(frame, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            RECT placed{};
            GetWindowRect(frame, &placed);
            EXPECT_TRUE(EqualRect(&placed, &suggested));
            EXPECT_EQ(wizard.Dpi(), dpi);

            RECT client{};
            GetClientRect(form, &client);
            ExpectScaled(client96, dpi, client, true, "client area");
            for (const auto& [name, window] : windows)
                ExpectScaled(window.second, dpi, PlaceIn(window.first, form), name != "Label9", name);
            for (const auto& [button, bounds] : buttons) {
                ExpectScaled(bounds, dpi, button->BoundsRect(), true, button->Name());
                ExpectCaptionFits(*button, wizard.Font, dpi);
            }
            for (const TLabel* label : {&wizard.Label3, &wizard.Label5, &wizard.Label4, &wizard.Label9, &wizard.Label8})
                ExpectTextFits(*label);
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(wizard.Label3.Handle(), WM_GETFONT, 0, 0)), sizeof font,
                       &font);
            EXPECT_NEAR(font.lfHeight, -11 * dpi / 96.0, 1);
            // The group box's title and the summary's lines, each on one line.
            RECT box{};
            GetClientRect(wizard.GroupBox1.Handle(), &box);
            EXPECT_LT(Needed(wizard.Font.Handle(), WindowText(wizard.GroupBox1.Handle()), DT_SINGLELINE, 0).cx,
                      box.right);
            EXPECT_EQ(SendMessageW(wizard.Memo2.Handle(), EM_GETLINECOUNT, 0, 0),
                      static_cast<LRESULT>(wizard.Memo2.Lines().size()));

            // The centre of the screen, as the wizard's place in the MDI
            // client; the same page and focus; the read-me's top line.
            const RECT outer = PlaceIn(form, MainForm->ClientHandle());
            EXPECT_NEAR((outer.left + outer.right) / 2.0, GetSystemMetrics(SM_CXSCREEN) / 2.0, 1);
            EXPECT_NEAR((outer.top + outer.bottom) / 2.0, GetSystemMetrics(SM_CYSCREEN) / 2.0, 1);
            EXPECT_EQ(wizard.Pages.ActivePage(), "1");
            EXPECT_EQ(GetFocus(), wizard.Memo1.Handle());
            const LRESULT first = FirstShown(wizard.Memo1.Handle());
            const LRESULT line = SendMessageW(wizard.Memo1.Handle(), EM_LINEFROMCHAR, first, 0);
            EXPECT_EQ(SendMessageW(wizard.Memo1.Handle(), EM_LINEFROMCHAR, firstShown, 0), line);
        }
        SendMessageW(frame, kDpiChanged, MAKEWPARAM(96, 96), 0);
        wizard.Close();
        Application.ProcessMessages();
        ASSERT_EQ(SetupWiz, nullptr);
    }
}

}  // namespace
}  // namespace lumora::test

#include <gtest/gtest.h>

#include <memory>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Memo.h"
#include "framework/Notebook.h"
#include "support/ApplicationTest.h"
#include "support/TempFiles.h"

namespace lumora::test {
namespace {

std::string ClassOf(HWND window)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The text as another program reads it: WM_GETTEXT.
std::string TextOf(HWND window)
{
    std::string text(static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// Left, top, width, height in the parent's client area.
std::vector<LONG> BoundsOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

LONG StyleOf(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

// A visible form holding a page container with two pages: a label on "1";
// a memo and a group box with a label in it on "2".
class Controls : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        Application.CreateForm(form_);
        form_->ClientWidth = 420;
        form_->ClientHeight = 300;
        form_->Font.SetName("MS Sans Serif");
        form_->Font.SetSize(8);
        pages_.SetBounds(0, 0, 401, 241);
        pages_.SetParent(*form_);
        pages_.SetPages({"1", "2"});

        label_.WordWrap = true;
        label_.SetBounds(8, 8, 385, 41);
        label_.SetCaption("A label that wraps");
        label_.SetParent(pages_.Page("1"));

        memo_.ScrollBars = ssVertical;
        memo_.SetBounds(8, 64, 385, 100);
        memo_.SetParent(pages_.Page("2"));
        box_.SetCaption("Path to install to");
        box_.SetBounds(8, 192, 385, 41);
        box_.SetParent(pages_.Page("2"));
        inBox_.SetBounds(7, 17, 370, 14);
        inBox_.SetParent(box_);
        inBox_.SetCaption("Test File");  // set after the window exists
        form_->Show();
    }

    TTestForm* form_ = nullptr;
    TNotebook pages_{nullptr, "Pages"};
    TLabel label_{nullptr, "Label1"};
    TMemo memo_{nullptr, "Memo1"};
    TGroupBox box_{nullptr, "GroupBox1"};
    TLabel inBox_{nullptr, "Label4"};
};

TEST_F(Controls, AreSystemWindowsWithTheirTextsBoundsStylesAndTheFormsFont)
{
    EXPECT_EQ(ClassOf(label_.Handle()), "Static");
    EXPECT_EQ(StyleOf(label_.Handle()) & SS_TYPEMASK, SS_LEFT);  // wraps
    EXPECT_EQ(TextOf(label_.Handle()), "A label that wraps");
    EXPECT_EQ(BoundsOf(label_.Handle()), (std::vector<LONG>{8, 8, 385, 41}));

    EXPECT_EQ(ClassOf(box_.Handle()), "Button");
    EXPECT_EQ(StyleOf(box_.Handle()) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(TextOf(box_.Handle()), "Path to install to");
    EXPECT_EQ(GetParent(inBox_.Handle()), box_.Handle());
    EXPECT_EQ(TextOf(inBox_.Handle()), "Test File");
    EXPECT_EQ(StyleOf(inBox_.Handle()) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
    EXPECT_EQ(BoundsOf(inBox_.Handle()), (std::vector<LONG>{7, 17, 370, 14}));

    EXPECT_EQ(ClassOf(memo_.Handle()), "Edit");
    const LONG memoStyle = StyleOf(memo_.Handle());
    EXPECT_EQ(memoStyle & (ES_MULTILINE | ES_READONLY | WS_VSCROLL), ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    EXPECT_FALSE(memoStyle & ES_AUTOHSCROLL);  // word-wrapped

    const HFONT font = form_->Font.Handle();
    for (HWND control : {label_.Handle(), memo_.Handle(), box_.Handle(), inBox_.Handle()})
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), font);
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    // 8 points are 11 pixels at 96 DPI, made at the form's DPI.
    EXPECT_EQ(lf.lfHeight, ScaleToDpi(-11, form_->Dpi()));
}

TEST_F(Controls, ShowingAPageHidesTheOthersWithTheirControls)
{
    EXPECT_EQ(pages_.ActivePage(), "1");
    EXPECT_EQ(ClassOf(pages_.Page("2").Handle()), "TPage");
    EXPECT_EQ(TextOf(pages_.Page("2").Handle()), "2");
    EXPECT_EQ(BoundsOf(pages_.Page("2").Handle()), (std::vector<LONG>{0, 0, 401, 241}));
    EXPECT_TRUE(IsWindowVisible(label_.Handle()));
    EXPECT_FALSE(IsWindowVisible(memo_.Handle()));
    EXPECT_FALSE(IsWindowVisible(inBox_.Handle()));

    pages_.SetActivePage("2");
    EXPECT_EQ(pages_.ActivePage(), "2");
    EXPECT_FALSE(IsWindowVisible(pages_.Page("1").Handle()));
    EXPECT_FALSE(IsWindowVisible(label_.Handle()));
    EXPECT_TRUE(IsWindowVisible(memo_.Handle()));
    EXPECT_TRUE(IsWindowVisible(inBox_.Handle()));

    EXPECT_THROW(pages_.SetActivePage("3"), Error);
    EXPECT_EQ(pages_.ActivePage(), "2");
    EXPECT_TRUE(IsWindowVisible(memo_.Handle()));
}

TEST_F(Controls, MemoLinesAreSetAddedClearedAndLoadedFromAFile)
{
    memo_.SetLines({"Setup Type:", "  Complete", " "});
    memo_.AddLine("Target Folder:");
    EXPECT_EQ(TextOf(memo_.Handle()), "Setup Type:\r\n  Complete\r\n \r\nTarget Folder:");
    EXPECT_EQ(SendMessageA(memo_.Handle(), EM_GETLINECOUNT, 0, 0), 4);

    TempFile readMe("readme.txt", {'o', 'n', 'e', '\n', 't', 'w', 'o', '\r', 'x', '\r', '\n'});
    memo_.LoadLinesFromFile(readMe.Path());
    EXPECT_EQ(memo_.Lines(), (std::vector<std::string>{"one", "two", "x"}));
    EXPECT_EQ(TextOf(memo_.Handle()), "one\r\ntwo\r\nx");

    TempFile missing("no-such-readme.txt");
    EXPECT_THROW(memo_.LoadLinesFromFile(missing.Path()), Error);
    EXPECT_EQ(TextOf(memo_.Handle()), "one\r\ntwo\r\nx");

    // The file is the author's bytes: 8-bit text of the system's code page
    // (Western under the tests' Wine), or UTF-8 without its byte-order mark
    // and with an invalid sequence replaced; the window shows it in Unicode.
    TempFile western("western.txt", {'G', 'r', 0xFC, 0xDF, 'e'});
    memo_.LoadLinesFromFile(western.Path());
    EXPECT_EQ(memo_.Lines(), (std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e"}));
    TempFile utf8("utf8.txt", {0xEF, 0xBB, 0xBF, 0xD0, 0xA1, 0xFF});
    SetAuthorEncoding(AuthorEncoding::Utf8);
    memo_.LoadLinesFromFile(utf8.Path());
    SetAuthorEncoding(AuthorEncoding::SystemCodePage);
    EXPECT_EQ(memo_.Lines(), (std::vector<std::string>{"\xD0\xA1\xEF\xBF\xBD"}));
    wchar_t shown[8] = {};
    GetWindowTextW(memo_.Handle(), shown, 8);
    EXPECT_STREQ(shown, L"\x0421\xFFFD");

    memo_.ClearLines();
    EXPECT_TRUE(memo_.Lines().empty());
    EXPECT_EQ(TextOf(memo_.Handle()), "");
}

TEST_F(Controls, AControlNeedsAParentWithAWindowAndGetsItOnce)
{
    TLabel orphan(nullptr, "Orphan");
    TGroupBox noWindow(nullptr, "NoWindow");
    EXPECT_THROW(orphan.SetParent(noWindow), Error);
    EXPECT_EQ(orphan.Handle(), nullptr);
    EXPECT_THROW(label_.SetParent(*form_), Error);
    EXPECT_EQ(GetParent(label_.Handle()), pages_.Page("1").Handle());
}

}  // namespace
}  // namespace lumora::test

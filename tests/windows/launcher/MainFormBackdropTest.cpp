#include <windows.h>

#include <gtest/gtest.h>

#include "support/JpegFile.h"
#include "support/MemorySurface.h"
#include "framework/FileStream.h"
#include "settings/CmnFunc2.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "launcher/Unit1.h"
#include "support/ApplicationTest.h"

namespace lumora::test {
namespace {

class MainFormBackdrop : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        saved_ = Globals;
        Globals = SetupSettings{};
        CreateExtractionFolderIn(GetTempFolder(), false);
        Application.CreateForm(MainForm);
    }
    void TearDown() override
    {
        RemoveExtractionFolder();
        Globals = saved_;
        ApplicationTest::TearDown();
    }

    // What the MDI client window does when it is erased.
    void Erase()
    {
        const WPARAM dc = reinterpret_cast<WPARAM>(surface_.Dc());
        ASSERT_EQ(SendMessageA(MainForm->ClientHandle(), WM_ERASEBKGND, dc, 0), 0);
    }
    COLORREF At(int x, int y) const { return surface_.At(x, y); }
    // The backdrop reads its picture from the extraction folder.
    static void WritePicture(const std::vector<unsigned char>& bytes)
    {
        TFileStream file(InExtractionFolder("backdrop.jpg"), GENERIC_WRITE, 0, CREATE_ALWAYS);
        file.WriteBuffer(bytes.data(), bytes.size());
    }
    int OuterWidth() const
    {
        RECT r{};
        GetWindowRect(MainForm->Handle(), &r);
        return r.right - r.left;
    }

private:
    SetupSettings saved_;
    MemorySurface surface_{1200, 900};
};

TEST_F(MainFormBackdrop, ThePictureIsReadAtEveryPaintAndAFailureKeepsItsLastPlace)
{
    // Without a bevel the MDI client window covers the whole client area.
    RECT place{}, area{};
    GetWindowRect(MainForm->ClientHandle(), &place);
    MapWindowPoints(nullptr, MainForm->Handle(), reinterpret_cast<POINT*>(&place), 2);
    GetClientRect(MainForm->Handle(), &area);
    EXPECT_TRUE(EqualRect(&place, &area));

    WritePicture(EncodeJpeg(40, 20, [](int, int) { return Rgb{0, 200, 100}; }));
    Globals.ImageFile = "backdrop.jpg";
    Globals.CustomImageFile = "other.jpg";

    Erase();
    const int right = OuterWidth() - 50;
    ASSERT_FALSE(MainForm->Picture->Empty());
    const RECT first{right - 40, 30, right, 50};
    EXPECT_TRUE(EqualRect(&MainForm->PictureRect, &first));
    const COLORREF green = At(right - 20, 40);
    EXPECT_NEAR(GetGValue(green), 200, 6);
    EXPECT_NEAR(GetBValue(green), 100, 6);

    WritePicture(EncodeJpeg(60, 30, [](int, int) { return Rgb{0, 0, 0}; }));
    Erase();
    const RECT larger{right - 60, 30, right, 60};
    EXPECT_TRUE(EqualRect(&MainForm->PictureRect, &larger));

    // Damaged, then not named: no picture, no error, the place stays.
    for (const char* name : {"backdrop.jpg", "nil"}) {
        SCOPED_TRACE(name);
        WritePicture({'n', 'o', 'n', 'e'});
        Globals.ImageFile = name;
        Erase();
        EXPECT_TRUE(MainForm->Picture->Empty());
        EXPECT_TRUE(EqualRect(&MainForm->PictureRect, &larger));
    }
}

// At 200 %: the picture twice its size, twice as far from the top and the
// right edge, and filtered rather than in blocks of repeated pixels; the
// title twice as large.
TEST_F(MainFormBackdrop, AtTwiceTheDpiThePictureAndTheTitleGrowSmoothly)
{
    WritePicture(EncodeJpeg(40, 20, [](int x, int) { return Rgb{static_cast<std::uint8_t>(x * 6), 0, 0}; }));
    Globals.ImageFile = "backdrop.jpg";
    Globals.TitleText = "Lumora";
    // The rows the title's white letters take, over the black of no
    // gradient.
    const auto titleRows = [this] {
        int top = -1, bottom = -1;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 400; ++x)
                if (At(x, y) == RGB(255, 255, 255)) {
                    top = top < 0 ? y : top;
                    bottom = y + 1;
                }
        return std::make_pair(top, bottom);
    };
    Erase();
    const auto rows96 = titleRows();
    ASSERT_GE(rows96.first, 8);

    RECT suggested{};
    GetWindowRect(MainForm->Handle(), &suggested);
    SendMessageA(MainForm->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    Erase();
    const int right = OuterWidth() - 100;
    const RECT twice{right - 80, 60, right, 100};
    EXPECT_TRUE(EqualRect(&MainForm->PictureRect, &twice));
    // Repeated pixels would make each even column the same as the next.
    int repeated = 0;
    for (int x = twice.left + 2; x < twice.right - 2; x += 2)
        repeated += At(x, 80) == At(x + 1, 80);
    EXPECT_LT(repeated, 5);
    const auto rows192 = titleRows();
    EXPECT_NEAR(rows192.first, 2 * rows96.first, 2);
    EXPECT_NEAR(rows192.second - rows192.first, 2 * (rows96.second - rows96.first), 3);
}

}  // namespace
}  // namespace lumora::test

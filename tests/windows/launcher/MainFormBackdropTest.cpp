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

}  // namespace
}  // namespace lumora::test

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/ButtonForm.h"

namespace lumora::test {
namespace {

// A button's pixels as the form's window shows them once it has painted.
class ButtonPixels {
public:
    ButtonPixels(HWND window, const TToolbarButton97& button) : width_(button.Width()), height_(button.Height())
    {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const HDC dc = GetDC(window);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                pixels_.push_back(GetPixel(dc, button.Left() + x, button.Top() + y) & 0xFFFFFF);
        ReleaseDC(window, dc);
    }

    COLORREF At(int x, int y) const { return pixels_[y * width_ + x]; }

    // Positive for a raised border (light top-left, dark bottom-right, on
    // the outer and the inner line), negative for a sunken one.
    int Relief() const
    {
        const auto brightness = [](COLORREF c) { return GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c); };
        const auto side = [&](int i) {
            const int d = brightness(At(i, i)) - brightness(At(width_ - 1 - i, height_ - 1 - i));
            return d > 0 ? 1 : d < 0 ? -1 : 0;
        };
        return side(0) == side(1) ? side(0) : 0;
    }

    // Where `color` appears inside the content area (inset by 2, out of the
    // border's reach); empty when it does not.
    RECT Bounds(COLORREF color) const
    {
        RECT r{width_, height_, 0, 0};
        for (int y = 2; y < height_ - 2; ++y)
            for (int x = 2; x < width_ - 2; ++x)
                if (At(x, y) == color)
                    r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                             std::max<LONG>(r.bottom, y + 1)};
        return IsRectEmpty(&r) ? RECT{} : r;
    }

private:
    int width_;
    int height_;
    std::vector<COLORREF> pixels_;
};

class ButtonLook : public ButtonFormTest {
protected:
    void SetUp() override
    {
        ButtonFormTest::SetUp();
        // The checks below tell the parts apart by these colours.
        ASSERT_NE(text_, shadow_);
        ASSERT_NE(highlight_, GetSysColor(COLOR_BTNFACE));
        ASSERT_NE(shadow_, GetSysColor(COLOR_BTNFACE));
    }

    const COLORREF text_ = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF highlight_ = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow_ = GetSysColor(COLOR_BTNSHADOW);

    // Presses Yes: it looks sunken, its caption `by` pixels right of and
    // below `upCaption`.
    void PressAndExpectCaptionMovedBy(const RECT& upCaption, int by)
    {
        Mouse(WM_LBUTTONDOWN, CentreOf(form_->Yes), MK_LBUTTON);
        const ButtonPixels pressed(window_, form_->Yes);
        EXPECT_LT(pressed.Relief(), 0);
        RECT moved = upCaption;
        OffsetRect(&moved, by, by);
        const RECT pressedCaption = pressed.Bounds(text_);
        EXPECT_TRUE(EqualRect(&pressedCaption, &moved));
    }
};

TEST_F(ButtonLook, RaisedWhenUpAndSunkenWithTheCaptionMovedWhenPressed)
{
    const ButtonPixels up(window_, form_->Yes);
    EXPECT_GT(up.Relief(), 0);
    const RECT upCaption = up.Bounds(text_);
    ASSERT_FALSE(IsRectEmpty(&upCaption));
    PressAndExpectCaptionMovedBy(upCaption, 1);

    // Moved off and released there: raised again.
    Mouse(WM_MOUSEMOVE, POINT{300, 10}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{300, 10});
    const ButtonPixels released(window_, form_->Yes);
    EXPECT_GT(released.Relief(), 0);
    const RECT releasedCaption = released.Bounds(text_);
    EXPECT_TRUE(EqualRect(&releasedCaption, &upCaption));
}

// At 200 % the border's two lines are two pixels wide each, and a press
// moves the caption two pixels right and down.
TEST_F(ButtonLook, AtTwiceTheDpiTheBorderAndThePressedCaptionMoveTwiceAsFar)
{
    RECT outer{};
    GetWindowRect(window_, &outer);
    RECT suggested{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
                   outer.top + 2 * (outer.bottom - outer.top)};
    SendMessageA(window_, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(form_->Yes.Width(), 130);
    ASSERT_EQ(form_->Yes.Height(), 52);

    const ButtonPixels up(window_, form_->Yes);
    const int right = form_->Yes.Width() - 1, bottom = form_->Yes.Height() - 1;
    for (const int band : {0, 2}) {
        SCOPED_TRACE(band);
        EXPECT_EQ(up.At(band, 20), up.At(band + 1, 20));
        EXPECT_EQ(up.At(20, band), up.At(20, band + 1));
        EXPECT_EQ(up.At(right - band, 20), up.At(right - band - 1, 20));
        EXPECT_EQ(up.At(20, bottom - band), up.At(20, bottom - band - 1));
    }
    EXPECT_NE(up.At(0, 20), up.At(2, 20));
    EXPECT_NE(up.At(right, 20), up.At(right - 2, 20));
    EXPECT_EQ(up.At(4, 20), GetSysColor(COLOR_BTNFACE));
    const RECT upCaption = up.Bounds(text_);
    ASSERT_FALSE(IsRectEmpty(&upCaption));
    PressAndExpectCaptionMovedBy(upCaption, 2);
    Mouse(WM_LBUTTONUP, CentreOf(form_->Yes));
}

// Disabled: the caption in the shadow colour over a highlight copy one pixel
// right and down, nothing in the font's colour.
TEST_F(ButtonLook, ADisabledButtonShowsAnEngravedCaption)
{
    form_->No.SetEnabled(false);
    const ButtonPixels p(window_, form_->No);
    EXPECT_GT(p.Relief(), 0);
    const RECT ink = p.Bounds(text_), dark = p.Bounds(shadow_), light = p.Bounds(highlight_);
    EXPECT_TRUE(IsRectEmpty(&ink));
    ASSERT_FALSE(IsRectEmpty(&dark));
    EXPECT_EQ(light.right, dark.right + 1);
    EXPECT_EQ(light.bottom, dark.bottom + 1);

    form_->No.SetEnabled(true);
    const ButtonPixels again(window_, form_->No);
    const RECT inkAgain = again.Bounds(text_), lightAgain = again.Bounds(highlight_);
    EXPECT_FALSE(IsRectEmpty(&inkAgain));
    EXPECT_TRUE(IsRectEmpty(&lightAgain));
}

// "&Yes" draws what a plain "Yes" draws, where it draws it, plus one
// underline row below; the ampersand itself is not drawn.
TEST_F(ButtonLook, TheAcceleratorIsUnderlinedAndTheAmpersandNotDrawn)
{
    TToolbarButton97 plain(form_, "Plain");
    plain.SetBounds(form_->Yes.Left(), form_->Yes.Top() - 35, form_->Yes.Width(), form_->Yes.Height());
    plain.SetCaption("Yes");
    const ButtonPixels marked(window_, form_->Yes), unmarked(window_, plain);

    int extra = 0, missing = 0, top = plain.Height(), bottom = 0;
    for (int y = 0; y < plain.Height(); ++y)
        for (int x = 0; x < plain.Width(); ++x) {
            const bool a = marked.At(x, y) == text_, b = unmarked.At(x, y) == text_;
            missing += b && !a;
            if (a && !b) {
                ++extra;
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
    EXPECT_EQ(missing, 0);
    EXPECT_GE(extra, 3);
    EXPECT_EQ(bottom - top, 1);
    EXPECT_GE(top, unmarked.Bounds(text_).bottom - 1);
}

}  // namespace
}  // namespace lumora::test

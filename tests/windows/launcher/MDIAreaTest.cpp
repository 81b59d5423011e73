#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/MemorySurface.h"
#include "base/Error.h"
#include "launcher/MDIArea.h"
#include "support/ApplicationTest.h"

// In the global namespace, beside RECT, where the test macros find them.
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
static std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace lumora::test {
namespace {

class TMDIFrameForm : public TForm {
public:
    explicit TMDIFrameForm(TComponent* owner) : TForm(owner, "MDIFrame", "TMDIFrameForm")
    {
        FormStyle = fsMDIForm;
        ClientWidth = 300;
        ClientHeight = 200;
    }
};

class MDIArea : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        Application.CreateForm(form);
    }
    void TearDown() override
    {
        area.reset();
        ApplicationTest::TearDown();
    }

    void MakeArea()
    {
        area = std::make_unique<TMDIArea>(form);
        client = form->ClientHandle();
    }
    // The MDI client window's rectangle in the form's client coordinates.
    RECT ClientPlace() const
    {
        RECT r{};
        GetWindowRect(client, &r);
        MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    TMDIFrameForm* form = nullptr;
    std::unique_ptr<TMDIArea> area;
    HWND client = nullptr;
};

TEST_F(MDIArea, OnlyAnMDIFrameFormCanHoldIt)
{
    TTestForm* plain = nullptr;
    Application.CreateForm(plain);
    // A plain form, a component that is no form (the application), none.
    for (TComponent* owner : {static_cast<TComponent*>(plain), static_cast<TComponent*>(&Application),
                              static_cast<TComponent*>(nullptr)}) {
        try {
            TMDIArea misplaced(owner);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "TMDIArea can only be used on a form with FormStyle=fsMDIForm");
        }
    }
    EXPECT_TRUE(plain->GraphicControls().Empty());
}

TEST_F(MDIArea, ReplacesTheClientProcedureForItsLifeAndFillsTheForm)
{
    form->HandleNeeded();
    client = form->ClientHandle();
    const LONG original = GetWindowLongA(client, GWL_WNDPROC);
    MakeArea();
    EXPECT_NE(GetWindowLongA(client, GWL_WNDPROC), original);
    EXPECT_EQ(area->Align(), alClient);
    EXPECT_TRUE(area->Bevel());
    EXPECT_EQ(area->BackgroundColor(), clAppWorkSpace);
    EXPECT_EQ(area->BoundsRect(), (RECT{0, 0, 300, 200}));
    area.reset();
    EXPECT_EQ(GetWindowLongA(client, GWL_WNDPROC), original);
}

TEST_F(MDIArea, KeepsTheClientWindowToItsBoundsInsetByTheBevel)
{
    MakeArea();
    area->SetBevel(false);
    EXPECT_EQ(ClientPlace(), (RECT{0, 0, 300, 200}));
    area->SetBevel(true);
    EXPECT_EQ(ClientPlace(), (RECT{2, 2, 298, 198}));
    // The gap shows the control: a sunken edge, dark above and left.
    {
        MemorySurface surface(300, 200);
        area->Paint(surface.Dc());  // as the form paints its windowless controls
        EXPECT_EQ(surface.At(150, 0), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(surface.At(0, 100), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(surface.At(150, 1), GetSysColor(COLOR_3DDKSHADOW));
        EXPECT_EQ(surface.At(150, 199), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(surface.At(299, 100), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(surface.At(298, 100), GetSysColor(COLOR_3DLIGHT));
    }

    // The form grows: its layout moves the client window, which keeps the inset.
    RECT outer{};
    GetWindowRect(form->Handle(), &outer);
    SetWindowPos(form->Handle(), nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(area->BoundsRect(), (RECT{0, 0, 340, 230}));
    EXPECT_EQ(ClientPlace(), (RECT{2, 2, 338, 228}));

    // The message itself: position and size replaced, nothing else touched,
    // answer 0.
    area->SetBevel(false);
    WINDOWPOS position{};
    position.hwnd = client;
    position.hwndInsertAfter = HWND_BOTTOM;
    position.x = position.y = 77;
    position.cx = position.cy = 5;
    position.flags = SWP_NOACTIVATE | SWP_NOZORDER;
    EXPECT_EQ(SendMessageA(client, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position)), 0);
    EXPECT_EQ(position.x, 0);
    EXPECT_EQ(position.y, 0);
    EXPECT_EQ(position.cx, 340);
    EXPECT_EQ(position.cy, 230);
    EXPECT_EQ(position.hwnd, client);
    EXPECT_EQ(position.hwndInsertAfter, HWND_BOTTOM);
    EXPECT_EQ(position.flags, static_cast<UINT>(SWP_NOACTIVATE | SWP_NOZORDER));
}

TEST_F(MDIArea, ErasingFillsTheBackgroundThenCallsOnPaintAndLeavesTheDeviceContextAsItWas)
{
    MakeArea();
    area->SetBevel(false);
    area->SetBackgroundColor(RGB(10, 20, 30));
    RECT painted{};
    int paints = 0;
    COLORREF underPaint = 0;
    area->OnPaint = [&](TObject* sender, TCanvas& canvas, const RECT& rect) {
        EXPECT_EQ(sender, area.get());
        ++paints;
        painted = rect;
        underPaint = GetPixel(canvas.Handle(), 1, 1);
        canvas.SetTextAlign(TA_RIGHT | TA_BOTTOM);
        canvas.SetBkMode(TRANSPARENT);
        canvas.Brush.SetColor(RGB(200, 0, 0));
        canvas.FillRect(RECT{0, 0, 5, 5});
    };

    MemorySurface surface(400, 300);
    const HDC dc = surface.Dc();
    EXPECT_EQ(SendMessageA(client, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);

    RECT inside{};
    GetClientRect(client, &inside);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(painted, inside);
    EXPECT_EQ(underPaint, RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(dc, inside.right - 1, inside.bottom - 1), RGB(10, 20, 30));
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_LEFT | TA_TOP));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

}

TEST_F(MDIArea, ScrollingRedrawsTheWholeClientWindow)
{
    MakeArea();
    area->SetBevel(false);
    ShowWindow(form->Handle(), SW_SHOW);
    UpdateWindow(form->Handle());
    ValidateRect(client, nullptr);
    SendMessageA(client, WM_VSCROLL, SB_LINEDOWN, 0);
    RECT update{}, inside{};
    GetClientRect(client, &inside);
    ASSERT_TRUE(GetUpdateRect(client, &update, FALSE));
    EXPECT_EQ(update, inside);
}

}  // namespace
}  // namespace lumora::test

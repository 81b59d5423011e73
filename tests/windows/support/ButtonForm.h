#pragma once
// A form with three push buttons, for the button suites, and the input a
// user gives it: mouse messages at button coordinates and typed characters,
// all through the application's message loop.
#include <windows.h>

#include <chrono>
#include <functional>
#include <thread>

#include "controls/TB97.h"
#include "support/ApplicationTest.h"

namespace lumora::test {

class TButtonForm : public TForm {
public:
    explicit TButtonForm(TComponent* owner)
        : TForm(owner, "ButtonForm", "TButtonTestForm"), Yes(this, "Yes"), No(this, "No"), Ok(this, "Ok")
    {
        ClientWidth = 320;
        ClientHeight = 120;
        Yes.SetBounds(10, 60, 65, 26);
        Yes.SetCaption("&Yes");
        Yes.Flat = false;
        No.SetBounds(90, 60, 65, 26);
        No.SetCaption("&No");
        No.SetFlat(false);
        Ok.SetBounds(170, 60, 65, 26);
        Ok.SetCaption("OK");
        Ok.Flat = false;
        Yes.OnClick = [this](TObject*) { ++YesClicks; };
        No.OnClick = [this](TObject*) { ++NoClicks; };
        Ok.OnClick = [this](TObject*) { ++OkClicks; };
    }

    TToolbarButton97 Yes, No, Ok;
    int YesClicks = 0, NoClicks = 0, OkClicks = 0;
};

// The application with a shown TButtonForm as its main form.
class ButtonFormTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        Application.CreateForm(form_);
        form_->Show();
        window_ = form_->Handle();
        UpdateWindow(window_);
    }

    static POINT CentreOf(const TToolbarButton97& button)
    {
        return POINT{button.Left() + button.Width() / 2, button.Top() + button.Height() / 2};
    }

    // Posts a mouse message at a point of window_'s client area and handles it.
    void Mouse(UINT message, POINT at, WPARAM keys = 0)
    {
        PostMessageA(window_, message, keys, MAKELPARAM(at.x, at.y));
        Application.ProcessMessages();
    }

    void ClickAt(POINT at)
    {
        Mouse(WM_LBUTTONDOWN, at, MK_LBUTTON);
        Mouse(WM_LBUTTONUP, at);
    }

    // A character typed into `target`, with Alt held (the context bit of the
    // key data) or without.
    static void Type(HWND target, char c, bool alt)
    {
        PostMessageA(target, alt ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(c), alt ? 0x20000001 : 1);
        Application.ProcessMessages();
    }

    // Handles messages until `condition` holds or `seconds` have passed.
    static bool WaitFor(const std::function<bool()>& condition, double seconds = 10)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Application.ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    TButtonForm* form_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace lumora::test

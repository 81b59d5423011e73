#include <gtest/gtest.h>
#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Error.h"
#include "support/BoxWatcher.h"
#include "support/ButtonForm.h"

namespace lumora::test {
namespace {

using ToolbarButton = ButtonFormTest;

// The form holds the mouse for the pressed button, so the release ends up
// with the button wherever it happens.
TEST_F(ToolbarButton, APressAndReleaseOnTheButtonClicksIt)
{
    const POINT yes = CentreOf(form_->Yes);
    Mouse(WM_LBUTTONDOWN, yes, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), window_);
    EXPECT_EQ(form_->GraphicControls().CaptureControl(), &form_->Yes);
    EXPECT_EQ(form_->Yes.State(), bsPressed);
    EXPECT_EQ(form_->YesClicks, 0);

    Mouse(WM_LBUTTONUP, yes);
    EXPECT_EQ(form_->YesClicks, 1);
    EXPECT_EQ(form_->Yes.State(), bsUp);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form_->NoClicks + form_->OkClicks, 0);

    // Between the buttons: the form's own.
    ClickAt(POINT{82, 70});
    EXPECT_EQ(form_->YesClicks + form_->NoClicks + form_->OkClicks, 1);

    // The click hands the button's ModalResult to the form, but for 0.
    form_->ModalResult = 7;
    ClickAt(yes);
    EXPECT_EQ(form_->ModalResult, 7);
    form_->No.ModalResult = 2;
    ClickAt(CentreOf(form_->No));
    EXPECT_EQ(form_->ModalResult, 2);
}

TEST_F(ToolbarButton, MovingOffBeforeTheReleaseCancelsTheClickUnlessThePointerComesBack)
{
    const POINT yes = CentreOf(form_->Yes);
    const POINT away{300, 10};
    Mouse(WM_LBUTTONDOWN, yes, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, away, MK_LBUTTON);
    EXPECT_EQ(form_->Yes.State(), bsUp);
    Mouse(WM_LBUTTONUP, away);
    EXPECT_EQ(form_->YesClicks, 0);
    EXPECT_EQ(form_->Yes.State(), bsUp);
    EXPECT_FALSE(form_->Yes.Tracking());

    // Off the button and onto another one: still only the pressed one counts.
    Mouse(WM_LBUTTONDOWN, yes, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, CentreOf(form_->No), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, yes, MK_LBUTTON);
    EXPECT_EQ(form_->Yes.State(), bsPressed);
    Mouse(WM_LBUTTONUP, yes);
    EXPECT_EQ(form_->YesClicks, 1);
    EXPECT_EQ(form_->NoClicks, 0);
}

TEST_F(ToolbarButton, ADoubleClickClicksTwice)
{
    // The form's window class asks for double clicks.
    EXPECT_TRUE(GetClassLongA(window_, GCL_STYLE) & CS_DBLCLKS);
    const POINT no = CentreOf(form_->No);
    Mouse(WM_LBUTTONDOWN, no, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, no);
    Mouse(WM_LBUTTONDBLCLK, no, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, no);
    EXPECT_EQ(form_->NoClicks, 2);
}

// Another window taking the mouse (a menu, a drag), a cancelled mouse mode
// or the right button end the press without a click.
TEST_F(ToolbarButton, LosingTheCaptureCancellingOrARightReleaseEndsThePress)
{
    const POINT yes = CentreOf(form_->Yes);
    const std::function<void()> interruptions[] = {
        [this] {
            const HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, window_, nullptr,
                                               GetModuleHandleA(nullptr), nullptr);
            SetCapture(other);
            DestroyWindow(other);
        },
        [this] { SendMessageA(window_, WM_CANCELMODE, 0, 0); },
        [this, yes] { Mouse(WM_RBUTTONUP, yes, MK_LBUTTON); },
    };
    for (const auto& interrupt : interruptions) {
        Mouse(WM_LBUTTONDOWN, yes, MK_LBUTTON);
        interrupt();
        EXPECT_FALSE(form_->Yes.Tracking());
        EXPECT_EQ(form_->Yes.State(), bsUp);
        Mouse(WM_LBUTTONUP, yes);
        EXPECT_EQ(GetCapture(), nullptr);
    }
    EXPECT_EQ(form_->YesClicks, 0);
}

TEST_F(ToolbarButton, DisabledOrHiddenButtonsIgnorePressesAndAccelerators)
{
    form_->Yes.SetEnabled(false);
    EXPECT_EQ(form_->Yes.State(), bsDisabled);
    ClickAt(CentreOf(form_->Yes));
    Type(window_, 'y', true);
    Type(window_, 'y', false);
    EXPECT_EQ(form_->YesClicks, 0);
    EXPECT_EQ(GetCapture(), nullptr);

    form_->No.SetVisible(false);
    ClickAt(CentreOf(form_->No));
    Type(window_, 'n', true);
    EXPECT_EQ(form_->NoClicks, 0);

    form_->Yes.SetEnabled(true);
    EXPECT_EQ(form_->Yes.State(), bsUp);
    ClickAt(CentreOf(form_->Yes));
    Type(window_, 'Y', true);
    EXPECT_EQ(form_->YesClicks, 2);
}

// Alt+letter reaches the buttons whatever has the focus; a plain letter only
// when the focused window takes no characters. "OK" has no accelerator.
TEST_F(ToolbarButton, AcceleratorsWorkWithAltAlwaysAndPlainOnlyOutsideEditBoxes)
{
    const HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 150, 22, window_,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);

    Type(edit, 'y', true);
    EXPECT_EQ(form_->YesClicks, 1);
    Type(edit, 'N', true);
    EXPECT_EQ(form_->NoClicks, 1);
    Type(edit, 'y', false);
    Type(edit, 'n', false);
    EXPECT_EQ(form_->YesClicks, 1);
    EXPECT_EQ(form_->NoClicks, 1);
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "yn");

    SetFocus(window_);
    Type(window_, 'y', false);
    EXPECT_EQ(form_->YesClicks, 2);
    for (char c : {'o', 'O', 'k', 'K'}) {
        Type(window_, c, true);
        Type(window_, c, false);
    }
    EXPECT_EQ(form_->OkClicks, 0);
    DestroyWindow(edit);
}

// A failing click handler is reported with the standard error box; the
// button is up again and keeps working.
TEST_F(ToolbarButton, AFailingClickHandlerIsReportedAndTheButtonStaysUsable)
{
    TButtonState97 during = bsUp;
    form_->Yes.OnClick = [&](TObject*) {
        during = form_->Yes.State();
        ++form_->YesClicks;
        throw Error("The handler failed");
    };
    {
        BoxWatcher watcher(IDOK);
        Type(window_, 'y', true);
        const BoxView& box = watcher.Result();
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, "The handler failed.");
    }
    EXPECT_EQ(during, bsPressed);
    EXPECT_EQ(form_->Yes.State(), bsUp);
    EXPECT_FALSE(form_->Yes.InClick());

    form_->Yes.OnClick = [this](TObject*) { ++form_->YesClicks; };
    ClickAt(CentreOf(form_->Yes));
    EXPECT_EQ(form_->YesClicks, 2);
}

// The form's accessible object, as an accessibility client of this thread
// gets it. The form has no child windows, so its children are the buttons,
// left to right: "Yes" moved to the right makes them No, OK, Yes.
TEST_F(ToolbarButton, AccessibilityClientsReadTheButtonsInVisualOrderAndPressThem)
{
    struct Apartment {
        Apartment() : entered(SUCCEEDED(CoInitialize(nullptr))) {}
        ~Apartment()
        {
            if (entered)
                CoUninitialize();
        }
        const bool entered;
    } apartment;
    ASSERT_TRUE(apartment.entered);
    IAccessible* raw = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&raw)),
              S_OK);
    const std::unique_ptr<IAccessible, void (*)(IAccessible*)> object(raw, [](IAccessible* o) { o->Release(); });
    const auto child = [](LONG id) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    };

    form_->Yes.SetBounds(250, 60, 65, 26);
    form_->No.SetVisible(false);
    form_->Ok.SetEnabled(false);
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    // Hot-tracking follows the real pointer, wherever that is.
    const wchar_t* const names[] = {L"No", L"OK", L"Yes"};
    const LONG states[] = {STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_UNAVAILABLE, 0};
    for (LONG id = 1; id <= 3; ++id) {
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(child(id), &name), S_OK);
        EXPECT_EQ(std::wstring(name ? name : L""), names[id - 1]) << id;
        SysFreeString(name);
        VARIANT state;
        EXPECT_EQ(object->get_accState(child(id), &state), S_OK);
        EXPECT_EQ(state.lVal & ~STATE_SYSTEM_HOTTRACKED, states[id - 1]) << id;
    }
    long left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, child(3)), S_OK);
    POINT yes{250, 60};
    ClientToScreen(window_, &yes);
    EXPECT_EQ(std::vector<long>({left, top, width, height}), std::vector<long>({yes.x, yes.y, 65, 26}));

    // Hit-testing finds visible buttons only; navigation runs along them.
    VARIANT found;
    EXPECT_EQ(object->accHitTest(yes.x + 30, yes.y + 13, &found), S_OK);
    EXPECT_EQ(found.vt, VT_I4);
    EXPECT_EQ(found.lVal, 3);
    EXPECT_EQ(object->accHitTest(yes.x - 130, yes.y + 13, &found), S_OK);
    EXPECT_EQ(found.lVal, CHILDID_SELF) << "the hidden button was hit";
    EXPECT_EQ(object->accNavigate(NAVDIR_LASTCHILD, child(CHILDID_SELF), &found), S_OK);
    EXPECT_EQ(found.lVal, 3);
    EXPECT_EQ(object->accNavigate(NAVDIR_NEXT, child(1), &found), S_OK);
    EXPECT_EQ(found.lVal, 2);

    // The action runs from the message loop, not while the client waits;
    // a disabled button does not act, nor does any while a modal box has
    // disabled the form.
    EXPECT_EQ(object->accDoDefaultAction(child(3)), S_OK);
    EXPECT_EQ(object->accDoDefaultAction(child(2)), S_OK);
    EXPECT_EQ(form_->YesClicks, 0);
    Application.ProcessMessages();
    EXPECT_EQ(form_->YesClicks, 1);
    EXPECT_EQ(form_->OkClicks, 0);
    EXPECT_EQ(object->accDoDefaultAction(child(3)), S_OK);
    EnableWindow(window_, FALSE);
    Application.ProcessMessages();
    EnableWindow(window_, TRUE);
    EXPECT_EQ(form_->YesClicks, 1);
}

// Whether enters and exits pair up: one hot button at a time, each leaving
// before the next enters.
bool PairedUp(const std::vector<std::string>& log)
{
    std::string hot;
    for (const std::string& entry : log) {
        const std::string name = entry.substr(1);
        if (entry[0] == '+' ? !hot.empty() : hot != name)
            return false;
        hot = entry[0] == '+' ? name : std::string();
    }
    return true;
}

// The button under the pointer is hot while the application is active; the
// shared timer notices when the pointer has left the window, and the
// application's deactivation ends the hot state at once. The real pointer is
// moved, so the form gets its moves from the window system; under X an
// earlier warp may still echo back, so the checks wait for the outcome.
TEST_F(ToolbarButton, HoverFollowsThePointerAndTheApplication)
{
    SetForegroundWindow(window_);
    ASSERT_TRUE(WaitFor([this] { return GetForegroundWindow() == window_; }));
    std::vector<std::string> log;
    for (TToolbarButton97* button : {&form_->Yes, &form_->No}) {
        button->OnMouseEnter = [&log, button](TObject*) { log.push_back("+" + button->Name()); };
        button->OnMouseExit = [&log, button](TObject*) { log.push_back("-" + button->Name()); };
    }
    const auto pointTo = [this](POINT client) {
        ClientToScreen(window_, &client);
        SetCursorPos(client.x, client.y);
    };

    pointTo(CentreOf(form_->Yes));
    ASSERT_TRUE(WaitFor([this] { return form_->Yes.State() == bsHot; }));
    pointTo(CentreOf(form_->No));
    ASSERT_TRUE(WaitFor([this] { return form_->No.State() == bsHot && form_->Yes.State() == bsUp; }));
    EXPECT_TRUE(PairedUp(log));
    EXPECT_EQ(log.back(), "+No");

    RECT frame{};
    GetWindowRect(window_, &frame);
    SetCursorPos(frame.right + 40, frame.bottom + 40);
    EXPECT_TRUE(WaitFor([this] { return form_->No.State() == bsUp && form_->Yes.State() == bsUp; }));
    EXPECT_TRUE(PairedUp(log));
    EXPECT_EQ(log.back()[0], '-');

    pointTo(CentreOf(form_->Yes));
    ASSERT_TRUE(WaitFor([this] { return form_->Yes.State() == bsHot; }));
    SendMessageA(window_, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(form_->Yes.State(), bsUp);
    EXPECT_EQ(log.back(), "-Yes");
    EXPECT_TRUE(PairedUp(log));
}

// The wizard's arrangement: the buttons on an MDI child of the main form.
class TButtonChild : public TButtonForm {
public:
    explicit TButtonChild(TComponent* owner) : TButtonForm(owner)
    {
        FormStyle = fsMDIChild;
        BorderStyle = bsSingle;
        BorderIcons = {};
        Left = 20;
        Top = 20;
    }
};

class TButtonFrame : public TForm {
public:
    explicit TButtonFrame(TComponent* owner) : TForm(owner, "ButtonFrame", "TButtonTestFrame")
    {
        FormStyle = fsMDIForm;
        ClientWidth = 600;
        ClientHeight = 400;
    }
};

using ButtonsOnAnMDIChild = ButtonFormTest;

TEST_F(ButtonsOnAnMDIChild, GetTheirMouseInputAndAcceleratorsFromTheChildsWindows)
{
    // The fixture's form is not needed here: the frame must be the main form.
    Application.DestroyForms();
    TButtonFrame* frame = nullptr;
    TButtonChild* child = nullptr;
    Application.CreateForm(frame);
    frame->Show();
    Application.CreateForm(child);
    const HWND window = child->Handle();
    ASSERT_EQ(GetParent(window), frame->ClientHandle());
    const HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 150, 22, window,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);

    Type(edit, 'n', true);
    EXPECT_EQ(child->NoClicks, 1);
    Type(edit, 'y', false);
    EXPECT_EQ(child->YesClicks, 0);

    window_ = window;
    ClickAt(CentreOf(child->Yes));
    EXPECT_EQ(child->YesClicks, 1);
}

}  // namespace
}  // namespace lumora::test

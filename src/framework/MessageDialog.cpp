#include "framework/MessageDialog.h"

#include <windows.h>

#include <algorithm>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "base/UiTexts.h"
#include "framework/Handles.h"

namespace lumora {

namespace {

struct DialogKind {
    TextId caption;
    UINT icon;
};

DialogKind KindOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return {TextId::BoxWarning, MB_ICONWARNING};
    case mtError: return {TextId::BoxError, MB_ICONERROR};
    case mtInformation: return {TextId::BoxInformation, MB_ICONINFORMATION};
    case mtConfirmation: return {TextId::BoxConfirm, MB_ICONQUESTION};
    }
    throw Error("Unknown message dialog type");
}

UINT ButtonStyleOf(TMsgDlgButtons buttons)
{
    if (buttons == TMsgDlgButtons{mbOK})
        return MB_OK;
    if (buttons == TMsgDlgButtons{mbOK, mbCancel})
        return MB_OKCANCEL;
    if (buttons == TMsgDlgButtons{mbYes, mbNo})
        return MB_YESNO;
    if (buttons == TMsgDlgButtons{mbYes, mbNo, mbCancel})
        return MB_YESNOCANCEL;
    throw Error("This set of message dialog buttons is not supported");
}

// The box the program is showing. Hook and window procedures have no
// parameter of their own, so they find their box here; boxes shown from
// inside a box's modal loop stack up through `outer`. The program shows its
// boxes on one thread (see s_creating in Form.cpp).
struct BoxInProgress {
    HHOOK hook = nullptr;
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    bool placed = false;
    BoxInProgress* outer = nullptr;
};

BoxInProgress* s_box = nullptr;

BoxInProgress* BoxOf(HWND window)
{
    for (BoxInProgress* box = s_box; box; box = box->outer) {
        if (box->window == window)
            return box;
    }
    return nullptr;
}

bool IsDialog(HWND window)
{
    static const wchar_t kDialogClass[] = L"#32770";
    constexpr int kLength = sizeof kDialogClass / sizeof kDialogClass[0] - 1;
    wchar_t name[kLength + 2] = {};
    return GetClassNameW(window, name, kLength + 2) == kLength && std::equal(name, name + kLength, kDialogClass);
}

// The button texts are the installer's, in its language, whatever
// language the system speaks.
void SetButtonTexts(HWND box)
{
    static const struct {
        int id;
        TextId text;
    } kTexts[] = {{IDOK, TextId::BoxOk}, {IDCANCEL, TextId::BoxCancel}, {IDYES, TextId::ButtonYes},
                  {IDNO, TextId::ButtonNo}};
    for (const auto& button : kTexts) {
        if (HWND control = GetDlgItem(box, button.id))
            SetWindowTextW(control, WideText(Text(button.text)).c_str());
    }
}

bool HasVisibleButton(HWND box, int id)
{
    const HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
}

// The dialog manager turns Escape (and closing the box) into IDCANCEL. A
// box with No but without Cancel takes that as No, the answer that changes
// nothing.
bool IsCancelMeaningNo(HWND box, UINT message, WPARAM wParam)
{
    return message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && HasVisibleButton(box, IDNO) &&
           !HasVisibleButton(box, IDCANCEL);
}

void CentreOnScreen(HWND box)
{
    RECT bounds{};
    if (!GetWindowRect(box, &bounds))
        return;  // the box stays where the system put it
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2;
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Window procedure put in front of the box's own. The system lays the box
// out while it initialises it (before or after activating it, depending on
// the system); the texts and the place are settled after that, as the box is
// about to become visible.
LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    BoxInProgress* box = BoxOf(window);
    if (!box)
        return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC previous = box->previous;
    if (message == WM_SHOWWINDOW && wParam && !box->placed) {
        box->placed = true;
        SetButtonTexts(window);
        CentreOnScreen(window);
    } else if (IsCancelMeaningNo(window, message, wParam)) {
        wParam = MAKEWPARAM(IDNO, BN_CLICKED);
        lParam = reinterpret_cast<LPARAM>(GetDlgItem(window, IDNO));
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        box->window = nullptr;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

// Takes over the first dialog window this thread creates during the call.
LRESULT CALLBACK WatchBoxProc(int code, WPARAM wParam, LPARAM lParam)
{
    BoxInProgress* box = s_box;
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && box && !box->window && !box->placed && IsDialog(window)) {
        box->previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc)));
        if (box->previous)
            box->window = window;
    }
    return CallNextHookEx(box ? box->hook : nullptr, code, wParam, lParam);
}

class BoxScope {
public:
    explicit BoxScope(HHOOK hook)
    {
        box_.hook = hook;
        box_.outer = s_box;
        s_box = &box_;
    }
    ~BoxScope() { s_box = box_.outer; }
    BoxScope(const BoxScope&) = delete;
    BoxScope& operator=(const BoxScope&) = delete;

private:
    BoxInProgress box_;
};

}  // namespace

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                        std::uint32_t helpContext)
{
    const DialogKind kind = KindOf(type);
    const std::wstring wide = WideText(text);
    const std::wstring caption = WideText(Text(kind.caption));
    MSGBOXPARAMSW params{};
    params.cbSize = sizeof params;
    params.hwndOwner = GetActiveWindow();
    params.lpszText = wide.c_str();
    params.lpszCaption = caption.c_str();
    // Task-modal: with no active window of ours, every window of the thread
    // is disabled while the box is up.
    params.dwStyle = ButtonStyleOf(buttons) | kind.icon | MB_TASKMODAL;
    params.dwContextHelpId = helpContext;
    params.dwLanguageId = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

    // Without the hook the box still shows, only not centred on the screen.
    HookHandle hook(SetWindowsHookExW(WH_CBT, WatchBoxProc, nullptr, GetCurrentThreadId()));
    BoxScope scope(hook.Get());
    return MessageBoxIndirectW(&params);
}

}  // namespace lumora

#include "framework/MessageDialog.h"

#include <windows.h>

#include <cstring>

#include "base/Error.h"
#include "framework/Handles.h"

namespace lumora {

namespace {

struct DialogKind {
    const char* caption;
    UINT icon;
};

DialogKind KindOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return {"Warning", MB_ICONWARNING};
    case mtError: return {"Error", MB_ICONERROR};
    case mtInformation: return {"Information", MB_ICONINFORMATION};
    case mtConfirmation: return {"Confirm", MB_ICONQUESTION};
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

// The box this thread is showing. A CBT hook procedure has no parameter of
// its own, so it finds its box here; boxes shown from inside a box's modal
// loop stack up through `outer`.
struct BoxInProgress {
    HHOOK hook = nullptr;
    bool placed = false;
    BoxInProgress* outer = nullptr;
};

thread_local BoxInProgress* t_box = nullptr;

bool IsDialogOfThisThread(HWND window)
{
    char name[16] = {};
    if (!GetClassNameA(window, name, sizeof name))
        return false;
    return std::strcmp(name, "#32770") == 0 && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The button texts are fixed, whatever language the system speaks.
void SetButtonTexts(HWND box)
{
    static const struct {
        int id;
        const char* text;
    } kTexts[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDYES, "&Yes"}, {IDNO, "&No"}};
    for (const auto& button : kTexts) {
        if (HWND control = GetDlgItem(box, button.id))
            SetWindowTextA(control, button.text);
    }
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

// The box is complete when it is first activated: its texts are set and it
// is moved before it is drawn.
LRESULT CALLBACK PlaceBoxProc(int code, WPARAM wParam, LPARAM lParam)
{
    BoxInProgress* box = t_box;
    if (code == HCBT_ACTIVATE && box && !box->placed) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogOfThisThread(window)) {
            box->placed = true;
            SetButtonTexts(window);
            CentreOnScreen(window);
        }
    }
    return CallNextHookEx(box ? box->hook : nullptr, code, wParam, lParam);
}

class BoxScope {
public:
    explicit BoxScope(HHOOK hook)
    {
        box_.hook = hook;
        box_.outer = t_box;
        t_box = &box_;
    }
    ~BoxScope() { t_box = box_.outer; }
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
    MSGBOXPARAMSA params{};
    params.cbSize = sizeof params;
    params.hwndOwner = GetActiveWindow();
    params.lpszText = text.c_str();
    params.lpszCaption = kind.caption;
    // Task-modal: with no active window of ours, every window of the thread
    // is disabled while the box is up.
    params.dwStyle = ButtonStyleOf(buttons) | kind.icon | MB_TASKMODAL;
    params.dwContextHelpId = helpContext;
    params.dwLanguageId = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

    // Without the hook the box still shows, only not centred on the screen.
    HookHandle hook(SetWindowsHookExA(WH_CBT, PlaceBoxProc, nullptr, GetCurrentThreadId()));
    BoxScope scope(hook.Get());
    return MessageBoxIndirectA(&params);
}

}  // namespace lumora

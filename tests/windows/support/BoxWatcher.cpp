#include "support/BoxWatcher.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace lumora::test {

namespace {

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND CurrentBox()
{
    HWND box = nullptr;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM viewParam)
{
    BoxView& view = *reinterpret_cast<BoxView*>(viewParam);
    const std::string cls = ClassOf(child);
    if (_stricmp(cls.c_str(), "Button") == 0) {
        view.buttons.push_back(TextOf(child));
    } else if (_stricmp(cls.c_str(), "Static") == 0) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            view.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        else if (view.text.empty())
            view.text = TextOf(child);
    }
    return TRUE;
}

bool Centred(HWND box)
{
    RECT r{};
    GetWindowRect(box, &r);
    const POINT c = CentreOf(r);
    const POINT s = ScreenCentre();
    return std::abs(c.x - s.x) <= 1 && std::abs(c.y - s.y) <= 1;
}

template <class Condition>
bool WaitFor(Condition condition, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

}  // namespace

POINT ScreenCentre() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

BoxWatcher::BoxWatcher(int answer) : answer_(answer), thread_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher()
{
    if (thread_.joinable())
        thread_.join();
}

const BoxView& BoxWatcher::Result()
{
    if (thread_.joinable())
        thread_.join();
    return view_;
}

void BoxWatcher::Watch()
{
    HWND box = nullptr;
    if (!WaitFor([&box] { return (box = CurrentBox()) != nullptr; }, std::chrono::seconds(60)))
        return;
    // The box is placed as it is first activated; a box that is never
    // centred is read where it stands after the limit.
    WaitFor([box] { return Centred(box); }, std::chrono::seconds(10));
    view_.found = true;
    view_.caption = TextOf(box);
    GetWindowRect(box, &view_.bounds);
    view_.helpContext = GetWindowContextHelpId(box);
    EnumChildWindows(box, ReadChild, reinterpret_cast<LPARAM>(&view_));
    if (answer_ == kEscapeKey) {
        // Into the box's modal loop, where the dialog manager reads it.
        PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(box, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        return;
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer_)));
}

}  // namespace lumora::test

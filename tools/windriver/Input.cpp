#include "Input.h"

#include <windows.h>

#include <cwctype>
#include <vector>

#include "Failure.h"

namespace windriver {

namespace {

const DWORD kActivateTimeoutMs = 3000;

POINT screenPoint(HWND window, const std::wstring& x, const std::wstring& y)
{
    POINT point{static_cast<LONG>(parseValue(x)), static_cast<LONG>(parseValue(y))};
    if (!ClientToScreen(window, &point))
        throw systemFailure("ClientToScreen");
    return point;
}

void sendInputs(std::vector<INPUT>& inputs)
{
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        throw systemFailure("SendInput");
}

INPUT mouseInput(DWORD flags, POINT at)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Absolute positions are in 1/65536 of the primary screen.
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = MulDiv(at.x, 65536, width) + 1;
        input.mi.dy = MulDiv(at.y, 65536, height) + 1;
    }
    return input;
}

// A button event that carries its own position: a pointer position that
// the system updates late (from the X server) cannot move the press.
INPUT pressAt(DWORD button, POINT at)
{
    return mouseInput(button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
}

// Moves the pointer to `at` and waits until the system reports it there.
void movePointer(POINT at)
{
    std::vector<INPUT> inputs{mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at)};
    sendInputs(inputs);
    const DWORD start = GetTickCount();
    POINT now{};
    while (GetCursorPos(&now) && (now.x != at.x || now.y != at.y)) {
        if (GetTickCount() - start > 2000)
            throw Failure("the pointer did not reach the point");
        SetCursorPos(at.x, at.y);
        Sleep(20);
    }
}

void writeTarget(JsonWriter& out, POINT at)
{
    out.beginObject();
    out.key("x");
    out.value(int64_t{at.x});
    out.key("y");
    out.value(int64_t{at.y});
    out.key("under");  // the window the system sees at that point
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(WindowFromPoint(at))));
    out.endObject();
}

struct KeyName {
    const wchar_t* name;
    WORD vk;
};

const KeyName kKeys[] = {
    {L"alt", VK_MENU},        {L"ctrl", VK_CONTROL},  {L"control", VK_CONTROL}, {L"shift", VK_SHIFT},
    {L"return", VK_RETURN},   {L"enter", VK_RETURN},  {L"escape", VK_ESCAPE},   {L"esc", VK_ESCAPE},
    {L"tab", VK_TAB},         {L"space", VK_SPACE},   {L"backspace", VK_BACK},  {L"delete", VK_DELETE},
    {L"left", VK_LEFT},       {L"right", VK_RIGHT},   {L"up", VK_UP},           {L"down", VK_DOWN},
    {L"home", VK_HOME},       {L"end", VK_END},
};

WORD virtualKey(const std::wstring& name)
{
    for (const KeyName& key : kKeys) {
        if (_wcsicmp(key.name, name.c_str()) == 0)
            return key.vk;
    }
    if (name.size() == 1 && std::iswalnum(name[0]))
        return static_cast<WORD>(std::towupper(name[0]));
    if (name.size() >= 2 && (name[0] == L'F' || name[0] == L'f')) {
        const int number = _wtoi(name.c_str() + 1);
        if (number >= 1 && number <= 24)
            return static_cast<WORD>(VK_F1 + number - 1);
    }
    throw UsageError("unknown key: " + narrow(name));
}

INPUT keyInput(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, 0 /* MAPVK_VK_TO_VSC */));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_DELETE:
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    return input;
}

}  // namespace

void activate(const Args& args, JsonWriter& out)
{
    expectCount(args, 1, 1, "activate HWND");
    const HWND window = parseWindow(args[0]);
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != window) {
        if (GetTickCount() - start > kActivateTimeoutMs)
            throw Failure("the window did not become the foreground window");
        SetForegroundWindow(window);
        Sleep(50);
    }
    out.beginObject();
    out.key("foreground");
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(GetForegroundWindow())));
    out.endObject();
}

void click(const Args& args, JsonWriter& out)
{
    expectCount(args, 3, 3, "click HWND X Y");
    const POINT at = screenPoint(parseWindow(args[0]), args[1], args[2]);
    movePointer(at);
    std::vector<INPUT> inputs{pressAt(MOUSEEVENTF_LEFTDOWN, at), pressAt(MOUSEEVENTF_LEFTUP, at)};
    sendInputs(inputs);
    writeTarget(out, at);
}

void mouse(const Args& args, JsonWriter& out)
{
    expectCount(args, 4, 4, "mouse move|down|up HWND X Y");
    const std::wstring& action = args[0];
    const POINT at = screenPoint(parseWindow(args[1]), args[2], args[3]);
    DWORD button = 0;
    if (action == L"down")
        button = MOUSEEVENTF_LEFTDOWN;
    else if (action == L"up")
        button = MOUSEEVENTF_LEFTUP;
    else if (action != L"move")
        throw UsageError("mouse action must be move, down or up");
    movePointer(at);
    if (button) {
        std::vector<INPUT> inputs{pressAt(button, at)};
        sendInputs(inputs);
    }
    writeTarget(out, at);
}

void key(const Args& args, JsonWriter& out)
{
    expectCount(args, 1, 1, "key COMBO");
    std::vector<WORD> keys;
    const std::wstring& combo = args[0];
    size_t begin = 0;
    while (begin <= combo.size()) {
        size_t end = combo.find(L'+', begin);
        if (end == std::wstring::npos)
            end = combo.size();
        keys.push_back(virtualKey(combo.substr(begin, end - begin)));
        begin = end + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD vk : keys)
        inputs.push_back(keyInput(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        inputs.push_back(keyInput(*it, true));
    sendInputs(inputs);
    out.beginObject();
    out.key("foreground");
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(GetForegroundWindow())));
    out.endObject();
}

void screen(const Args& args, JsonWriter& out)
{
    expectCount(args, 0, 0, "screen");
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    out.beginObject();
    out.key("width");
    out.value(int64_t{GetSystemMetrics(SM_CXSCREEN)});
    out.key("height");
    out.value(int64_t{GetSystemMetrics(SM_CYSCREEN)});
    out.key("workarea");
    out.beginArray();
    out.value(int64_t{work.left});
    out.value(int64_t{work.top});
    out.value(int64_t{work.right});
    out.value(int64_t{work.bottom});
    out.endArray();
    out.endObject();
}

void codePage(const Args& args, JsonWriter& out)
{
    expectCount(args, 0, 0, "code-page");
    out.beginObject();
    out.key("ansi");
    out.value(int64_t{GetACP()});
    out.key("oem");
    out.value(int64_t{GetOEMCP()});
    out.endObject();
}

}  // namespace windriver

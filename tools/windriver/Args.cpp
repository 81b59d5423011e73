#include "Args.h"

#include <cwchar>

#include "Failure.h"

namespace windriver {

namespace {

struct Name {
    const wchar_t* name;
    int64_t value;
};

const Name kNames[] = {
    {L"WM_NULL", WM_NULL},
    {L"WM_CLOSE", WM_CLOSE},
    {L"WM_QUIT", WM_QUIT},
    {L"WM_KEYDOWN", WM_KEYDOWN},
    {L"WM_KEYUP", WM_KEYUP},
    {L"WM_CHAR", WM_CHAR},
    {L"WM_SYSKEYDOWN", WM_SYSKEYDOWN},
    {L"WM_SYSKEYUP", WM_SYSKEYUP},
    {L"WM_SYSCHAR", WM_SYSCHAR},
    {L"WM_COMMAND", WM_COMMAND},
    {L"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {L"WM_MOUSEMOVE", WM_MOUSEMOVE},
    {L"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {L"WM_LBUTTONUP", WM_LBUTTONUP},
    {L"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK},
    {L"WM_RBUTTONDOWN", WM_RBUTTONDOWN},
    {L"WM_RBUTTONUP", WM_RBUTTONUP},
    {L"WM_CANCELMODE", WM_CANCELMODE},
    {L"WM_ACTIVATEAPP", WM_ACTIVATEAPP},
    {L"WM_PAINT", WM_PAINT},
    {L"BM_CLICK", BM_CLICK},
    {L"SC_CLOSE", SC_CLOSE},
    {L"MK_LBUTTON", MK_LBUTTON},
    {L"VK_F4", VK_F4},
    {L"VK_MENU", VK_MENU},
    {L"VK_RETURN", VK_RETURN},
    {L"VK_ESCAPE", VK_ESCAPE},
};

}  // namespace

int64_t parseValue(const std::wstring& text)
{
    for (const Name& name : kNames) {
        if (_wcsicmp(name.name, text.c_str()) == 0)
            return name.value;
    }
    const size_t comma = text.find(L',');
    if (comma != std::wstring::npos) {
        const int64_t x = parseValue(text.substr(0, comma));
        const int64_t y = parseValue(text.substr(comma + 1));
        return static_cast<int64_t>(static_cast<uint32_t>(MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y))));
    }
    if (text.empty())
        throw UsageError("empty number");
    wchar_t* end = nullptr;
    const bool negative = text[0] == L'-';
    const unsigned long long magnitude = wcstoull(text.c_str() + (negative ? 1 : 0), &end, 0);
    if (end == nullptr || *end != L'\0' || (negative && text.size() == 1))
        throw UsageError("not a number or known name: " + narrow(text));
    return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

HWND parseWindow(const std::wstring& text)
{
    const HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(parseValue(text)));
    if (!IsWindow(window))
        throw Failure("no such window: " + narrow(text));
    return window;
}

std::string narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += (c > 0 && c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

void expectCount(const Args& args, size_t least, size_t most, const char* usage)
{
    if (args.size() < least || args.size() > most)
        throw UsageError(std::string("usage: windriver ") + usage);
}

}  // namespace windriver

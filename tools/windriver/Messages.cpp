#include "Messages.h"

#include <windows.h>

#include "Failure.h"
#include "WindowTree.h"

namespace windriver {

namespace {

const UINT kSendTimeoutMs = 5000;

struct ButtonSearch {
    std::wstring text;
    HWND found = nullptr;
    int matches = 0;
};

BOOL CALLBACK matchButton(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ButtonSearch*>(param);
    wchar_t cls[64];
    const int length = GetClassNameW(window, cls, static_cast<int>(sizeof cls / sizeof cls[0]));
    if (length > 0 && _wcsicmp(cls, L"Button") == 0 && windowText(window) == search->text) {
        ++search->matches;
        search->found = window;
    }
    return TRUE;
}

struct MessageArgs {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

MessageArgs messageArgs(const Args& args, const char* usage)
{
    expectCount(args, 4, 4, usage);
    return {parseWindow(args[0]), static_cast<UINT>(parseValue(args[1])),
            static_cast<WPARAM>(parseValue(args[2])), static_cast<LPARAM>(parseValue(args[3]))};
}

}  // namespace

void clickButton(const Args& args, JsonWriter& out)
{
    expectCount(args, 2, 2, "click-button HWND TEXT");
    const HWND parent = parseWindow(args[0]);
    ButtonSearch search;
    search.text = args[1];
    EnumChildWindows(parent, matchButton, reinterpret_cast<LPARAM>(&search));
    if (search.matches == 0)
        throw Failure("no button with the text \"" + narrow(args[1]) + "\"");
    if (search.matches > 1)
        throw Failure("more than one button with the text \"" + narrow(args[1]) + "\"");
    if (!IsWindowVisible(search.found) || !IsWindowEnabled(search.found))
        throw Failure("the button \"" + narrow(args[1]) + "\" is hidden or disabled");
    if (!PostMessageW(search.found, BM_CLICK, 0, 0))
        throw systemFailure("PostMessage(BM_CLICK)");
    out.beginObject();
    out.key("button");
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(search.found)));
    out.endObject();
}

void postMessage(const Args& args, JsonWriter& out)
{
    const MessageArgs m = messageArgs(args, "post HWND MSG WPARAM LPARAM");
    if (!PostMessageW(m.window, m.message, m.wparam, m.lparam))
        throw systemFailure("PostMessage");
    out.beginObject();
    out.key("posted");
    out.value(true);
    out.endObject();
}

void sendMessage(const Args& args, JsonWriter& out)
{
    const MessageArgs m = messageArgs(args, "send HWND MSG WPARAM LPARAM");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(m.window, m.message, m.wparam, m.lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        throw systemFailure("SendMessageTimeout");
    out.beginObject();
    out.key("result");
    out.value(static_cast<int64_t>(static_cast<intptr_t>(result)));
    out.endObject();
}

}  // namespace windriver

#include "WindowTree.h"

#include <windows.h>

#include <vector>

#include "IconMatch.h"

namespace windriver {

namespace {

const UINT kAnswerTimeoutMs = 2000;
const int kMaxDepth = 64;
const LRESULT kMaxTextLength = 1 << 20;

void writeRect(JsonWriter& out, const char* name, const RECT& rect)
{
    out.key(name);
    out.beginArray();
    out.value(int64_t{rect.left});
    out.value(int64_t{rect.top});
    out.value(int64_t{rect.right});
    out.value(int64_t{rect.bottom});
    out.endArray();
}

int64_t handleValue(HWND window)
{
    return static_cast<int64_t>(reinterpret_cast<uintptr_t>(window));
}

std::wstring className(HWND window)
{
    wchar_t name[257];
    const int length = GetClassNameW(window, name, static_cast<int>(sizeof name / sizeof name[0]));
    return std::wstring(name, length > 0 ? length : 0);
}

bool isIconStatic(HWND window, const std::wstring& cls)
{
    if (_wcsicmp(cls.c_str(), L"Static") != 0)
        return false;
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    return (style & SS_TYPEMASK) == SS_ICON;
}

void writeWindow(JsonWriter& out, HWND window, int depth)
{
    const std::wstring cls = className(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(window, &pid);
    HWND parent = GetAncestor(window, GA_PARENT);
    if (parent == GetDesktopWindow())
        parent = nullptr;

    out.beginObject();
    out.key("hwnd");
    out.value(handleValue(window));
    out.key("class");
    out.value(cls);
    out.key("text");
    out.value(windowText(window));
    out.key("visible");
    out.value(IsWindowVisible(window) != FALSE);
    out.key("enabled");
    out.value(IsWindowEnabled(window) != FALSE);
    out.key("iconic");
    out.value(IsIconic(window) != FALSE);
    out.key("zoomed");
    out.value(IsZoomed(window) != FALSE);
    writeRect(out, "rect", rect);
    writeRect(out, "client", client);
    out.key("style");
    out.value(int64_t{static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE))});
    out.key("exstyle");
    out.value(int64_t{static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE))});
    out.key("pid");
    out.value(int64_t{pid});
    out.key("tid");
    out.value(int64_t{tid});
    out.key("id");
    out.value(int64_t{GetWindowLongW(window, GWL_ID)});
    out.key("parent");
    out.value(handleValue(parent));
    out.key("owner");
    out.value(handleValue(GetWindow(window, GW_OWNER)));
    if (isIconStatic(window, cls)) {
        out.key("icon");
        out.value(identifySystemIcon(window));
    }
    out.key("children");
    out.beginArray();
    if (depth < kMaxDepth) {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            writeWindow(out, child, depth + 1);
    }
    out.endArray();
    out.endObject();
}

BOOL CALLBACK collectTopLevel(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring windowText(HWND window)
{
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                            &length)) {
        if (static_cast<LRESULT>(length) > kMaxTextLength)
            length = kMaxTextLength;
        std::vector<wchar_t> text(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                                SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied)) {
            return std::wstring(text.data(), copied < text.size() ? copied : text.size() - 1);
        }
    }
    wchar_t caption[1024];
    const int stored = InternalGetWindowText(window, caption, static_cast<int>(sizeof caption / sizeof caption[0]));
    return std::wstring(caption, stored > 0 ? stored : 0);
}

void listWindows(const Args& args, JsonWriter& out)
{
    expectCount(args, 0, 1, "windows [HWND]");
    std::vector<HWND> roots;
    if (args.empty())
        EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&roots));
    else
        roots.push_back(parseWindow(args[0]));

    out.beginObject();
    out.key("foreground");
    out.value(handleValue(GetForegroundWindow()));
    out.key("windows");
    out.beginArray();
    for (HWND window : roots) {
        if (IsWindow(window))
            writeWindow(out, window, 0);
    }
    out.endArray();
    out.endObject();
}

}  // namespace windriver

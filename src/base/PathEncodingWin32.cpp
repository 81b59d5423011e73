// On Win32, path text is UTF-8; conversions go through UTF-16 with the
// system's code-page functions.
#include <windows.h>

#include <limits>

#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora {

namespace {

int Length(std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw Error("A path of " + std::to_string(size) + " characters is too long");
    return static_cast<int>(size);
}

std::wstring Widen(std::string_view text, UINT codePage, const char* what)
{
    if (text.empty())
        return {};
    const int count = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), Length(text.size()), nullptr, 0);
    if (count <= 0)
        throw Error(std::string(what) + " \"" + AnsiFromPath(text) + "\" cannot be used as a path");
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), Length(text.size()), wide.data(), count);
    return wide;
}

std::string Narrow(std::wstring_view wide, UINT codePage, DWORD flags)
{
    if (wide.empty())
        return {};
    const int count = WideCharToMultiByte(codePage, flags, wide.data(), Length(wide.size()), nullptr, 0, nullptr, nullptr);
    if (count <= 0)
        throw Error("A path cannot be converted (error " + std::to_string(GetLastError()) + ")");
    std::string text(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), Length(wide.size()), text.data(), count, nullptr, nullptr);
    return text;
}

}  // namespace

std::string PathFromAnsi(std::string_view ansi) { return PathFromWide(Widen(ansi, CP_ACP, "The name")); }

std::string AnsiFromPath(std::string_view path)
{
    // Text that is no UTF-8 is shown as it is rather than not at all.
    const int count = path.empty() ? 0
                                   : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                                         Length(path.size()), nullptr, 0);
    if (count <= 0)
        return std::string(path);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), Length(path.size()), wide.data(), count);
    return Narrow(wide, CP_ACP, 0);
}

std::wstring WidePath(std::string_view path) { return Widen(path, CP_UTF8, "The path"); }

std::string PathFromWide(std::wstring_view wide) { return Narrow(wide, CP_UTF8, 0); }

}  // namespace lumora

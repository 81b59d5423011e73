// On Win32, text is UTF-8; conversions go through UTF-16 with the system's
// code-page functions.
#include <windows.h>

#include <cwchar>
#include <limits>

#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora {

namespace {

// The code page of the author's bytes, and of those of them that are 8-bit.
UINT authorCodePage = CP_ACP;
UINT eightBitCodePage = CP_ACP;

int Length(std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw Error("A path of " + std::to_string(size) + " characters is too long");
    return static_cast<int>(size);
}

// `flags` MB_ERR_INVALID_CHARS: text that is not valid in the code page
// throws; 0: it is converted as the system's ANSI functions convert it, to
// its best fit (in UTF-8, U+FFFD for an invalid sequence), never failing.
std::wstring Widen(std::string_view text, UINT codePage, DWORD flags)
{
    if (text.empty())
        return {};
    const int count = MultiByteToWideChar(codePage, flags, text.data(), Length(text.size()), nullptr, 0);
    if (count <= 0)
        throw Error("The path \"" + std::string(text) + "\" cannot be used as a path");
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), Length(text.size()), wide.data(), count);
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

void SetAuthorEncoding(AuthorEncoding encoding)
{
    authorCodePage = encoding == AuthorEncoding::Utf8 ? CP_UTF8 : eightBitCodePage;
}

AuthorEncoding CurrentAuthorEncoding()
{
    return authorCodePage == CP_UTF8 ? AuthorEncoding::Utf8 : AuthorEncoding::SystemCodePage;
}

bool AuthorTextIsSystemAnsi() { return authorCodePage == CP_ACP || authorCodePage == GetACP(); }

void SetAuthorCodePage(unsigned codePage) { authorCodePage = codePage; }

bool SetRecordedCodePage(unsigned codePage)
{
    if (!IsValidCodePage(codePage))
        return false;
    if (authorCodePage == eightBitCodePage)
        authorCodePage = codePage;
    eightBitCodePage = codePage;
    return true;
}

std::string AuthorText(std::string_view bytes) { return TextFromWide(Widen(bytes, authorCodePage, 0)); }

std::wstring WideText(std::string_view text) { return Widen(text, CP_UTF8, 0); }

std::string TextFromWide(std::wstring_view wide) { return Narrow(wide, CP_UTF8, 0); }

std::string AnsiFromPath(std::string_view path)
{
    // Text that is no UTF-8 is written as it is rather than not at all.
    const int count = path.empty() ? 0
                                   : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                                         Length(path.size()), nullptr, 0);
    if (count <= 0)
        return std::string(path);
    return Narrow(Widen(path, CP_UTF8, 0), CP_ACP, 0);
}

// The W functions take a full path of MAX_PATH characters or more whole
// only in its long form, "\\?\C:\..." or "\\?\UNC\server\share\...",
// which they pass on unexpanded: the path is expanded first, as the system
// expands a shorter one.
std::wstring WidePath(std::string_view path)
{
    std::wstring wide = Widen(path, CP_UTF8, MB_ERR_INVALID_CHARS);
    const bool drive = wide.size() >= 3 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/');
    const bool share = wide.size() >= 3 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'?' && wide[2] != L'.';
    if (wide.size() < MAX_PATH || !(drive || share))
        return wide;
    // The expanded path goes behind the prefix; a share's first backslash
    // becomes the "C" of "UNC".
    const std::size_t at = drive ? 4 : 6;
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(at + size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[at], nullptr);
    if (length == 0 || length >= size)
        return wide;
    full.resize(at + length);
    std::wmemcpy(&full[0], L"\\\\?\\UNC", drive ? 4 : 7);
    return full;
}

// Path text never holds the long form: the system's paths come back as
// they are written.
std::string PathFromWide(std::wstring_view wide)
{
    if (wide.size() >= 8 && std::wmemcmp(wide.data(), L"\\\\?\\UNC\\", 8) == 0) {
        std::string text = TextFromWide(wide.substr(6));
        text[0] = '\\';
        return text;
    }
    if (wide.size() >= 6 && std::wmemcmp(wide.data(), L"\\\\?\\", 4) == 0 && wide[5] == L':')
        return TextFromWide(wide.substr(4));
    return TextFromWide(wide);
}

}  // namespace lumora

#include "Text.h"

#include <windows.h>

namespace sample {

namespace {

std::wstring widen(const std::string& text, UINT codePage)
{
    if (text.empty())
        return std::wstring();
    const int count = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring result(static_cast<std::wstring::size_type>(count), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0], count);
    return result;
}

}  // namespace

std::wstring wide(const std::string& text) { return widen(text, CP_UTF8); }

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int count =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (count <= 0)
        return std::string();
    std::string result(static_cast<std::string::size_type>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], count, nullptr, nullptr);
    return result;
}

std::string utf8FromAnsi(const std::string& text) { return utf8(widen(text, CP_ACP)); }

}  // namespace sample

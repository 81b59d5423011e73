#include "framework/Win32Error.h"

#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora {

std::string SystemErrorText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || !text)
        return {};
    std::string result = TextFromWide(std::wstring_view(text, length));
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}

void RaiseWithSystemReason(const char* what, const std::string& name)
{
    // Read first: making the texts may change it.
    const DWORD code = GetLastError();
    const std::string reason = SystemErrorText(code);
    throw Error(what + name, reason.empty() ? "system error " + std::to_string(code) : reason);
}

void RaiseLastOSError(const std::string& what)
{
    const DWORD code = GetLastError();
    const std::string reason = SystemErrorText(code);
    if (reason.empty())
        throw Error(what + " (system error " + std::to_string(code) + ")");
    throw Error(what + ". " + reason);
}

}  // namespace lumora

#include "settings/CmnFunc2.h"

#include <knownfolders.h>
#include <shlobj.h>

#include "base/PathEncoding.h"
#include "framework/SystemLibrary.h"

namespace lumora {

namespace {

// Buffers start at the classic maximum path length and grow to what the call
// asks for, up to the longest Win32 path (32767 characters and the
// terminating zero). A call that asks for more, or keeps asking, has failed.
constexpr std::uint32_t kFirstSize = MAX_PATH;
constexpr std::uint32_t kLongestSize = 32768;
constexpr int kMaxAttempts = 4;

// Calls `call(buffer, size)` until the answer fits; empty when it fails.
template <class Call>
std::wstring AskWithGrowingBuffer(const Call& call)
{
    std::wstring buffer(kFirstSize, L'\0');
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const std::uint32_t count = call(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        if (count > kLongestSize)
            return {};
        if (TrimToResult(buffer, count))
            return buffer;
    }
    return {};
}

// The absolute form of `path`; the path itself if the system cannot expand it.
std::wstring FullPathOf(const std::wstring& path)
{
    const std::wstring full = AskWithGrowingBuffer([&path](wchar_t* buffer, std::uint32_t size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
    return full.empty() ? path : full;
}

// The known folder `id` as path text, whether it exists or not; empty when
// the system has no such folder. The answer's memory goes back to COM's
// allocator, whose library is loaded only here: imported, it would be
// loaded, with what it brings, before every first window.
std::string KnownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    const bool known = SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path));
    const std::string folder = known ? PathFromWide(path) : std::string();
    if (const auto taskMemFree =
            LookupFunction<decltype(&CoTaskMemFree)>(LoadSystemLibrary("ole32.dll"), "CoTaskMemFree"))
        taskMemFree(path);
    return folder;
}

}  // namespace

std::string GetFolderFrom(const FolderCall& call)
{
    return PathFromWide(
        AskWithGrowingBuffer([&call](wchar_t* buffer, std::uint32_t size) { return call(buffer, size); }));
}

std::string GetTempFolderFrom(const TempPathCall& call)
{
    const std::wstring temp =
        AskWithGrowingBuffer([&call](wchar_t* buffer, std::uint32_t size) { return call(size, buffer); });
    return EnsureBackslash(PathFromWide(FullPathOf(temp.empty() ? L"." : temp)));
}

std::string GetWindowsFolder() { return GetFolderFrom(GetWindowsDirectoryW); }

std::string GetSystemFolder() { return GetFolderFrom(GetSystemDirectoryW); }

std::string GetTempFolder() { return GetTempFolderFrom(GetTempPathW); }

std::string GetUserProgramsFolder()
{
    const std::string programs = KnownFolder(FOLDERID_UserProgramFiles);
    if (!programs.empty())
        return programs;
    const std::string local = KnownFolder(FOLDERID_LocalAppData);
    return local.empty() ? local : local + "\\Programs";
}

bool IsWindowsNT()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace lumora

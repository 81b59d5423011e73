#include "settings/CmnFunc2.h"

#include "base/PathEncoding.h"

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

bool IsWindowsNT()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace lumora

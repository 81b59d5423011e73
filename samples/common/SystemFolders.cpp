#include "SystemFolders.h"

#include <windows.h>

#include "Text.h"

namespace sample {

namespace {

// Calls `get(buffer, size)`, which returns the length written or the size
// needed (as GetWindowsDirectoryW and GetTempPathW do), until the text fits.
template <typename Get>
std::string readSystemText(Get get)
{
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = get(&text[0], static_cast<DWORD>(text.size()));
        if (length == 0)
            return std::string();
        if (length < text.size()) {
            text.resize(length);
            return utf8(text);
        }
        text.assign(length + 1, L'\0');
    }
    return std::string();
}

}  // namespace

std::string moduleFileName()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        // A name that filled the buffer may have been cut short.
        if (length < path.size()) {
            path.resize(length);
            return utf8(path);
        }
        if (path.size() >= 32768)
            return std::string();
        path.assign(path.size() * 2, L'\0');
    }
}

std::string windowsFolder()
{
    std::string folder = readSystemText([](wchar_t* buffer, DWORD size) {
        return GetWindowsDirectoryW(buffer, size);
    });
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

std::string tempFolder()
{
    std::string folder = readSystemText([](wchar_t* buffer, DWORD size) {
        return GetTempPathW(size, buffer);
    });
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string folderOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

}  // namespace sample

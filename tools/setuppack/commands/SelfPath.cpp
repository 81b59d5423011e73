#include "SelfPath.h"

#include <cstdlib>
#ifdef _WIN32
#include <windows.h>

#include "base/PathEncoding.h"
#else
#include <unistd.h>

#include <vector>
#endif

namespace setuppack {

namespace {

#ifdef _WIN32
// The module's full path as the system reports it, as path text.
std::string OwnPath()
{
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    return lumora::PathFromWide(path);
}
#else
std::string OwnPath()
{
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size())
        return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}
#endif

}  // namespace

std::string OwnFolder()
{
    const std::string path = OwnPath();
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace setuppack

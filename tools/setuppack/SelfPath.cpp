#include "SelfPath.h"

#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>

#include <vector>
#endif

namespace setuppack {

namespace {

#ifdef _WIN32
// The C runtime keeps the module's full path, as the system reports it.
std::string OwnPath()
{
    const char* path = _pgmptr;
    return path ? std::string(path) : std::string();
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

#include "RestoreTarget.h"

#include <filesystem>
#include <system_error>

#include "input/Arguments.h"
#include "input/NativePath.h"
#include "base/Error.h"
#include "base/PathEncoding.h"

namespace setuppack {

namespace {

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

}  // namespace

void CheckComponentPath(const std::string& path, const char* what)
{
#ifdef _WIN32
    (void)path;
    (void)what;
#else
    if (path.find('\\') != std::string::npos)
        throw UsageError(std::string(what) + " " + path +
                         " holds a \"\\\", which the restore takes for a folder separator");
#endif
}

std::string PrepareRestoreFolder(const std::string& dir)
{
    if (dir.empty())
        throw UsageError("the folder to restore into is empty");
    CheckComponentPath(dir, "the folder");
    std::error_code ec;
    std::filesystem::create_directories(NativePath(dir), ec);
    if (!std::filesystem::is_directory(NativePath(dir)))
        throw lumora::Error("cannot create the folder " + dir +
                            (ec ? ": " + ec.message() : std::string(": a file of that name exists")));
    std::string folder = dir;
    while (!folder.empty() && IsSeparator(folder.back()))
        folder.pop_back();
    return folder + '\\';
}

}  // namespace setuppack

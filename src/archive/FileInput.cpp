#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#ifndef _WIN32
#include <filesystem>
#endif

#include "archive/ArchiveInput.h"
#include "archive/DosDateTime.h"
#include "archive/StoredName.h"
#include "base/Error.h"
#include "base/PathEncoding.h"
#include "base/PathText.h"
#include "base/StdioFileStream.h"

namespace lumora::archive {

namespace {

struct FileFacts {
    std::int64_t size = 0;
    std::time_t lastWrite = 0;
};

#ifdef _WIN32
std::string FullPath(const std::string& path)
{
    // _wfullpath allocates the result, which the caller frees.
    wchar_t* full = _wfullpath(nullptr, WidePath(path).c_str(), 0);
    if (!full)
        throw Error("Cannot find the full path of " + path);
    std::string result = PathFromWide(full);
    std::free(full);
    return result;
}

FileFacts StatFile(const std::string& path)
{
    struct _stat64 st {};
    if (_wstat64(WidePath(path).c_str(), &st) != 0)
        throw Error("Cannot read file " + path + ": " + std::strerror(errno));
    if ((st.st_mode & _S_IFMT) != _S_IFREG)
        throw Error("Not a regular file: " + path);
    return {static_cast<std::int64_t>(st.st_size), static_cast<std::time_t>(st.st_mtime)};
}
#else
std::string FullPath(const std::string& path)
{
    return std::filesystem::absolute(path).lexically_normal().string();
}

FileFacts StatFile(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        throw Error("Cannot read file " + path + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        throw Error("Not a regular file: " + path);
    return {static_cast<std::int64_t>(st.st_size), st.st_mtime};
}
#endif

}  // namespace

ArchiveInput FileInput(const std::string& path)
{
    const FileFacts facts = StatFile(path);
    ArchiveInput input;
    // Stored names are 8-bit ANSI text. Folders whose letters the code page
    // lacks are only shown lossily there (the installer keeps the file name
    // alone); the file name itself must come through whole.
    const std::string full = FullPath(path);
    const std::string stored = AnsiFromPath(full);
    if (PathFromAnsi(FileNamePart(stored)) != FileNamePart(full))
        throw Error("The name of " + path + " has letters that the ANSI code page cannot spell; the installer "
                    "could not restore it under its name");
    input.storedName = StoredNameFromFullPath(stored);
    input.stamp = DosStampFromTime(facts.lastWrite);
    input.size = facts.size;
    input.open = [path] {
        return std::make_unique<StdioFileStream>(path, StdioFileStream::Mode::Read);
    };
    return input;
}

}  // namespace lumora::archive

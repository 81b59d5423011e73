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

std::string SystemAnsiName(std::string_view name)
{
    std::string ansi = AnsiFromPath(name);
    if (PathFromAnsi(ansi) != name)
        throw Error("it has letters that the ANSI code page cannot spell");
    return ansi;
}

ArchiveInput FileInput(const std::string& path, const AnsiName& ansiName)
{
    const FileFacts facts = StatFile(path);
    ArchiveInput input;
    // Lowered as path text, so that no byte of a letter of two bytes in the
    // code page is taken for an ASCII letter. The installer keeps the file
    // name alone: the folders are shown as well as the code page can.
    const std::string stored = StoredNameFromFullPath(FullPath(path));
    const std::string_view name = FileNamePart(stored);
    std::string ansi;
    try {
        ansi = ansiName(name);
    } catch (const Error& e) {
        throw Error("The name of " + path + " cannot be stored: " + e.what() +
                    "; the installer could not restore it under its name");
    }
    input.storedName = AnsiFromPath(std::string_view(stored).substr(0, stored.size() - name.size())) + ansi;
    input.stamp = DosStampFromTime(facts.lastWrite);
    input.size = facts.size;
    input.open = [path] {
        return std::make_unique<StdioFileStream>(path, StdioFileStream::Mode::Read);
    };
    return input;
}

}  // namespace lumora::archive

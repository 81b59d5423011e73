#include <sys/stat.h>

#include <cerrno>
#include <cstring>

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
    if (AuthorText(ansi) != name)
        throw Error("it has letters that the ANSI code page cannot spell");
    return ansi;
}

ArchiveInput FileInput(const std::string& path, const FileInputRules& rules)
{
    const FileFacts facts = StatFile(path);
    ArchiveInput input;
    // The name is lowered as path text, so that no byte of a letter of two
    // bytes in the code page is taken for an ASCII letter.
    const std::string name = StoredNameOf(FileNamePart(path));
    try {
        input.storedName = name.substr(0, name.size() - FileNamePart(name).size()) + rules.ansiName(FileNamePart(name));
    } catch (const Error& e) {
        throw Error("The name of " + path + " cannot be stored: " + e.what() +
                    "; the installer could not restore it under its name");
    }
    std::time_t when = facts.lastWrite;
    if (rules.sourceDateEpoch && when > *rules.sourceDateEpoch)
        when = *rules.sourceDateEpoch;
    input.stamp = DosStampFromTime(when, rules.sourceDateEpoch.has_value());
    input.size = facts.size;
    input.open = [path] {
        return std::make_unique<StdioFileStream>(path, StdioFileStream::Mode::Read);
    };
    return input;
}

}  // namespace lumora::archive

#include "archive/RestorePaths.h"

#include <vector>

#include "base/Error.h"
#include "base/PathText.h"

namespace lumora::archive {

namespace {

// Windows opens a device, not a file, for these names, also with an
// extension ("aux.txt") and in any case.
bool IsDeviceName(std::string_view name)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    std::string upper(stem);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$")
        return true;
    // COM1 to COM9 and LPT1 to LPT9, also with the superscript digits 1 to
    // 3, in the ANSI code page (one byte) or in UTF-8 path text (two).
    if (upper.size() < 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0))
        return false;
    const std::string_view digit = std::string_view(upper).substr(3);
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xB9" || digit == "\xB2" ||
           digit == "\xB3" || digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

// A name that Windows writes as a plain file of exactly that name: not "."
// or "..", no control character (a NUL would cut it short), none of the
// characters Windows refuses or reads as wildcards or a stream (":"), not a
// device, and not ending in a dot or a blank, which Windows drops.
bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return false;
    }
    return !IsDeviceName(name);
}

// Every folder and file name of a relative path is plain (so no "..").
bool IsPlainPath(std::string_view path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsPathSeparator(path[i])) {
            if (!IsPlainFileName(path.substr(start, i - start)))
                return false;
            start = i + 1;
        }
    }
    return true;
}

// A stored path used as it is: an optional drive ("c:"), an optional
// separator after it, then plain names.
bool IsPlainStoredPath(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':')
        path.remove_prefix(2);
    while (!path.empty() && IsPathSeparator(path.front()))
        path.remove_prefix(1);
    return IsPlainPath(path);
}

// A folder that exists without being made: the root of a drive ("C:") or,
// once its separator is dropped, the root of the file system ("").
bool IsRoot(std::string_view folder)
{
    return folder.empty() || (folder.size() == 2 && folder[1] == ':');
}

}  // namespace

TargetPath FormTargetPath(const std::string& folder, std::string_view storedName, bool fullPath)
{
    TargetPath target;
    target.given = folder.size();
    if (folder.empty()) {
        target.path = std::string(storedName);
        target.safe = IsPlainStoredPath(storedName);
        target.given = storedName.size() - FileNamePart(storedName).size();
    } else if (!fullPath) {
        const std::string_view name = FileNamePart(storedName);
        target.path = folder + std::string(name);
        target.safe = IsPlainFileName(name);
    } else {
        const std::string_view rest = storedName.size() > 3 ? storedName.substr(3) : std::string_view();
        target.path = folder + std::string(rest);
        target.safe = IsPlainPath(rest);
    }
    return target;
}

bool ForceFolders(FileSystem& fileSystem, std::string folder, std::size_t given)
{
    if (folder.empty())
        throw Error("Unable to create directory");
    // Walk up to the first folder that exists, then create downwards.
    std::vector<std::string> missing;
    for (;;) {
        while (!folder.empty() && IsPathSeparator(folder.back()))
            folder.pop_back();
        if (IsRoot(folder) || fileSystem.FolderExists(folder))
            break;
        missing.push_back(folder);
        // A relative name without a separator, or a drive-relative one
        // ("c:name"), lies in a current folder, which exists.
        const std::size_t last = folder.find_last_of("\\/:");
        if (last == std::string::npos || folder[last] == ':')
            break;
        folder.resize(last + 1);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (!fileSystem.MakeFolder(*it, given) && !fileSystem.FolderExists(*it))
            return false;
    return true;
}

}  // namespace lumora::archive

#include "archive/RestorePaths.h"

#include <algorithm>
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

// A folder that exists without being made: the root of a drive ("C:") or,
// once its separator is dropped, the root of the file system ("").
bool IsRoot(std::string_view folder)
{
    return folder.empty() || (folder.size() == 2 && folder[1] == ':');
}

}  // namespace

bool IsPlainName(std::string_view name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("<>:\"|?*\\/").find(c) != std::string_view::npos)
            return false;
    }
    return !IsDeviceName(name);
}

TargetPath FormTargetPath(const std::string& folder, std::string_view storedName, bool fullPath)
{
    TargetPath target;
    if (folder.empty()) {
        target.path = std::string(storedName);
        target.given = storedName.size() - FileNamePart(storedName).size();
        // A drive ("c:") and the separators of the root are the caller's.
        std::size_t root = storedName.size() >= 2 && storedName[1] == ':' ? 2 : 0;
        while (root < storedName.size() && IsPathSeparator(storedName[root]))
            ++root;
        target.judged = std::min(root, target.given);
    } else {
        const std::string_view rest =
            !fullPath ? FileNamePart(storedName) : storedName.size() > 3 ? storedName.substr(3) : std::string_view();
        target.path = folder + std::string(rest);
        target.given = target.judged = folder.size();
    }
    return target;
}

std::optional<WritableTarget> WritablePath(const std::string& path, std::size_t judged, std::size_t given)
{
    WritableTarget written{path.substr(0, judged), given};
    // Characters of the path read and written so far; what the system drops
    // before `given` moves it.
    std::size_t at = judged;
    const auto skipSeparators = [&] {
        const std::size_t from = at;
        while (at < path.size() && IsPathSeparator(path[at]))
            ++at;
        return at - from;
    };
    // A separator right after the caller's part doubles the one it ends in.
    std::size_t dropped = skipSeparators();
    while (at < path.size()) {
        if (given >= at)
            written.given = given - dropped;
        std::size_t end = at;
        while (end < path.size() && !IsPathSeparator(path[end]))
            ++end;
        // Judged as the system leaves it: a folder "..." becomes "..".
        std::string name = path.substr(at, end - at);
        if (end == path.size()) {
            while (!name.empty() && (name.back() == '.' || name.back() == ' '))
                name.pop_back();
        } else if (name.back() == '.') {
            name.pop_back();
        }
        if (!IsPlainName(name))
            return std::nullopt;
        written.path += name;
        if (end == path.size())
            return written;
        written.path += path[end];
        dropped += (end - at) - name.size();
        at = end + 1;
        dropped += skipSeparators();
    }
    // Nothing after the caller's part, or a last separator: no file name.
    return std::nullopt;
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

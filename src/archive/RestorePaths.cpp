#include "archive/RestorePaths.h"

#include <vector>

#include "base/Error.h"
#include "base/PathText.h"

namespace lumora::archive {

namespace {

bool IsSafeFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != "..";
}

bool HasParentComponent(std::string_view path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsPathSeparator(path[i])) {
            if (path.substr(start, i - start) == "..")
                return true;
            start = i + 1;
        }
    }
    return false;
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
    if (folder.empty()) {
        target.path = std::string(storedName);
        target.safe = IsSafeFileName(FileNamePart(storedName));
    } else if (!fullPath) {
        const std::string_view name = FileNamePart(storedName);
        target.path = folder + std::string(name);
        target.safe = IsSafeFileName(name);
    } else {
        const std::string_view rest = storedName.size() > 3 ? storedName.substr(3) : std::string_view();
        target.path = folder + std::string(rest);
        target.safe = IsSafeFileName(FileNamePart(rest)) && !HasParentComponent(rest);
    }
    return target;
}

bool ForceFolders(FileSystem& fileSystem, std::string folder)
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
        if (!fileSystem.MakeFolder(*it) && !fileSystem.FolderExists(*it))
            return false;
    return true;
}

}  // namespace lumora::archive

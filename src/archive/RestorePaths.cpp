#include "archive/RestorePaths.h"

#include <vector>

#include "base/Error.h"

namespace lumora::archive {

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsSafeBaseName(std::string_view base)
{
    return !base.empty() && base != "." && base != "..";
}

bool HasParentComponent(std::string_view path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (path.substr(start, i - start) == "..")
                return true;
            start = i + 1;
        }
    }
    return false;
}

// Everything up to and including the last separator or ":"; empty when
// there is none.
std::string_view UpToLastDelimiter(std::string_view path)
{
    const std::size_t last = path.find_last_of("\\/:");
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

}  // namespace

std::string WithTrailingBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string_view BaseName(std::string_view name)
{
    const std::size_t last = name.find_last_of("\\/:");
    return last == std::string_view::npos ? name : name.substr(last + 1);
}

TargetPath FormTargetPath(const std::string& folder, std::string_view storedName, bool fullPath)
{
    TargetPath target;
    if (folder.empty()) {
        target.path = std::string(storedName);
        target.safe = IsSafeBaseName(BaseName(storedName));
    } else if (!fullPath) {
        const std::string_view base = BaseName(storedName);
        target.path = folder + std::string(base);
        target.safe = IsSafeBaseName(base);
    } else {
        const std::string_view rest = storedName.size() > 3 ? storedName.substr(3) : std::string_view();
        target.path = folder + std::string(rest);
        target.safe = IsSafeBaseName(BaseName(rest)) && !HasParentComponent(rest);
    }
    return target;
}

std::string FolderPart(std::string_view file)
{
    std::string_view folder = UpToLastDelimiter(file);
    if (!folder.empty() && IsSeparator(folder.back())) {
        const bool keep = folder.size() >= 2 && (folder[folder.size() - 2] == ':' || IsSeparator(folder[folder.size() - 2]));
        if (!keep)
            folder.remove_suffix(1);
    }
    return std::string(folder);
}

std::string ChangeExtension(std::string_view name, std::string_view extension)
{
    const std::size_t last = name.find_last_of(".\\/:");
    if (last != std::string_view::npos && name[last] == '.')
        name = name.substr(0, last);
    return std::string(name) + std::string(extension);
}

bool ForceFolders(FileSystem& fileSystem, std::string folder)
{
    if (folder.empty())
        throw Error("Unable to create directory");
    // Walk up to the first folder that exists, then create downwards.
    std::vector<std::string> missing;
    for (;;) {
        if (!folder.empty() && IsSeparator(folder.back()))
            folder.pop_back();
        // Names this short are drive roots ("C:") or the root itself.
        if (folder.size() < 3 || fileSystem.FolderExists(folder))
            break;
        missing.push_back(folder);
        const std::string_view parent = UpToLastDelimiter(folder);
        if (parent.empty() || parent.back() == ':')
            break;
        folder = std::string(parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (!fileSystem.MakeFolder(*it) && !fileSystem.FolderExists(*it))
            return false;
    return true;
}

}  // namespace lumora::archive

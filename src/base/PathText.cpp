#include "base/PathText.h"

namespace lumora {

namespace {

constexpr std::string_view kDelimiters = "\\/:";

}  // namespace

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::string EnsureBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == '\\')
        return path;
    return path + '\\';
}

std::string_view FileNamePart(std::string_view path)
{
    const std::size_t last = path.find_last_of(kDelimiters);
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::size_t LastCharactersStart(std::string_view name, std::size_t count, bool utf8)
{
    std::size_t at = name.size();
    for (std::size_t i = 0; i < count && at > 0; ++i) {
        --at;
        while (utf8 && at > 0 && (static_cast<unsigned char>(name[at]) & 0xC0) == 0x80)
            --at;
    }
    return at;
}

std::string FolderPart(std::string_view file)
{
    const std::size_t last = file.find_last_of(kDelimiters);
    std::string_view folder = last == std::string_view::npos ? std::string_view() : file.substr(0, last + 1);
    if (!folder.empty() && IsPathSeparator(folder.back())) {
        const bool keep =
            folder.size() >= 2 && (folder[folder.size() - 2] == ':' || IsPathSeparator(folder[folder.size() - 2]));
        if (!keep)
            folder.remove_suffix(1);
    }
    return std::string(folder);
}

std::string ChangeFileExtension(std::string_view name, std::string_view extension)
{
    const std::size_t last = name.find_last_of(".\\/:");
    if (last != std::string_view::npos && name[last] == '.')
        name = name.substr(0, last);
    return std::string(name) + std::string(extension);
}

}  // namespace lumora

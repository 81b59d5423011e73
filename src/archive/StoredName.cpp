#include "archive/StoredName.h"

namespace lumora::archive {

std::string StoredNameFromFullPath(std::string_view fullPath)
{
    std::string name;
    if (!fullPath.empty() && fullPath.front() == '/')
        name = "z:";
    name.append(fullPath);
    for (char& c : name) {
        if (c == '/')
            c = '\\';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

}  // namespace lumora::archive

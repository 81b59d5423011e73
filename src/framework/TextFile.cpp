#include "framework/TextFile.h"

#include "base/Error.h"
#include "framework/FileStream.h"

namespace lumora {

std::string ReadTextFile(const std::string& fileName)
{
    TFileStream file(fileName, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    const std::int64_t size = file.Size();
    // Text files of this program are a few kilobytes; anything near the
    // address space is not one of them.
    if (size < 0 || size > (std::int64_t(1) << 30))
        throw Error("Cannot read file " + fileName);
    std::string content(static_cast<std::size_t>(size), '\0');
    file.ReadBuffer(content.data(), content.size());
    return content;
}

}  // namespace lumora

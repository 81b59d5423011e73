#include "archive/ArchiveInput.h"

#include "base/MemoryStream.h"

namespace lumora::archive {

ArchiveInput MemoryInput(std::string storedName, std::uint32_t stamp,
                         std::vector<unsigned char> bytes)
{
    ArchiveInput input;
    input.storedName = std::move(storedName);
    input.stamp = stamp;
    input.size = static_cast<std::int64_t>(bytes.size());
    auto shared = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
    input.open = [shared] { return std::make_unique<MemoryStream>(*shared); };
    return input;
}

}  // namespace lumora::archive

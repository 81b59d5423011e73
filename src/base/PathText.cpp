#include "base/PathText.h"

namespace lumora {

std::string EnsureBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == '\\')
        return path;
    return path + '\\';
}

bool TrimToResult(std::string& buffer, std::uint32_t count)
{
    const bool fitted = count < buffer.size();
    buffer.resize(count);
    return fitted;
}

}  // namespace lumora

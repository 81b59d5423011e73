// The code page an installer records for its 8-bit texts (PathEncoding.h).
#include "base/PathEncoding.h"

namespace lumora {

std::optional<unsigned> ParseCodePageRecord(std::string_view bytes)
{
    constexpr unsigned kUtf8CodePage = 65001;
    if (bytes.empty() || bytes.size() > 5)
        return std::nullopt;
    unsigned number = 0;
    for (const char c : bytes) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 0 || number > 0xFFFF || number == kUtf8CodePage)
        return std::nullopt;
    return number;
}

}  // namespace lumora

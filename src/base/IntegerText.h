#pragma once
// Parses a 32-bit integer written as text: decimal with an optional sign, or
// hexadecimal after one of the prefixes "$", "x", "X", "0x", "0X" (also after
// a sign). Hexadecimal takes any 32-bit pattern ("$FFFFFFFF" is -1); decimal
// must lie within the signed 32-bit range. The whole text must be the number.
#include <cstdint>
#include <optional>
#include <string_view>

namespace lumora {

std::optional<std::int32_t> ParseInteger32(std::string_view text);

}  // namespace lumora

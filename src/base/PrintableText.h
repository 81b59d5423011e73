#pragma once
// Text from an archive shown on a terminal: names may hold any byte.
#include <string>
#include <string_view>

namespace lumora {

// `text` with its control characters (below 32, and 127) written as "\xNN",
// so that a name cannot move the cursor, ring the bell or hide what follows
// it; every other byte stays as it is.
std::string PrintableText(std::string_view text);

}  // namespace lumora

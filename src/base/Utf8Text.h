#pragma once
// Characters of UTF-8 text, one at a time, and the upper case of a letter
// in any script (as the system's user interface folds it).
#include <string>
#include <string_view>

namespace lumora {

// The character that starts at `at`, moving `at` past it. A byte that
// starts no valid sequence is taken as U+FFFD, one byte long. `at` must lie
// before the end.
char32_t NextCharacter(std::string_view text, std::size_t& at);

// The character as UTF-8.
std::string Utf8Character(char32_t c);

// The upper case of a letter; any other character as it is. On Win32 as
// CharUpperW folds it (characters beyond U+FFFF stay), elsewhere as the
// C library's Unicode locale does.
char32_t UpperCaseLetter(char32_t c);

}  // namespace lumora

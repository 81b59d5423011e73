#pragma once
// The accelerator of a button caption: the character after an "&", which the
// caption shows underlined. A doubled "&&" shows one ampersand and marks
// nothing, so the accelerator is the character after the first "&" that is
// not part of such a pair: exactly the character the caption underlines.
#include <string_view>

namespace lumora {

// The caption's accelerator, or '\0' when it has none (no "&" before the
// last character, or only doubled ones).
char CaptionAccelerator(std::string_view caption);

// Whether the typed character selects the caption's accelerator; the letters
// a to z match regardless of case.
bool IsAccelerator(std::string_view caption, char typed);

}  // namespace lumora

#pragma once
// The accelerator of a button caption: the character after an "&", which the
// caption shows underlined. A doubled "&&" shows one ampersand and marks
// nothing, so the accelerator is the character after the first "&" that is
// not part of such a pair: exactly the character the caption underlines. It
// may be a letter of any script (Cyrillic in a Russian caption, say).
#include <string_view>

namespace lumora {

// The caption's accelerator as its UTF-8 bytes, or empty when it has none
// (no "&" before the last character, or only doubled ones).
std::string_view CaptionAccelerator(std::string_view caption);

// Whether the typed character selects the caption's accelerator; letters
// match regardless of case, in any script.
bool IsAccelerator(std::string_view caption, char32_t typed);

}  // namespace lumora

#pragma once
// The push button as accessibility clients see it: its caption as it shows,
// its accelerator as a keyboard shortcut, its default action "Press", and
// its states (unavailable when disabled, pressed while down, hot-tracked
// while the pointer is over it, invisible when hidden).
#include <string>
#include <string_view>

#include "controls/ButtonBehaviour.h"
#include "framework/AccessibleElement.h"

namespace lumora {

// The caption as the button shows it: every single "&" dropped, "&&" shown
// as one "&".
std::string CaptionText(std::string_view caption);

// "Alt+" and the caption's accelerator (a letter in upper case); empty when
// the caption has none.
std::string CaptionShortcut(std::string_view caption);

AccessibleElement DescribeButton(std::string_view caption, const ButtonBehaviour& behaviour, bool visible);

}  // namespace lumora

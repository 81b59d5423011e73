#pragma once
// The text of the application's standard error box: the failure's message,
// closed with a full stop unless it already ends in a character that sorts
// at or before '.' (for example '.', '!', '?', ')' or a blank).
#include <string>

namespace lumora {

// An empty message stays empty. Characters compare as unsigned 8-bit codes,
// so a message ending in an accented letter gets a full stop too.
std::string ErrorBoxText(const std::string& message);

}  // namespace lumora

#pragma once
// Splitting a text into lines the way a text box takes a file: a line ends
// at a carriage return followed by a line feed, at a carriage return alone or
// at a line feed alone; the end of the text after a line end starts no
// further line, and a zero character ends the text (a text box cannot hold
// one).
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace lumora

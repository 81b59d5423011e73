#pragma once
// Text helpers that need no locale: only the letters a to z change case.
#include <string>
#include <string_view>

namespace lumora {

// `text` with the 26 letters from `from` on turned into those from `to` on.
inline std::string ShiftLettersAscii(std::string_view text, char from, char to)
{
    std::string out(text);
    for (char& c : out)
        if (c >= from && c <= from + 25)
            c = static_cast<char>(c - from + to);
    return out;
}

inline std::string UpperCaseAscii(std::string_view text) { return ShiftLettersAscii(text, 'a', 'A'); }
inline std::string LowerCaseAscii(std::string_view text) { return ShiftLettersAscii(text, 'A', 'a'); }

}  // namespace lumora

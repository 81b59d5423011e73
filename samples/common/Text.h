// Text of the sample programs is UTF-8; the system gets and gives wide text
// (the W functions), so that names in any script survive.
#pragma once

#include <string>

namespace sample {

// UTF-8 as UTF-16 and back; a sequence that is no UTF-8 (or UTF-16) becomes
// U+FFFD.
std::wstring wide(const std::string& text);
std::string utf8(const std::wstring& text);

// 8-bit text of this system's ANSI code page as UTF-8.
std::string utf8FromAnsi(const std::string& text);

}  // namespace sample

#include <windows.h>

#include "base/Utf8Text.h"

namespace lumora {

char32_t UpperCaseLetter(char32_t c)
{
    if (c > 0xFFFF)
        return c;
    // With its high word zero, the argument is one character, and so is
    // the result.
    return static_cast<char32_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR{c}))));
}

}  // namespace lumora

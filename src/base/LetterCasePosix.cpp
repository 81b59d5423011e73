#include <locale.h>
#include <wctype.h>

#include "base/Utf8Text.h"

namespace lumora {

char32_t UpperCaseLetter(char32_t c)
{
    // The C library folds letters beyond ASCII in a Unicode locale only.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (!unicode)
        return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), unicode));
}

}  // namespace lumora

#include "controls/Accelerator.h"

#include "base/Utf8Text.h"

namespace lumora {

std::string_view CaptionAccelerator(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        NextCharacter(caption, end);
        return caption.substr(i + 1, end - i - 1);
    }
    return {};
}

bool IsAccelerator(std::string_view caption, char32_t typed)
{
    const std::string_view accelerator = CaptionAccelerator(caption);
    if (accelerator.empty())
        return false;
    std::size_t at = 0;
    return UpperCaseLetter(NextCharacter(accelerator, at)) == UpperCaseLetter(typed);
}

}  // namespace lumora

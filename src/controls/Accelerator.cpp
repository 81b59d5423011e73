#include "controls/Accelerator.h"

namespace lumora {

namespace {

char FoldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

char CaptionAccelerator(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return '\0';
}

bool IsAccelerator(std::string_view caption, char typed)
{
    const char accelerator = CaptionAccelerator(caption);
    return accelerator != '\0' && FoldCase(accelerator) == FoldCase(typed);
}

}  // namespace lumora

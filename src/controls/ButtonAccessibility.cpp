#include "controls/ButtonAccessibility.h"

#include "base/AsciiText.h"
#include "controls/Accelerator.h"

namespace lumora {

std::string CaptionText(std::string_view caption)
{
    std::string text;
    text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&')
            text += caption[i];
        else if (i + 1 < caption.size() && caption[i + 1] == '&')
            text += caption[++i];
    }
    return text;
}

std::string CaptionShortcut(std::string_view caption)
{
    const char accelerator = CaptionAccelerator(caption);
    if (accelerator == '\0')
        return {};
    return "Alt+" + UpperCaseAscii(std::string_view(&accelerator, 1));
}

AccessibleElement DescribeButton(std::string_view caption, const ButtonBehaviour& behaviour, bool visible)
{
    AccessibleElement element;
    element.role = arPushButton;
    element.name = CaptionText(caption);
    element.shortcut = CaptionShortcut(caption);
    element.defaultAction = "Press";
    if (!behaviour.Enabled())
        element.states.Include(asUnavailable);
    const TButtonState97 state = behaviour.State();
    if (state == bsPressed || state == bsLatched)
        element.states.Include(asPressed);
    if (behaviour.Hot())
        element.states.Include(asHotTracked);
    if (!visible)
        element.states.Include(asInvisible);
    return element;
}

}  // namespace lumora

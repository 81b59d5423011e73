#include "controls/ButtonAccessibility.h"

#include "base/Utf8Text.h"
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
    const std::string_view accelerator = CaptionAccelerator(caption);
    if (accelerator.empty())
        return {};
    std::size_t at = 0;
    return "Alt+" + Utf8Character(UpperCaseLetter(NextCharacter(accelerator, at)));
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
